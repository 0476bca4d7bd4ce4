#pragma once

#include "contest_log/log_table.h"
#include "reports/report_station.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace vu {

// One thing the committee's robot would refuse (an error) or query (a warning) in the
// Cabrillo report.
struct CabrilloFinding {
    enum class Level { Error, Warning };
    Level level = Level::Error;
    QString text; // what is wrong, naming the log line ("line 3: ...") where it applies

    // The finding as one line: "error: ..." or "warning: ...".
    [[nodiscard]] QString line() const;
    bool operator==(const CabrilloFinding&) const = default;
};

// The findings of a check, errors and warnings in the order of the report.
struct CabrilloCheck {
    std::vector<CabrilloFinding> findings;

    [[nodiscard]] bool hasErrors() const;
    [[nodiscard]] bool empty() const { return findings.empty(); }
    // One finding per line.
    [[nodiscard]] QStringList lines() const;
};

// The question the report mail asks before sending a report with errors.
[[nodiscard]] QString sendDespiteErrorsQuestion();

// Checks header lines of a Cabrillo 3.0 report: the first is START-OF-LOG 3.0, every tag is one
// of Cabrillo 3.0 (or an "X-" tag), CATEGORY- values are from their lists, CONTEST is A-Z, 0-9
// and "-", values are printable ASCII, CALLSIGN, NAME and EMAIL are given (ADDRESS: a
// warning).
[[nodiscard]] CabrilloCheck checkCabrilloHeader(const QStringList& header);

// Checks the Cabrillo report that `cabrilloLines` makes of the log and the station against the
// rules contest robots apply: the header's tags and values, and each QSO line's frequency,
// date, time, worked callsign and received club number (errors); time order, duplicates, the
// contest's span and the address (warnings). Unlike the writer it reads every line, also one
// whose date or time does not read.
[[nodiscard]] CabrilloCheck checkCabrillo(const LogTable& table, const ReportStation& station,
                                          const QString& version);

} // namespace vu
