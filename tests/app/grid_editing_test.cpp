#include "app/grid_editing.h"
#include "contest_log/log_format.h"
#include "support/test_session.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class GridEditingTest : public test::SessionTest {
protected:
    GridEditingTest() : SessionTest(QDateTime(QDate(2024, 1, 15), QTime(11, 30), Qt::UTC)) {}

    void SetUp() override {
        ASSERT_TRUE(contest.m_dir.isValid());
        const QDate day(2024, 1, 15);
        QByteArray bytes(kRecordSize, '\0');
        int minute = 0;
        for (const char* call : {"F5AAA", "F5BBB", "F5CCC", "F5DDD", "F5EEE"}) {
            bytes += encodeRecord(test::lineRecord(call, "20", day, QTime(8, minute++)));
        }
        test::writeFile(station.contestFilePath(), bytes);
        contest.session.loadLog();
        clock.setRealTime();
        clock.tick(table);
    }

    QStringList calls() const {
        QStringList out;
        for (int r = 1; r < table.entryRow(); ++r) {
            out << table.cell(Col::Call, r);
        }
        return out;
    }

    QStringList storedCalls() const { return test::recordCalls(station.contestFilePath()); }

    GridEditing& editing = contest.session.gridEditing();
    const QDateTime localNow{QDate(2024, 1, 15), QTime(12, 0)};
};

TEST_F(GridEditingTest, LoadingScoresTheLogAndTakesTheBandOfItsLastLine) {
    // The band of the last line becomes the current band and goes into the entry row.
    EXPECT_EQ(contest.session.lines().currentBand(), QStringLiteral("20"));
    EXPECT_EQ(table.cell(Col::Band, table.entryRow()), QStringLiteral("20"));
    EXPECT_EQ(table.cell(Col::Number, table.entryRow()), QStringLiteral("6"));
    EXPECT_EQ(table.currentRow(), table.entryRow());
    EXPECT_FALSE(table.cell(Col::Points, 5).isEmpty());
    EXPECT_TRUE(contest.session.hisContinent().isEmpty()); // emptied after the load
}

TEST_F(GridEditingTest, SpaceMovesAlongTheRowAndCompletesItFromTheCallsign) {
    table.setCurrentCell(4, 6); // the entry row
    table.setCell(Col::Call, 6, QStringLiteral("F5ABC"));
    table.setCell(Col::Band, 6, QString());
    editing.space();
    EXPECT_EQ(table.currentCol(), 5);
    EXPECT_EQ(table.cell(Col::RstSent, 6), QStringLiteral("599"));
    EXPECT_EQ(table.cell(Col::RstRcvd, 6), QStringLiteral("599"));
    EXPECT_EQ(table.cell(Col::Category, 6), QStringLiteral("QRP"));
    EXPECT_EQ(table.cell(Col::Member, 6), QStringLiteral("123"));
    EXPECT_EQ(table.cell(Col::Band, 6), QStringLiteral("20"));
    EXPECT_EQ(table.cell(Col::Points, 6), QStringLiteral("10"));
    const QByteArray before = test::readFile(station.contestFilePath());
    for (int expected : {6, 7, 8, 4}) {
        editing.space();
        EXPECT_EQ(table.currentCol(), expected);
    }
    table.setCurrentCell(10, 6);
    editing.space();
    EXPECT_EQ(table.currentCol(), 4);
    EXPECT_EQ(test::readFile(station.contestFilePath()), before); // nothing stored
}

TEST_F(GridEditingTest, CategoryKeysActOnlyInColumn8AndDoNotStore) {
    const QByteArray before = test::readFile(station.contestFilePath());
    table.setCurrentCell(8, 2);
    EXPECT_TRUE(editing.categoryKey(u'o'));
    EXPECT_EQ(table.cell(Col::Category, 2), QStringLiteral("QRO"));
    EXPECT_TRUE(editing.categoryKey(u'P'));
    EXPECT_EQ(table.cell(Col::Category, 2), QStringLiteral("QRP"));
    EXPECT_FALSE(editing.categoryKey(u'X'));
    table.setCurrentCell(7, 2);
    EXPECT_FALSE(editing.categoryKey(u'O'));
    EXPECT_EQ(test::readFile(station.contestFilePath()), before);
}

TEST_F(GridEditingTest, ACorrectedLineKeepsItsBandDateAndTimeAndMovesDown) {
    // Real time at 11:30 on 40 m: the line logged on 20 m at 08:04 stays there.
    contest.session.lines().selectBand(1);
    table.setCurrentCell(6, 5);
    table.setCell(Col::RstRcvd, 5, QStringLiteral("339"));
    EXPECT_TRUE(editing.enter());
    EXPECT_EQ(table.cell(Col::Time, 5), QStringLiteral("08:04"));
    EXPECT_EQ(table.cell(Col::Band, 5), QStringLiteral("20"));
    EXPECT_EQ(table.currentRow(), 6);
    EXPECT_EQ(table.currentCol(), 4);
    const auto stored = [this](int k) {
        return decodeRecord(test::readFile(station.contestFilePath()).constData() +
                            k * kRecordSize);
    };
    EXPECT_EQ(stored(5).rstRcvd, QStringLiteral("339"));
    EXPECT_EQ(stored(5).band, QStringLiteral("20"));
    EXPECT_EQ(formatLogTime(*timeOfValue(stored(5).time)), QStringLiteral("08:04"));
    // A band the operator typed into the line is his.
    table.setCurrentCell(1, 4);
    table.setCell(Col::Band, 4, QStringLiteral("15"));
    editing.enter();
    EXPECT_EQ(stored(4).band, QStringLiteral("15"));
    EXPECT_EQ(formatLogTime(*timeOfValue(stored(4).time)), QStringLiteral("08:03"));

    // Deferred time: the picker's time is taken only when the operator set it for this line with
    // the arrows, as the time column's message tells him to.
    clock.setDeferredTime();
    clock.setPickerTime(QTime(9, 0));
    table.setCurrentCell(6, 3);
    editing.enter();
    EXPECT_EQ(table.cell(Col::Time, 3), QStringLiteral("08:02"));
    table.setCurrentCell(6, 3);
    EXPECT_TRUE(editing.arrow(+1));
    EXPECT_TRUE(editing.arrow(+1));
    editing.enter();
    EXPECT_EQ(table.cell(Col::Time, 3), QStringLiteral("09:02"));
    EXPECT_EQ(table.cell(Col::Band, 3), QStringLiteral("20"));
    EXPECT_TRUE(editing.cellEntered(3, 3));
    EXPECT_FALSE(editing.cellEntered(4, 3));
    EXPECT_EQ(GridEditing::timeColumnMessage().size(), 122);
}

TEST_F(GridEditingTest, ABlankInsertedLineFilledTakesTheCurrentBandAndTheClock) {
    table.setCurrentRow(3);
    editing.insertBlankLine(localNow);
    contest.session.lines().selectBand(4); // 10 m
    table.setCurrentCell(4, 3);
    table.setCell(Col::Call, 3, QStringLiteral("G3XYZ"));
    EXPECT_TRUE(editing.enter());
    EXPECT_EQ(table.cell(Col::Band, 3), QStringLiteral("10"));
    EXPECT_EQ(table.cell(Col::Date, 3), QStringLiteral("15/01/2024"));
    EXPECT_EQ(table.cell(Col::Time, 3), QStringLiteral("11:30"));
    EXPECT_EQ(test::recordCalls(station.contestFilePath()).at(2), QStringLiteral("G3XYZ"));
}

TEST_F(GridEditingTest, EnterOnTheEntryRowAddsARowAndOnABlankCallOnlyRescores) {
    table.setCurrentCell(4, 6);
    table.setCell(Col::Call, 6, QStringLiteral("G3XYZ"));
    editing.enter();
    EXPECT_EQ(table.rowCount(), 8);
    EXPECT_EQ(table.currentRow(), 7);
    EXPECT_EQ(storedCalls().size(), 6);

    const QString points = table.cell(Col::Points, 1);
    table.setCell(Col::Points, 1, QString());
    table.setCurrentCell(7, 7);
    editing.enter();
    EXPECT_EQ(table.currentCol(), 4);
    EXPECT_EQ(table.rowCount(), 8);
    EXPECT_EQ(table.cell(Col::Points, 1), points); // the log was scored again
}

TEST_F(GridEditingTest, DeleteAndInsertRewriteTheFileWithABackup) {
    EXPECT_EQ(editing.deleteQuestion(), QStringLiteral("Confirmez la suppression de la ligne 6"));
    table.setCurrentRow(2);
    EXPECT_EQ(editing.deleteQuestion(), QStringLiteral("Confirmez la suppression de la ligne 2"));
    const QByteArray before = test::readFile(station.contestFilePath());
    editing.deleteLine(localNow);
    EXPECT_EQ(calls(), (QStringList{"F5AAA", "F5CCC", "F5DDD", "F5EEE"}));
    EXPECT_EQ(table.cell(Col::Number, 4), QStringLiteral("4"));
    EXPECT_EQ(storedCalls(), calls());
    EXPECT_EQ(test::readFile(contest.m_dir.filePath("LOG.BAK")), before);

    table.setCurrentRow(3);
    EXPECT_EQ(editing.insertQuestion(),
              QStringLiteral("Confirmez l'insertion d'une ligne avant la ligne 3"));
    editing.insertBlankLine(localNow);
    EXPECT_EQ(calls(), (QStringList{"F5AAA", "F5CCC", "", "F5DDD", "F5EEE"}));
    EXPECT_EQ(table.cell(Col::Number, 3), QStringLiteral("3"));
    contest.session.loadLog();
    EXPECT_EQ(calls(), (QStringList{"F5AAA", "F5CCC", "", "F5DDD", "F5EEE"}));

    // With the entry row current no row changes, but the file is still rewritten.
    table.setCurrentRow(table.entryRow());
    const int rows = table.rowCount();
    editing.deleteLine(localNow);
    EXPECT_EQ(table.rowCount(), rows);
}

} // namespace
} // namespace vu
