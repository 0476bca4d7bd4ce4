#include "scoring/log_statistics.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

struct Line {
    QString band;
    QString date;
    QString time;
    QString call;
    QString member = QStringLiteral("NM");
};

// The figures of a log of these lines, scored in full, as the tool's lines.
QStringList statisticsOf(const std::vector<Line>& lines) {
    QTemporaryDir dir;
    test::writeFile(dir.filePath("DXCC.CSV"),
                    "F,France,F,EU,227\r\nDL,Germany,DL,EU,230\r\nK,United States,K,NA,291\r\n");
    CountryTable countries(dir.path());
    StationSettings station;
    station.category = QStringLiteral("QRP");
    station.continent = QStringLiteral("EU");
    LogTable table;
    table.setRowCount(static_cast<int>(lines.size()) + 2);
    int row = 1;
    for (const Line& l : lines) {
        table.setCell(Col::Band, row, l.band);
        table.setCell(Col::Date, row, l.date);
        table.setCell(Col::Time, row, l.time);
        table.setCell(Col::Call, row, l.call);
        table.setCell(Col::Member, row, l.member);
        table.setCell(Col::Category, row, QStringLiteral("QRP"));
        ++row;
    }
    Scorer scorer(countries, station);
    scorer.computeTotalScore(table);
    return statisticsLines(logStatistics(table, scorer.board()));
}

TEST(LogStatistics, TotalsBandsHoursAndTimeOfAScoredLog) {
    const QString d = QStringLiteral("15/01/2024");
    struct Case {
        const char* what;
        std::vector<Line> lines;
        QStringList expected;
    };
    const Case cases[] = {
        {"an empty log has its band lines and no hour",
         {},
         {"total\t0\t0\t0\t0\t0", "band\t80\t0\t0", "band\t40\t0\t0", "band\t20\t0\t0",
          "band\t15\t0\t0", "band\t10\t0\t0", "time\t0\t0"}},
        {"dupes, members, a blank line, a gap of 29 and one of 30 minutes, an empty hour",
         {{"40", d, "08:05", "F5ABC", "123"},
          // A dupe (a multiplier all the same: the callsign as logged is new on the band), 29
          // minutes later: on-time.
          {"40", d, "08:34", "F5ABC/P", "123"},
          {"20", d, "08:50", "DL1AA"},
          {"40", d, "", ""},                 // a blank line counts nowhere
          {"20", d, "10:10", "K1ABC", "77"}, // 80 minutes later: off-time
          {"20", d, "10:40", "DL1AA"},       // a dupe, 30 minutes later: off-time
          {"15", d, "10:41", "F5ABC", "123"}},
         {"total\t6\t2\t50\t4\t200", "band\t80\t0\t0", "band\t40\t2\t2", "band\t20\t3\t1",
          "band\t15\t1\t1", "band\t10\t0\t0", "hour\t2024-01-15 08\t0\t2\t1\t0\t0",
          "hour\t2024-01-15 09\t0\t0\t0\t0\t0", "hour\t2024-01-15 10\t0\t0\t2\t1\t0",
          "time\t46\t110"}},
        {"lines out of time order, across midnight; a time that does not read counts in the totals "
         "only, a band that is none in no band column",
         {{"80", "16/01/2024", "00:10", "F5AAA"},
          {"80", d, "23:55", "F5BBB"},
          {"10", d, "2x:00", "F5CCC"},
          {"160", d, "23:59", "F5DDD"}},
         {"total\t4\t0\t40\t0\t0", "band\t80\t2\t0", "band\t40\t0\t0", "band\t20\t0\t0",
          "band\t15\t0\t0", "band\t10\t1\t0", "hour\t2024-01-15 23\t1\t0\t0\t0\t0",
          "hour\t2024-01-16 00\t1\t0\t0\t0\t0", "time\t15\t0"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(statisticsOf(c.lines), c.expected) << c.what;
    }
}

} // namespace
} // namespace vu
