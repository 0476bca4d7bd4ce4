#include "scoring/log_statistics.h"

#include "contest_log/bands.h"
#include "contest_log/log_format.h"
#include "platform/text_trim.h"

#include <algorithm>

namespace vu {

LogStatistics logStatistics(const LogTable& table, const ScoreBoard& board) {
    LogStatistics figures;
    figures.points = board.totalPoints;
    figures.multipliers = board.multipliers;
    figures.score = board.score;
    const QStringList& bands = bandTexts();
    for (size_t b = 0; b < figures.bands.size(); ++b) {
        figures.bands.at(b).band = bands.at(static_cast<qsizetype>(b));
    }

    struct Timed {
        qint64 minute; // minutes since the epoch, UTC
        int band;      // index into bands, or -1
    };
    std::vector<Timed> timed;
    for (int r = 1; r < table.entryRow(); ++r) {
        if (trimBlanks(table.cell(Col::Call, r)).isEmpty()) {
            continue;
        }
        ++figures.qsos;
        if (!table.cell(Col::Dupe, r).isEmpty()) {
            ++figures.dupes;
        }
        const auto band = static_cast<int>(bands.indexOf(table.cell(Col::Band, r)));
        if (band >= 0) {
            BandFigures& figure = figures.bands.at(static_cast<size_t>(band));
            ++figure.qsos;
            if (table.cell(Col::Mult, r).contains(u'M')) {
                ++figure.multipliers;
            }
        }
        const std::optional<QDate> date = tryParseLogDate(table.cell(Col::Date, r));
        const std::optional<QTime> time = tryParseLogTime(table.cell(Col::Time, r));
        if (date && time) {
            const QDateTime at(*date, QTime(time->hour(), time->minute()), Qt::UTC);
            timed.push_back({at.toSecsSinceEpoch() / 60, band});
        }
    }
    if (timed.empty()) {
        return figures;
    }
    std::stable_sort(timed.begin(), timed.end(),
                     [](const Timed& a, const Timed& b) { return a.minute < b.minute; });

    const qint64 firstHour = timed.front().minute / 60;
    const qint64 lastHour = timed.back().minute / 60;
    figures.hours.resize(static_cast<size_t>(lastHour - firstHour + 1));
    for (size_t h = 0; h < figures.hours.size(); ++h) {
        figures.hours[h].hour =
            QDateTime::fromSecsSinceEpoch((firstHour + static_cast<qint64>(h)) * 3600, Qt::UTC);
    }
    qint64 off = 0;
    for (size_t k = 0; k < timed.size(); ++k) {
        if (timed[k].band >= 0) {
            HourFigures& hour =
                figures.hours[static_cast<size_t>(timed[k].minute / 60 - firstHour)];
            ++hour.qsos.at(static_cast<size_t>(timed[k].band));
        }
        if (k > 0 && timed[k].minute - timed[k - 1].minute >= kOffTimeMinutes) {
            off += timed[k].minute - timed[k - 1].minute;
        }
    }
    const qint64 span = timed.back().minute - timed.front().minute;
    figures.offMinutes = static_cast<int>(off);
    figures.onMinutes = static_cast<int>(span - off);
    return figures;
}

QStringList statisticsLines(const LogStatistics& figures) {
    const QChar tab = u'\t';
    QStringList lines;
    lines << QStringList{QStringLiteral("total"),
                         QString::number(figures.qsos),
                         QString::number(figures.dupes),
                         QString::number(figures.points),
                         QString::number(figures.multipliers),
                         QString::number(figures.score)}
                 .join(tab);
    for (const BandFigures& band : figures.bands) {
        lines << QStringList{QStringLiteral("band"), band.band, QString::number(band.qsos),
                             QString::number(band.multipliers)}
                     .join(tab);
    }
    for (const HourFigures& hour : figures.hours) {
        QStringList cells{QStringLiteral("hour"),
                          hour.hour.toString(QStringLiteral("yyyy-MM-dd HH"))};
        for (const int qsos : hour.qsos) {
            cells << QString::number(qsos);
        }
        lines << cells.join(tab);
    }
    lines << QStringList{QStringLiteral("time"), QString::number(figures.onMinutes),
                         QString::number(figures.offMinutes)}
                 .join(tab);
    return lines;
}

} // namespace vu
