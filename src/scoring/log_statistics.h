#pragma once

#include "contest_log/log_table.h"
#include "scoring/scoring.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace vu {

// A gap of this many minutes or more between two QSOs is off-time.
constexpr int kOffTimeMinutes = 30;

// The QSOs and multipliers of one contest band.
struct BandFigures {
    QString band; // "80" ... "10"
    int qsos = 0;
    int multipliers = 0;
};

// The QSOs of one clock hour (UTC), by band in the order 80, 40, 20, 15, 10.
struct HourFigures {
    QDateTime hour;
    std::array<int, 5> qsos{};
};

// The figures of a scored log: totals, bands, hours and the operating time.
struct LogStatistics {
    int qsos = 0;  // log lines with a callsign
    int dupes = 0; // those the scoring noted as duplicates
    int points = 0;
    int multipliers = 0;
    qint64 score = 0;
    std::array<BandFigures, 5> bands;
    // Every clock hour from the first QSO's to the last's, empty hours included; QSOs whose date
    // or time does not read count in the totals and bands only.
    std::vector<HourFigures> hours;
    // From the first QSO to the last: on-time and the off-time of the gaps of kOffTimeMinutes or
    // more between QSOs next to each other in time.
    int onMinutes = 0;
    int offMinutes = 0;
};

// The figures of the log lines of `table` as scored, with the totals of `board` (the full
// scoring's).
[[nodiscard]] LogStatistics logStatistics(const LogTable& table, const ScoreBoard& board);

// The figures as tab-separated lines: "total", five "band" lines, the "hour" lines ("YYYY-MM-DD
// HH" and the QSOs per band), then "time".
[[nodiscard]] QStringList statisticsLines(const LogStatistics& figures);

} // namespace vu
