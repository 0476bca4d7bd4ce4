#pragma once

#include "contest_log/log_table.h"
#include "reports/report_station.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vu {

// The header lines of the Cabrillo 3.0 report, the empty line after them included. Values
// are written in printable ASCII (transliterated), since the committee's robot reads nothing
// else.
[[nodiscard]] QStringList cabrilloHeader(const ReportStation& station, const QString& version);
// The lines of the Cabrillo 3.0 report of the log: header, one QSO line per log line in grid
// order, trailer. Throws ConvertError, naming the line, for a contact whose date or time cell
// does not read.
[[nodiscard]] QStringList cabrilloLines(const LogTable& table, const ReportStation& station,
                                        const QString& version);
// The Cabrillo file's bytes: the lines in Windows-1252, each ended by CR LF.
[[nodiscard]] QByteArray cabrilloFile(const LogTable& table, const ReportStation& station,
                                      const QString& version);
// The frequency field of a band, in kilohertz (" 7000"); empty for a band the contest does
// not have, whose QSO lines then have no frequency field.
[[nodiscard]] QString cabrilloFrequency(const QString& band);
// The received club number as a QSO line carries it: without its first "*" (the mark of a
// number checked by hand).
[[nodiscard]] QString cabrilloReceivedNumber(QString member);
// Name of the Cabrillo file of a contest file: its extension replaced by ".CBR".
[[nodiscard]] QString cabrilloFileName(const QString& contestFileName);
// Writes the Cabrillo file into `filesFolder`, replacing any earlier one, and returns its path.
// Throws IoError, or AppError when the program carries no version.
QString writeCabrilloFile(const LogTable& table, const ReportStation& station,
                          const QString& filesFolder, const QString& contestFileName);

} // namespace vu
