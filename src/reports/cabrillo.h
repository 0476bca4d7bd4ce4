#pragma once

#include "contest_log/log_table.h"
#include "reports/report_station.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vu {

// The lines of the Cabrillo 3.0 report of the log: header, one QSO line per log line, trailer.
// Throws ConvertError, naming the line, for a contact whose date or time cell does not read.
[[nodiscard]] QStringList cabrilloLines(const LogTable& table, const ReportStation& station,
                                        const QString& version);
// The Cabrillo file's bytes: the lines in Windows-1252, each ended by CR LF.
[[nodiscard]] QByteArray cabrilloFile(const LogTable& table, const ReportStation& station,
                                      const QString& version);
// Name of the Cabrillo file of a contest file: its extension replaced by ".CBR".
[[nodiscard]] QString cabrilloFileName(const QString& contestFileName);
// Writes the Cabrillo file into `filesFolder`, replacing any earlier one, and returns its path.
// Throws IoError, or AppError when the program carries no version.
QString writeCabrilloFile(const LogTable& table, const ReportStation& station,
                          const QString& filesFolder, const QString& contestFileName);

} // namespace vu
