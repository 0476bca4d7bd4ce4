#pragma once

#include "contest_log/log_table.h"
#include "reports/report_station.h"
#include "scoring/country_table.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace vu {

// Answers the country of a callsign for the ADIF records.
using CountryLookup = std::function<CountryResult(const QString& callsign)>;

// The lines of the ADIF 3.1.3 export of the log: header, then one record per line of the log
// that has a callsign. Throws ConvertError, naming the line, on an unreadable date or time cell.
[[nodiscard]] QStringList adifLines(const LogTable& table, const ReportStation& station,
                                    const QString& version, const CountryLookup& lookUp);
// The ADIF file's bytes: the lines in Windows-1252, each ended by CR LF.
[[nodiscard]] QByteArray adifFile(const LogTable& table, const ReportStation& station,
                                  const QString& version, const CountryLookup& lookUp);
// Name of the ADIF file of a contest file: its extension replaced by ".ADI".
[[nodiscard]] QString adifFileName(const QString& contestFileName);
// Writes the ADIF file beside the contest file, replacing any earlier one, and returns its
// path. Each callsign is looked up in `countries`. Throws IoError, ConvertError, or AppError
// when the program carries no version; nothing is written then.
QString writeAdifFile(const LogTable& table, const ReportStation& station, CountryTable& countries,
                      const QString& contestFolder, const QString& contestFileName);

} // namespace vu
