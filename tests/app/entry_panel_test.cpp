#include "app/entry_panel.h"
#include "contest_log/log_format.h"
#include "platform/errors.h"
#include "support/test_session.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class EntryPanelTest : public test::SessionTest {
protected:
    EntryPanelTest() : SessionTest(QDateTime(QDate(2024, 1, 15), QTime(10, 0), Qt::UTC)) {}

    void SetUp() override {
        ASSERT_TRUE(contest.m_dir.isValid());
        table.setCell(Col::Call, 0, QStringLiteral("Call"));
        file.createNew(QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
        contest.session.loadLog();
        clock.setRealTime();
        clock.tick(table);
    }

    // The records after the header, as stored.
    std::vector<Record> records() const { return test::lineRecords(station.contestFilePath()); }

    LogLines& lines = contest.session.lines();
    EntryPanel& panel = contest.session.entryPanel();
};

TEST_F(EntryPanelTest, EnterStoresScoresAndOpensAFreshEntryRow) {
    EXPECT_EQ(panel.memberLabel(), QStringLiteral("-"));
    EXPECT_EQ(panel.errorLabel(), QStringLiteral("-"));
    panel.setEntryText(QStringLiteral("F5ABC 5 O"));
    EXPECT_EQ(panel.memberLabel(), QStringLiteral("Jean  --> ZIR: 123"));
    EXPECT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Stored);

    EXPECT_EQ(table.rowCount(), 3);
    QStringList row;
    for (int c = 0; c < 11; ++c) {
        row << table.cell(c, 1);
    }
    EXPECT_EQ(row, (QStringList{"1", "40", "15/01/2024", "10:00", "F5ABC", "559", "599", "123",
                                "QRO", "Jean", "5"}));
    EXPECT_EQ(table.cell(Col::Number, 2), QStringLiteral("2"));
    EXPECT_EQ(table.currentRow(), 2);
    EXPECT_TRUE(panel.entryText().isEmpty());
    EXPECT_TRUE(panel.errorLabel().isEmpty());
    EXPECT_FALSE(panel.dupeVisible());
    // The first QSO of a new file goes over the placeholder record 1.
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].call, QStringLiteral("F5ABC"));
    EXPECT_EQ(stored[0].rstSent, QStringLiteral("559"));
    EXPECT_EQ(stored[0].category, QStringLiteral("QRO"));
    EXPECT_EQ(contest.session.scoreLabel(), QStringLiteral("Score = 5 x 1 = 5"));
}

TEST_F(EntryPanelTest, RefusedLinesKeepTheirTextAndChangeNothing) {
    panel.setEntryText(QStringLiteral("F5ABC X"));
    EXPECT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Refused);
    EXPECT_EQ(panel.entryText(), QStringLiteral("F5ABC X"));
    EXPECT_EQ(panel.errorLabel(), QStringLiteral("Erreur de saisie 22"));
    EXPECT_EQ(panel.selectionStart(), 6);
    EXPECT_EQ(panel.selectionLength(), 1);
    EXPECT_TRUE(panel.memberLabel().isEmpty());
    EXPECT_EQ(table.rowCount(), 2);

    panel.setEntryText(QStringLiteral("F5ABC 5 7 AB"));
    EXPECT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Refused);
    EXPECT_EQ(panel.errorLabel(), QStringLiteral("Erreur de saisie 22")); // code 23 says nothing
    EXPECT_TRUE(records()[0].isBlank());

    panel.setEntryText(QStringLiteral("    "));
    EXPECT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Ignored);
}

TEST_F(EntryPanelTest, DupePanelFollowsTypingOnTheCurrentBandOnly) {
    panel.setEntryText(QStringLiteral("F4ZX"));
    ASSERT_EQ(panel.pressEnter(), EntryPanel::EnterOutcome::Stored);
    panel.setEntryText(QStringLiteral("F4Z"));
    EXPECT_FALSE(panel.dupeVisible());
    panel.setEntryText(QStringLiteral("F4ZX"));
    EXPECT_TRUE(panel.dupeVisible());
    EXPECT_EQ(panel.memberLabel(), QStringLiteral("  --> ZIR: NM"));
    panel.bandRight(); // changing the band does not re-run the check
    EXPECT_TRUE(panel.dupeVisible());
    panel.setEntryText(QStringLiteral("F4ZX 5"));
    EXPECT_FALSE(panel.dupeVisible());
    panel.setEntryText(QStringLiteral("F4ZX/P"));
    EXPECT_FALSE(panel.dupeVisible()); // exact text only while typing
}

TEST_F(EntryPanelTest, BandKeysStopAtTheEnds) {
    EXPECT_EQ(lines.currentBand(), QStringLiteral("40"));
    panel.bandLeft();
    panel.bandLeft();
    EXPECT_EQ(lines.currentBand(), QStringLiteral("80"));
    EXPECT_EQ(table.cell(Col::Band, table.entryRow()), QStringLiteral("80"));
    for (int i = 0; i < 6; ++i) {
        panel.bandRight();
    }
    EXPECT_EQ(lines.currentBand(), QStringLiteral("10"));
}

TEST_F(EntryPanelTest, DeferredTimeStampsConsecutiveMinutesEvenForRefusedLines) {
    clock.setDeferredTime();
    clock.setPickerTime(QTime(10, 0));
    for (const char* line : {"F5AAA", "F5BBB X", "F5CCC", "F5DDD"}) {
        panel.setEntryText(QString::fromLatin1(line));
        panel.pressEnter();
    }
    EXPECT_EQ(table.cell(Col::Time, 1), QStringLiteral("10:00"));
    EXPECT_EQ(table.cell(Col::Time, 2), QStringLiteral("10:02"));
    EXPECT_EQ(table.cell(Col::Time, 3), QStringLiteral("10:03"));
    EXPECT_EQ(clock.logTime(), QStringLiteral("10:04"));
    panel.setEntryText(QStringLiteral("   "));
    panel.pressEnter();
    EXPECT_EQ(clock.logTime(), QStringLiteral("10:04"));
}

TEST_F(EntryPanelTest, AStoreFailureKeepsTheLineInTheEntryRowAndTheText) {
    clock.setDeferredTime();
    clock.setPickerTime(QTime(10, 0));
    ASSERT_TRUE(QFile::remove(station.contestFilePath()));
    station.contestFolder = contest.m_dir.filePath(QStringLiteral("removed"));
    file.close();
    panel.setEntryText(QStringLiteral("F5ABC"));
    EXPECT_THROW(panel.pressEnter(), IoError);
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.cell(Col::Call, 1), QStringLiteral("F5ABC"));
    EXPECT_EQ(panel.entryText(), QStringLiteral("F5ABC"));
    EXPECT_EQ(clock.logTime(), QStringLiteral("10:00"));
}

TEST(MemberLabel, IsCutTo55Characters) {
    EXPECT_EQ(memberLabelText({"X", "NM", ""}), QStringLiteral("  --> ZIR: NM"));
    const QString longName(60, u'a');
    EXPECT_EQ(memberLabelText({"X", "1234", longName}), QString(51, u'a') + "1234");
}

} // namespace
} // namespace vu
