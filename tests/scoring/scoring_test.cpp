#include "contest_log/bands.h"
#include "scoring/scoring.h"
#include "support/test_support.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

struct Line {
    QString band;
    QString time;
    QString call;
    QString member;
    QString category = QStringLiteral("QRP");
    QString firstName = QStringLiteral("Name");
};

// A log table holding the lines as rows 1..n, then an empty entry row.
LogTable tableOf(const std::vector<Line>& lines) {
    LogTable table;
    table.setRowCount(static_cast<int>(lines.size()) + 2);
    int row = 1;
    for (const Line& l : lines) {
        table.setCell(Col::Band, row, l.band);
        table.setCell(Col::Time, row, l.time);
        table.setCell(Col::Call, row, l.call);
        table.setCell(Col::Member, row, l.member);
        table.setCell(Col::Category, row, l.category);
        table.setCell(Col::FirstName, row, l.firstName);
        ++row;
    }
    return table;
}

// What scoring writes or empties in a row: columns 7 and 9 to 12.
QStringList results(const LogTable& table, int row) {
    QStringList cells;
    for (const Col col : {Col::Member, Col::FirstName, Col::Points, Col::Mult, Col::Dupe}) {
        cells << table.cell(col, row);
    }
    return cells;
}

class ScoringTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::writeFile(m_dir.filePath("DXCC.CSV"), "D4,Cape Verde,D4,AF,409\r\n"
                                                    "F,France,F,EU,227\r\n"
                                                    "DL,Germany,DL,EU,230\r\n"
                                                    "K,United States,K,NA,291\r\n");
        m_station.category = "QRP";
        m_station.continent = "EU";
    }

    QTemporaryDir m_dir;
    CountryTable m_countries{m_dir.path()};
    StationSettings m_station;
    Scorer m_scorer{m_countries, m_station};
};

TEST(ScoringRules, PointsTable) {
    struct Case {
        QString station;
        QString his;
        bool same;
        QString points;
    };
    const Case cases[] = {
        {"QRP", "QRP", true, "10"},  {"QRP", "QRP", false, "20"}, {"QRP", "QRO", true, "5"},
        {"QRP", "QRO", false, "10"}, {"QRO", "QRP", true, "5"},   {"QRO", "QRP", false, "10"},
        {"QRO", "QRO", true, "0"},   {"QRO", "QRO", false, "0"},  {"", "QRP", true, "5"},
        {"qrp", "QRP", true, "5"},   {"QRP", "qrp", true, ""},    {"QRP", "", false, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointsFor(c.station, c.his, c.same), c.points)
            << c.station.toStdString() << "/" << c.his.toStdString() << "/" << c.same;
    }
}

TEST(ScoringRules, MultiplierMarks) {
    const std::pair<QString, QString> cases[] = {
        {"80", "M - - - -"},
        {"40", "- M - - -"},
        {"20", "- - M - -"},
        {"15", "- - - M -"},
        {"10", "- - - - M"},
        {"160", ""},
        {"", ""},
    };
    for (const auto& [band, mark] : cases) {
        EXPECT_EQ(multiplierMark(band), mark) << band.toStdString();
    }
}

TEST_F(ScoringTest, EachRuleOfTheLine) {
    LogTable table = tableOf({
        {"40", "08:00", "F5ABC", "12"},           // 1 first line: points and the band's mark
        {"20", "08:01", "F5ABC", "12"},           // 2 same member on another band
        {"40", "08:02", "F5ABC", "12"},           // 3 same call on 40: dupe of row 1
        {"40", "08:03", "F5ABC/P", "12"},         // 4 dupe of row 1, but marked
        {"40", "08:04", "DL1AA", "NM", "QRO"},    // 5 non-member: points, no mark, no name
        {"40", "08:05", "DL2BB", "DCD"},          // 6 deceased member: nothing at all
        {"40", "08:06", "DL2BB", "DCD"},          // 7 even as a dupe
        {"80", "08:07", "F/D8ADO/P", "1", "QRO"}, // 8 club station: 20 points
        {"80", "08:08", "K1ABC", "44", "XYZ"},    // 9 unknown category: no points, a mark
        {"80", "08:09", "D4ERI", "45", "QRP"},    // 10 other continent
        {"80", "08:10", "K1ABC", "44", "QRP"},    // 11 dupe, no mark
        {"160", "08:11", "K9ZZ", "46", "QRP"},    // 12 no band: no mark
        {"80", "08:12", "   ", "46", "QRP"},      // 13 blank callsign
    });
    m_scorer.computeTotalScore(table);
    const std::vector<QStringList> expected = {
        {"12", "Name", "10", "- M - - -", ""},
        {"12", "Name", "10", "- - M - -", ""},
        {"12", "Name", "0", "", "DUPE = F5ABC->08:00"},
        {"12", "Name", "0", "- M - - -", "DUPE = F5ABC->08:00"},
        {"NM", "", "5", "", ""},
        {"DCD", "", "", "", ""},
        {"DCD", "", "", "", ""},
        {"1", "Name", "20", "M - - - -", ""},
        {"44", "Name", "", "M - - - -", ""},
        {"45", "Name", "20", "M - - - -", ""},
        {"44", "Name", "0", "", "DUPE = K1ABC->08:08"},
        {"46", "Name", "20", "", ""},
        {"", "", "", "", ""},
    };
    for (int row = 1; row <= static_cast<int>(expected.size()); ++row) {
        EXPECT_EQ(results(table, row), expected[row - 1]) << "row " << row;
    }
    // 10+10+0+0+5+20+20+0+20 points; marks on rows 1, 2, 4, 8, 9 and 10.
    EXPECT_EQ(m_scorer.board().label, "Score = 85 x 6 = 510");
    EXPECT_EQ(m_scorer.board().score, 510);

    // One line scored alone sees only the rows above it.
    m_scorer.scoreLine(table, 3);
    EXPECT_TRUE(m_scorer.board().dupeShown);
    EXPECT_EQ(m_scorer.board().hisContinent, "");
    m_scorer.scoreLine(table, 8);
    EXPECT_FALSE(m_scorer.board().dupeShown);
    EXPECT_EQ(m_scorer.board().hisContinent, "EU");
    m_scorer.scoreLine(table, 10);
    EXPECT_EQ(m_scorer.board().hisContinent, "AF");
}

TEST_F(ScoringTest, TotalsAndLabels) {
    struct Case {
        const char* what;
        std::vector<Line> lines;
        QString label;
    };
    const Case cases[] = {
        {"empty log", {}, "Score = 0 x 0 = 0"},
        {"non-members only",
         {{"40", "08:00", "F5ABC", "NM"}, {"20", "08:01", "DL1AA", "NM", "QRO"}},
         "Score = 15 x 0 = 0"},
        {"35 x 2",
         {{"40", "08:00", "F5ABC", "12"},
          {"40", "08:01", "K1ABC", "13"},
          {"40", "08:02", "DL1AA", "NM", "QRO"}},
         "Score = 35 x 2 = 70"},
    };
    for (const Case& c : cases) {
        LogTable table = tableOf(c.lines);
        m_scorer.computeTotalScore(table);
        EXPECT_EQ(m_scorer.board().label, c.label) << c.what;
    }
    m_scorer.resetTotals();
    EXPECT_EQ(m_scorer.board().label, "Score = ");
    EXPECT_EQ(m_scorer.board().totalPoints, 0);
}

TEST_F(ScoringTest, TheLastScoredLineSetsTheContinentAndTheDupePanel) {
    LogTable table = tableOf({{"40", "08:00", "D4ERI", "12"}, {"40", "08:01", "D4ERI", "12"}});
    m_scorer.computeTotalScore(table);
    EXPECT_TRUE(m_scorer.board().dupeShown);
    EXPECT_EQ(m_scorer.board().hisContinent, "");

    table.setCell(Col::Band, 2, "20");
    m_scorer.computeTotalScore(table);
    EXPECT_FALSE(m_scorer.board().dupeShown);
    EXPECT_EQ(m_scorer.board().hisContinent, "AF");
    m_scorer.clearHisContinent();
    EXPECT_EQ(m_scorer.board().hisContinent, "");
}

TEST_F(ScoringTest, StationContinentAndCategoryComeFromTheSettings) {
    LogTable table = tableOf({{"40", "08:00", "F5ABC", "12"}, {"40", "08:01", "K1ABC", "13"}});
    struct Case {
        QString category;
        QString continent;
        QString france;
        QString usa;
    };
    const Case cases[] = {
        {"QRP", "EU", "10", "20"},
        {"QRP", "", "20", "20"}, // no station callsign yet: everyone is elsewhere
        {"QRO", "NA", "10", "5"},
    };
    for (const Case& c : cases) {
        m_station.category = c.category;
        m_station.continent = c.continent;
        m_scorer.computeTotalScore(table);
        EXPECT_EQ(table.cell(Col::Points, 1), c.france);
        EXPECT_EQ(table.cell(Col::Points, 2), c.usa);
    }
}

// A callsign with nothing before its "/" has no country: its continent never comes from the line
// scored before it.
TEST_F(ScoringTest, ALineWithoutCountryDoesNotBorrowTheContinentOfTheLineBefore) {
    m_station.continent = "AF";
    LogTable alone = tableOf({{"40", "08:01", "/P", "12"}});
    LogTable after = tableOf({{"40", "08:00", "D4ERI", "11"}, {"40", "08:01", "/P", "12"}});
    m_scorer.computeTotalScore(alone);
    m_scorer.computeTotalScore(after);
    EXPECT_EQ(alone.cell(Col::Points, 1), "20");
    EXPECT_EQ(after.cell(Col::Points, 2), "20");
}

// The linear rescoring gives every row the result of scoring the rows one by one in order.
TEST_F(ScoringTest, FullRescoringMatchesLineByLineScoring) {
    const QStringList calls = {"F5ABC", "F5ABC/P", "DL/F5ABC", "D4ERI",   "D4ERI/QRP", "K1ABC",
                               "D8ADO", "DL1AA",   "/P",       "F5ABC/7", "7",         "   "};
    const QStringList bands = {"80", "40", "20", "15", "10", "160"};
    const QStringList members = {"12", "NM", "DCD", "", "13"};
    const QStringList categories = {"QRP", "QRO", "X"};
    QRandomGenerator random(2024);
    std::vector<Line> lines;
    for (int i = 0; i < 600; ++i) {
        const auto pick = [&](const QStringList& from) {
            return from.at(random.bounded(from.size()));
        };
        lines.push_back({pick(bands), QStringLiteral("%1").arg(i), pick(calls), pick(members),
                         pick(categories)});
    }
    LogTable linear = tableOf(lines);
    LogTable oneByOne = tableOf(lines);
    m_scorer.computeTotalScore(linear);
    const ScoreBoard board = m_scorer.board();

    Scorer reference(m_countries, m_station);
    int points = 0;
    int marks = 0;
    for (int row = 1; row < oneByOne.rowCount(); ++row) {
        if (oneByOne.cell(Col::Call, row).trimmed().isEmpty()) {
            for (const Col col : {Col::Member, Col::FirstName, Col::Points, Col::Mult, Col::Dupe}) {
                oneByOne.setCell(col, row, {});
            }
            continue;
        }
        reference.scoreLine(oneByOne, row);
        points += oneByOne.cell(Col::Points, row).toInt();
        marks += oneByOne.cell(Col::Mult, row).contains('M') ? 1 : 0;
    }
    for (int row = 1; row < linear.rowCount(); ++row) {
        ASSERT_EQ(results(linear, row), results(oneByOne, row)) << "row " << row;
    }
    EXPECT_EQ(board.totalPoints, points);
    EXPECT_EQ(board.multipliers, marks);
    EXPECT_EQ(board.hisContinent, reference.board().hisContinent);
    EXPECT_EQ(board.dupeShown, reference.board().dupeShown);
}

TEST_F(ScoringTest, AsYouTypeDuplicateTestComparesCallsignsExactly) {
    LogTable table = tableOf({{"40", "08:00", "F5ABC", "12"}});
    EXPECT_TRUE(workedOnBand(table, "F5ABC", "40"));
    EXPECT_FALSE(workedOnBand(table, "F5ABC", "20"));
    EXPECT_FALSE(workedOnBand(table, "F5ABC/P", "40"));
    table.setCell(Col::Call, table.entryRow(), "K1ABC");
    table.setCell(Col::Band, table.entryRow(), "40");
    EXPECT_TRUE(workedOnBand(table, "K1ABC", "40")); // the entry row counts too
}

} // namespace
} // namespace vu
