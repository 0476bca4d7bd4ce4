#include "contest_log/contest_file.h"
#include "contest_log/log_format.h"
#include "platform/errors.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace vu {
namespace {

using test::lineRecord;

class ContestFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        station.contestFolder = m_dir.path();
        station.contestFileName = QStringLiteral("ZIV_URU_B.QRP");
        station.operatorCall = QStringLiteral("D4ERI");
        station.stationCall = QStringLiteral("D4ERI/P");
        station.clubNumber = QStringLiteral("123");
        station.category = QStringLiteral("QRP");
        table.setCell(Col::Call, 0, QStringLiteral("Call"));
    }

    // Writes records 0..n (record 0 a header) as the contest file.
    void writeLog(const std::vector<Record>& lines) {
        QByteArray bytes = encodeRecord(file.headerRecord(localNow));
        for (const Record& r : lines) {
            bytes += encodeRecord(r);
        }
        test::writeFile(station.contestFilePath(), bytes);
    }

    [[nodiscard]] QByteArray fileBytes() const { return test::readFile(station.contestFilePath()); }

    QStringList row(int r) const {
        QStringList cells;
        for (int c = 0; c < 9; ++c) {
            cells << table.cell(c, r);
        }
        return cells;
    }

    QTemporaryDir m_dir;
    StationSettings station;
    LogTable table;
    ContestFile file{table, station};
    QDateTime localNow{QDate(2024, 1, 15), QTime(9, 30, 15)};
    const QDate day{2024, 1, 15};
};

TEST_F(ContestFileTest, NewFileWithPlaceholderLoadsAsAnEmptyLog) {
    file.createNew(localNow);
    const QByteArray bytes = fileBytes();
    ASSERT_EQ(bytes.size(), 2 * 88);
    const Record header = decodeRecord(bytes.constData());
    EXPECT_EQ(header.operatorCall, QStringLiteral("D4ERI"));
    EXPECT_EQ(header.stationCall, QStringLiteral("D4ERI/P"));
    EXPECT_EQ(header.member, QStringLiteral("123"));
    EXPECT_EQ(header.category, QStringLiteral("QRP"));
    EXPECT_EQ(header.date, dayValue(day));
    EXPECT_EQ(header.time, timeFraction(QTime(9, 30, 15)));
    EXPECT_TRUE(header.call.isEmpty() && header.rstSent.isEmpty() && header.rstRcvd.isEmpty());
    const Record placeholder = decodeRecord(bytes.constData() + 88);
    EXPECT_TRUE(placeholder.isBlank());
    EXPECT_EQ(placeholder.rstSent, QStringLiteral("599"));
    EXPECT_EQ(placeholder.rstRcvd, QStringLiteral("599"));
    EXPECT_EQ(placeholder.category, QStringLiteral("QRP"));
    EXPECT_TRUE(placeholder.operatorCall.isEmpty() && placeholder.date == 0.0);

    file.load();
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(row(1), (QStringList{"1", "", "", "", "", "599", "599", "", ""}));
}

TEST_F(ContestFileTest, LinesWithoutTrailingBlankGiveANumberedEntryRowThatIsCurrent) {
    writeLog({lineRecord("D4ERI", "80", day, {7, 5}, "12"),
              lineRecord("DL1ABC", "20", day, {7, 6}, "NM", "QRO")});
    file.load();
    ASSERT_EQ(table.rowCount(), 4);
    EXPECT_EQ(row(1),
              (QStringList{"1", "80", "15/01/2024", "07:05", "D4ERI", "599", "599", "12", "QRP"}));
    EXPECT_EQ(row(2),
              (QStringList{"2", "20", "15/01/2024", "07:06", "DL1ABC", "599", "599", "NM", "QRO"}));
    EXPECT_EQ(table.cell(Col::Number, 3), QStringLiteral("3"));
    EXPECT_EQ(table.currentRow(), 3);
    EXPECT_TRUE(file.isOpen());
}

TEST_F(ContestFileTest, BlankRecordsKeepTheirRowsAndTheLastBlankBecomesTheEntryRow) {
    Record blank;
    writeLog({lineRecord("D4ERI", "40", day, {8, 0}), blank, lineRecord("F5XYZ", "40", day, {8, 2}),
              blank});
    file.load();
    ASSERT_EQ(table.rowCount(), 5);
    EXPECT_EQ(row(2), (QStringList{"2", "", "", "", "", "", "", "", ""}));
    EXPECT_EQ(table.cell(Col::Call, 3), QStringLiteral("F5XYZ"));
    EXPECT_EQ(row(4), (QStringList{"4", "", "", "", "", "599", "599", "", ""}));
}

TEST_F(ContestFileTest, HeaderFieldsDoNotTouchTheSettings) {
    StationSettings other = station;
    other.operatorCall = QStringLiteral("F4XYZ");
    other.clubNumber = QStringLiteral("999");
    other.category = QStringLiteral("QRO");
    LogTable t2;
    ContestFile writer(t2, other);
    writer.createNew(localNow);
    writer.close();
    file.load();
    EXPECT_EQ(station.operatorCall, QStringLiteral("D4ERI"));
    EXPECT_EQ(station.clubNumber, QStringLiteral("123"));
    EXPECT_EQ(station.category, QStringLiteral("QRP"));
}

TEST_F(ContestFileTest, StoreRowRoundTripsTheCellsCutToTheirFields) {
    file.createNew(localNow);
    file.load();
    table.setCell(Col::Band, 1, QStringLiteral("40"));
    table.setCell(Col::Date, 1, QStringLiteral("01/02/2021"));
    table.setCell(Col::Time, 1, QStringLiteral("07:05"));
    table.setCell(Col::Call, 1, QStringLiteral("ABCDEFGHIJKLMNOP"));
    table.setCell(Col::RstSent, 1, QStringLiteral("5599"));
    table.setCell(Col::RstRcvd, 1, QStringLiteral("579"));
    table.setCell(Col::Member, 1, QStringLiteral("12345"));
    table.setCell(Col::Category, 1, QStringLiteral("QRO"));
    file.storeRow(1);

    const Record r = decodeRecord(fileBytes().constData() + 88);
    EXPECT_EQ(r.time, 425.0 / 1440.0);
    EXPECT_EQ(r.date, 44228.0);
    EXPECT_EQ(r.call, QStringLiteral("ABCDEFGHIJKLMNO"));
    EXPECT_EQ(r.rstSent, QStringLiteral("559"));
    EXPECT_EQ(r.member, QStringLiteral("1234"));
    EXPECT_EQ(r.operatorCall, QStringLiteral("D4ERI"));
    EXPECT_EQ(r.stationCall, QStringLiteral("D4ERI/P"));

    file.load();
    EXPECT_EQ(row(1), (QStringList{"1", "40", "01/02/2021", "07:05", "ABCDEFGHIJKLMNO", "559",
                                   "579", "1234", "QRO"}));
}

TEST_F(ContestFileTest, StoreRowSkipsIncompleteRowsAndStopsOnBadCells) {
    writeLog({lineRecord("D4ERI", "40", day, {8, 0})});
    file.load();
    const QByteArray before = fileBytes();
    table.setCell(Col::Call, 1, QString());
    file.storeRow(1); // empty callsign: the record keeps the earlier line
    EXPECT_EQ(fileBytes(), before);

    table.setCell(Col::Call, 1, QStringLiteral("F5XYZ"));
    table.setCell(Col::Time, 1, QStringLiteral("8h00"));
    try {
        file.storeRow(1);
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'8h00' n'est pas une heure correcte"));
    }
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(file.isOpen());
}

TEST_F(ContestFileTest, RewriteKeepsTheOldFileAsBakAndWritesEveryRowAtItsIndex) {
    writeLog({lineRecord("D4ERI", "40", day, {8, 0}), lineRecord("F5XYZ", "40", day, {8, 1}),
              lineRecord("DL1AB", "20", day, {8, 2})});
    file.load();
    const QByteArray before = fileBytes();
    // Insert a blank line at row 2, as the grid's menu does.
    table.setRowCount(table.rowCount() + 1);
    for (int k = table.rowCount() - 1; k > 2; --k) {
        table.copyRow(k - 1, k);
    }
    table.clearRow(2);
    file.rewrite(localNow);

    const QString bak = m_dir.filePath(QStringLiteral("ZIV_URU_B.BAK"));
    EXPECT_EQ(test::readFile(bak), before);
    const QByteArray after = fileBytes();
    ASSERT_EQ(after.size(), 5 * 88);
    EXPECT_TRUE(decodeRecord(after.constData() + 2 * 88).isBlank());
    EXPECT_EQ(decodeRecord(after.constData() + 3 * 88).call, QStringLiteral("F5XYZ"));
    EXPECT_EQ(decodeRecord(after.constData() + 4 * 88).call, QStringLiteral("DL1AB"));
    EXPECT_EQ(ContestFile::backupName(QStringLiteral("LOG")), QStringLiteral("LOG.BAK"));
    EXPECT_EQ(ContestFile::backupName(QStringLiteral("A.B.QRP")), QStringLiteral("A.B.BAK"));
}

TEST_F(ContestFileTest, RewriteWithoutAPossibleBackupLeavesTheFileUntouched) {
    writeLog({lineRecord("D4ERI", "40", day, {8, 0}), lineRecord("F5XYZ", "40", day, {8, 1})});
    file.load();
    const QByteArray before = fileBytes();
    // A folder in the way of the ".BAK" name: the copy cannot be made.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("ZIV_URU_B.BAK")));
    table.copyRow(2, 1);
    EXPECT_THROW(file.rewrite(localNow), IoError);
    EXPECT_EQ(fileBytes(), before);
}

// Rows the file holds in a form the grid cannot show (a date or time that is no number or out of
// range) show empty cells; moving them with a deletion or an insertion must not lose them, and
// rows nobody changed keep their bytes (the operator and station of the day they were logged).
TEST_F(ContestFileTest, RewritesKeepTheStoredBytesOfRowsTheyDoNotChange) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Bad {
        int offset;
        double value;
    };
    const Bad cases[] = {{RecordLayout::DateOffset, nan},   {RecordLayout::DateOffset, inf},
                         {RecordLayout::DateOffset, 1e300}, {RecordLayout::DateOffset, -1e7},
                         {RecordLayout::TimeOffset, nan},   {RecordLayout::TimeOffset, -inf}};
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.value);
        Record old = lineRecord("F5XYZ", "40", day, {8, 1});
        old.operatorCall = QStringLiteral("F4OLD");
        QByteArray bad = encodeRecord(lineRecord("DL1AB", "20", day, {8, 2}));
        std::memcpy(bad.data() + c.offset, &c.value, 8);
        bad[RecordLayout::Call.lengthOffset + 10] = 'Z'; // a byte past the value
        QByteArray bytes = encodeRecord(file.headerRecord(localNow)) +
                           encodeRecord(lineRecord("D4ERI", "40", day, {8, 0})) +
                           encodeRecord(old) + bad;
        test::writeFile(station.contestFilePath(), bytes);
        file.load();
        ASSERT_EQ(table.cell(Col::Call, 3), QStringLiteral("DL1AB"));

        // Insert a blank line at row 1, then delete it, as the grid's menu does.
        table.setRowCount(table.rowCount() + 1);
        for (int k = table.rowCount() - 1; k > 1; --k) {
            table.copyRow(k - 1, k);
        }
        table.clearRow(1);
        file.rewrite(localNow);
        EXPECT_EQ(fileBytes().mid(2 * 88), bytes.mid(88));
        for (int k = 1; k < table.rowCount() - 1; ++k) {
            table.copyRow(k + 1, k);
        }
        table.setRowCount(table.rowCount() - 1);
        file.rewrite(localNow);
        EXPECT_EQ(fileBytes().mid(88), bytes.mid(88));

        // A corrected row is written from its cells; the value the grid cannot show is kept.
        table.setCell(Col::Call, 3, QStringLiteral("DL1ABC"));
        file.rewrite(localNow);
        const QByteArray after = fileBytes();
        EXPECT_EQ(decodeRecord(after.constData() + 3 * 88).call, QStringLiteral("DL1ABC"));
        EXPECT_EQ(after.mid(3 * 88 + c.offset, 8), bad.mid(c.offset, 8));
        EXPECT_EQ(after.mid(88, 2 * 88), bytes.mid(88, 2 * 88));
        file.close();
    }
}

// A second writer on one file (another copy of the tool, the window program) is refused with the
// file's name until the first lets it go; stores and rewrites keep the first one's hold.
TEST_F(ContestFileTest, OneWriterAtATime) {
    writeLog({lineRecord("D4ERI", "40", day, {8, 0})});
    file.load();
    LogTable otherTable;
    ContestFile other(otherTable, station);
    const QString inUse = station.contestFilePath() + " est ouvert par un autre programme";
    const auto refused = [&] {
        try {
            other.load();
        } catch (const AppError& e) {
            return e.message().endsWith(inUse);
        }
        return false;
    };
    EXPECT_TRUE(refused());
    EXPECT_EQ(otherTable.rowCount(), 2);

    table.setCell(Col::Band, 2, QStringLiteral("40"));
    table.setCell(Col::Date, 2, QStringLiteral("15/01/2024"));
    table.setCell(Col::Time, 2, QStringLiteral("08:01"));
    table.setCell(Col::Call, 2, QStringLiteral("F5XYZ"));
    file.storeRow(2);
    EXPECT_TRUE(refused());
    file.rewrite(localNow);
    EXPECT_TRUE(refused());
    file.createCleared(localNow);
    EXPECT_TRUE(refused());

    file.close();
    EXPECT_NO_THROW(other.load());
    EXPECT_THROW(file.load(), AppError);
}

// A file that is not a contest file (a report given by mistake) still loads as today, but nothing
// is written into it.
TEST_F(ContestFileTest, AFileThatIsNotAContestFileIsNeverWrittenInto) {
    const QByteArray cabrillo = "START-OF-LOG: 3.0\r\nCALLSIGN: D4ERI\r\nQSO: 7000 CW 2024-01-15 "
                                "0805 D4ERI 599 123 QRP DL1ABC 599 NM\r\nEND-OF-LOG:\r\n";
    for (const QByteArray& bytes : {cabrillo, cabrillo.left(176)}) {
        test::writeFile(station.contestFilePath(), bytes);
        ASSERT_NO_THROW(file.load());
        const int row = table.entryRow();
        table.setCell(Col::Band, row, QStringLiteral("40"));
        table.setCell(Col::Date, row, QStringLiteral("15/01/2024"));
        table.setCell(Col::Time, row, QStringLiteral("08:01"));
        table.setCell(Col::Call, row, QStringLiteral("F5XYZ"));
        const QString refusal = "Le fichier " + station.contestFilePath() +
                                " n'est pas un fichier de concours : il n'a pas été modifié";
        for (const auto& write : std::initializer_list<std::function<void()>>{
                 [&] { file.storeRow(row); }, [&] { file.rewrite(localNow); },
                 [&] { file.createCleared(localNow); }}) {
            try {
                write();
                ADD_FAILURE() << "written into";
            } catch (const AppError& e) {
                EXPECT_EQ(e.message(), refusal);
            }
            EXPECT_EQ(fileBytes(), bytes);
        }
        EXPECT_FALSE(QFileInfo::exists(m_dir.filePath(QStringLiteral("ZIV_URU_B.BAK"))));
    }
}

TEST_F(ContestFileTest, MissingFolderGivesTheIoText) {
    station.contestFolder = m_dir.filePath(QStringLiteral("gone"));
    try {
        file.load();
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable : " + station.contestFilePath());
    }
    EXPECT_EQ(table.rowCount(), 2);
}

TEST_F(ContestFileTest, ClearedLogHoldsTheHeaderTwice) {
    file.createCleared(localNow);
    const QByteArray bytes = fileBytes();
    ASSERT_EQ(bytes.size(), 2 * 88);
    EXPECT_EQ(bytes.left(88), bytes.mid(88));
    file.load();
    EXPECT_EQ(table.rowCount(), 2);
}

TEST_F(ContestFileTest, DamagedAndRandomFilesLoadWithoutCrashing) {
    QRandomGenerator rng(42);
    for (int round = 0; round < 50; ++round) {
        QByteArray bytes(rng.bounded(0, 88 * 40), Qt::Uninitialized);
        for (char& c : bytes) {
            c = static_cast<char>(rng.bounded(256));
        }
        test::writeFile(station.contestFilePath(), bytes);
        file.load();
        ASSERT_GE(table.rowCount(), 2);
        EXPECT_LE(table.rowCount(), std::max<int>(bytes.size() / 88, 1) + 1);
        EXPECT_EQ(table.cell(Col::Number, table.entryRow()), QString::number(table.entryRow()));
    }
    test::writeFile(station.contestFilePath(), QByteArray());
    file.load();
    EXPECT_EQ(table.rowCount(), 2);
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// Inputs the fuzzer once broke the loader with: each loads, and the log it gives can be written
// back.
TEST(ContestFileFuzzFindings, LoadAndWriteBack) {
    const QDir findings(test::fixture(QStringLiteral("fuzz/contest_file")));
    const QStringList names = findings.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        StationSettings station;
        station.contestFolder = dir.path();
        station.contestFileName = QStringLiteral("FUZZ.QRP");
        test::writeFile(station.contestFilePath(), test::readFile(findings.filePath(name)));
        LogTable table;
        ContestFile file(table, station);
        file.load();
        EXPECT_NO_THROW((void)file.tableImage(nullptr)) << name.toStdString();
    }
}

} // namespace
} // namespace vu
