#include "app/entry_panel.h"
#include "app/grid_editing.h"
#include "scoring/scoring.h"
#include "support/test_session.h"
#include "support/test_support.h"

#include <gtest/gtest.h>
#include <random>

namespace vu {
namespace {

// Enter scores only the new QSO when the log above it did not change; whatever the operator did
// before, the table and the score label must be those of a full rescoring.
class EnterScoringTest : public test::SessionTest {
protected:
    EnterScoringTest() : SessionTest(QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)) {}

    void SetUp() override {
        ASSERT_TRUE(contest.m_dir.isValid());
        file.createNew(QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
        contest.session.loadLog();
        clock.setRealTime();
        clock.tick(table);
    }

    // What a full rescoring of a copy of the table gives, against the table and the label.
    void expectFullRescoring(int step, const char* what) {
        LogTable copy = table;
        Scorer fresh(contest.countries, station);
        fresh.computeTotalScore(copy);
        ASSERT_EQ(contest.session.scoreLabel(), fresh.board().label)
            << "step " << step << " (" << what << ")";
        for (int r = 1; r < table.entryRow(); ++r) {
            for (const Col col : {Col::Member, Col::FirstName, Col::Points, Col::Mult, Col::Dupe}) {
                ASSERT_EQ(table.cell(col, r), copy.cell(col, r))
                    << "step " << step << " (" << what << "), row " << r << ", column "
                    << static_cast<int>(col);
            }
        }
    }

    LogLines& lines = contest.session.lines();
    EntryPanel& panel = contest.session.entryPanel();
    GridEditing& editing = contest.session.gridEditing();
};

TEST_F(EnterScoringTest, ARandomRoadKeepsTheFiguresOfAFullRescoring) {
    // Members (F5ABC, D4ERI), their portable and slashed forms (one base callsign), the club
    // station, non-members, a deceased member's line made by hand, and blanks.
    const QStringList calls = {"F5ABC", "D4ERI",  "F/D4ERI", "D4ERI/P", "F5ABC/QRP", "D8ADO",
                               "K1ABC", "JA1XYZ", "VK2ABC",  "DL1AA",   "EA/F5ABC",  "G3ZZZ"};
    const QStringList suffixes = {"", " 5 O", " 5 7", " 5"};
    std::mt19937 random(28);
    auto pick = [&random](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    auto logRow = [&]() { return 1 + pick(table.entryRow() - 1); };
    QDateTime now = contest.time.now();
    bool unscored = false; // a change that only the next scoring counts

    for (int step = 0; step < 1000; ++step) {
        const int kind = pick(100);
        const bool hasLines = table.entryRow() > 1;
        const char* what = "entry";
        if (kind < 55 || !hasLines) {
            now = now.addSecs(60 * pick(3));
            contest.time.set(now);
            clock.tick(table);
            panel.setEntryText(calls.at(pick(calls.size())) + suffixes.at(pick(suffixes.size())));
            ASSERT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Stored) << "step " << step;
            LogTable copy = table;
            Scorer fresh(contest.countries, station);
            fresh.computeTotalScore(copy);
            // His continent is the last line's, as the full rescoring found it.
            ASSERT_EQ(contest.session.hisContinent(), fresh.board().hisContinent)
                << "step " << step;
        } else if (kind < 67) {
            what = "band";
            lines.selectBand(pick(5));
            if (unscored) {
                continue;
            }
        } else if (kind < 77) {
            what = "correction";
            const int r = logRow();
            table.setCell(Col::Call, r, calls.at(pick(calls.size())));
            if (pick(3) == 0) {
                table.setCell(Col::Band, r, bandTexts().at(pick(5)));
            }
            table.setCurrentCell(static_cast<int>(Col::Call), r);
            editing.enter();
            table.setCurrentCell(static_cast<int>(Col::Call), table.entryRow());
        } else if (kind < 82) {
            // A cell typed into in the grid and left without Enter: the next Enter counts it.
            what = "edit left pending";
            if (pick(3) == 0) {
                table.setCell(Col::Member, logRow(), QStringLiteral("DCD"));
            } else {
                table.setCell(Col::Call, logRow(), calls.at(pick(calls.size())));
            }
            unscored = true;
            continue;
        } else if (kind < 90) {
            what = "delete";
            table.setCurrentCell(static_cast<int>(Col::Call), logRow());
            editing.deleteLine(now.toLocalTime());
            table.setCurrentCell(static_cast<int>(Col::Call), table.entryRow());
        } else if (kind < 95) {
            what = "insert";
            table.setCurrentCell(static_cast<int>(Col::Call), logRow());
            editing.insertBlankLine(now.toLocalTime());
            table.setCurrentCell(static_cast<int>(Col::Call), table.entryRow());
            if (unscored) {
                continue; // a blank line inserted changes no figure, and rescores nothing
            }
        } else {
            what = "station category";
            station.category = station.category == QStringLiteral("QRP") ? QStringLiteral("QRO")
                                                                         : QStringLiteral("QRP");
            unscored = true;
            continue;
        }
        unscored = false;
        expectFullRescoring(step, what);
    }
    EXPECT_GT(table.entryRow(), 100); // the road logged a log of some size
}

} // namespace
} // namespace vu
