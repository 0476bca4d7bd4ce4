#include "contest_log/contest_file.h"
#include "contest_log/log_format.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "setup/file_naming.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class FileNamingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(files));
        station.operatorCall = "D4ERI";
        station.stationCall = "D4ERI/P";
        station.contestFolder = files;
        form.setEditChemin(files);
    }

    [[nodiscard]] QByteArray fileAt(const QString& name) const {
        return test::readFile(files + "/" + name);
    }

    QTemporaryDir m_dir;
    QString files = m_dir.filePath("Files");
    StationSettings station;
    LogTable table;
    ContestFile contestFile{table, station};
    FileNamingForm form{station, table, contestFile, files};
    const QDate today{2024, 6, 1};
    const QDateTime localNow{today, QTime(10, 0)};
};

TEST_F(FileNamingTest, FirstRunProposesTheYearAndOperatorAndCreatesHeaderAndPlaceholder) {
    form.activate(today);
    EXPECT_EQ(station.contestFileName, QStringLiteral("ZIV_URU_2024@D4ERI.QRP"));
    EXPECT_EQ(form.editNomFichier(), QStringLiteral("ZIV_URU_2024@D4ERI"));

    form.confirm(localNow);
    const QByteArray bytes = fileAt("ZIV_URU_2024@D4ERI.QRP");
    ASSERT_EQ(bytes.size(), 2 * kRecordSize);
    EXPECT_EQ(decodeRecord(bytes.constData()).operatorCall, QStringLiteral("D4ERI"));
    const Record placeholder = decodeRecord(bytes.constData() + kRecordSize);
    EXPECT_EQ(placeholder.rstSent, QStringLiteral("599"));
    EXPECT_EQ(placeholder.rstRcvd, QStringLiteral("599"));
    EXPECT_TRUE(contestFile.isOpen());
    EXPECT_EQ(form.mainFileLabel(), QStringLiteral("ZIV_URU_2024@D4ERI"));
}

TEST_F(FileNamingTest, APortableCallGivesAProposalThatOkCreates) {
    station.operatorCall = "F/D4ERI";
    form.activate(today);
    EXPECT_EQ(station.contestFileName, QStringLiteral("ZIV_URU_2024@F_D4ERI.QRP"));
    form.confirm(localNow);
    EXPECT_EQ(fileAt("ZIV_URU_2024@F_D4ERI.QRP").size(), 2 * kRecordSize);
    EXPECT_EQ(decodeRecord(fileAt("ZIV_URU_2024@F_D4ERI.QRP").constData()).operatorCall,
              QStringLiteral("F/D4ERI"));
}

TEST_F(FileNamingTest, TypedNamesGetQrpOnlyWithoutAnExtension) {
    struct Case {
        const char* typed;
        const char* file;
    };
    const Case cases[] = {
        {"ZIV_URU_B", "ZIV_URU_B.QRP"},
        {"ZIV_URU_B.TXT", "ZIV_URU_B.TXT"},
        {"  ZIV_URU_TEST  ", "ZIV_URU_TEST.QRP"},
        {"ZIV_URU_C.QRP_Mem", "ZIV_URU_C.QRP_Mem"},
        {"MY LOG", "MY LOG.QRP"}, // any name is accepted
    };
    for (const Case& c : cases) {
        form.setEditNomFichier(c.typed);
        form.confirm(localNow);
        EXPECT_EQ(station.contestFileName, QString::fromLatin1(c.file)) << c.typed;
        EXPECT_TRUE(QFileInfo::exists(files + "/" + c.file)) << c.typed;
        EXPECT_EQ(form.mainFileLabel(), QString::fromLatin1(c.typed)); // as typed, blanks kept
    }
}

TEST_F(FileNamingTest, AnExistingFileIsLeftUnchanged) {
    const QByteArray existing = encodeRecord(contestFile.headerRecord(localNow)) +
                                encodeRecord(test::lineRecord("F5ABC", "40", today, {9, 0}));
    test::writeFile(files + "/OLD.QRP", existing);
    table.setRowCount(4); // a log on screen must not overwrite it
    form.setEditNomFichier("OLD");
    form.confirm(localNow.addDays(1));
    EXPECT_EQ(fileAt("OLD.QRP"), existing);
}

TEST_F(FileNamingTest, ANewNameSavesTheLogOnScreenUnderItsRowNumbers) {
    table.setRowCount(4);
    for (int row = 1; row <= 2; ++row) {
        table.setCell(Col::Band, row, "40");
        table.setCell(Col::Date, row, "01/06/2024");
        table.setCell(Col::Time, row, QStringLiteral("10:0%1").arg(row));
        table.setCell(Col::Call, row, row == 1 ? "F5ABC" : "DL1XYZ");
    }
    form.setEditNomFichier("COPY");
    form.confirm(localNow);
    const QByteArray bytes = fileAt("COPY.QRP");
    ASSERT_EQ(bytes.size(), 4 * kRecordSize); // header, two lines, the entry row
    EXPECT_EQ(decodeRecord(bytes.constData() + kRecordSize).call, QStringLiteral("F5ABC"));
    EXPECT_EQ(decodeRecord(bytes.constData() + 2 * kRecordSize).call, QStringLiteral("DL1XYZ"));
}

TEST_F(FileNamingTest, AnUnwritableFolderRaisesTheFileError) {
    form.setEditChemin(m_dir.filePath("no such folder"));
    form.setEditNomFichier("X");
    EXPECT_THROW(form.confirm(localNow), IoError);
}

TEST_F(FileNamingTest, AStoredNameWithoutExtensionIsShownWhole) {
    station.contestFileName = "MYLOG";
    form.activate(today);
    EXPECT_EQ(form.editNomFichier(), QStringLiteral("MYLOG"));
    form.confirm(localNow);
    EXPECT_EQ(station.contestFileName, QStringLiteral("MYLOG.QRP"));
}

TEST_F(FileNamingTest, ChoosingAFolderBringsBackTheNameInMemory) {
    station.contestFileName = "ZIV_URU_A.QRP";
    form.activate(today);
    form.setEditNomFichier("typed but not confirmed");
    const QString other = m_dir.filePath("Other");
    form.chooseFolder(other, today);
    EXPECT_EQ(station.contestFolder, other);
    EXPECT_EQ(form.editChemin(), other);
    EXPECT_EQ(form.editNomFichier(), QStringLiteral("ZIV_URU_A"));
}

TEST_F(FileNamingTest, ChoosingAnExistingFileTakesItsFolderAndFullName) {
    form.chooseExistingFile(m_dir.filePath("Saves/ZIV_URU_A_03.sav"));
    EXPECT_EQ(station.contestFolder, m_dir.filePath("Saves"));
    EXPECT_EQ(station.contestFileName, QStringLiteral("ZIV_URU_A_03.sav"));
    EXPECT_EQ(form.editChemin(), m_dir.filePath("Saves"));
    EXPECT_EQ(form.editNomFichier(), QStringLiteral("ZIV_URU_A_03.sav"));
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// The error text of confirming `typed`; empty when it was accepted.
QString confirmError(FileNamingForm& form, const QString& typed, const QDateTime& now) {
    form.setEditNomFichier(typed);
    try {
        form.confirm(now);
    } catch (const AppError& e) {
        return e.message();
    }
    return {};
}

// A report or the deletion copy would write over a contest file named like it.
TEST_F(FileNamingTest, RefusesTheExtensionsOfTheReportsAndOfTheDeletionCopy) {
    struct Case {
        const char* typed;
        bool refused;
    };
    const Case cases[] = {
        {"T.CBR", true},  {"T.cbr", true}, {"T.ADI", true},      {"T.Bak", true},
        {"T.QRP", false}, {"T", false},    {"T.CBR.QRP", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        const QString error = confirmError(form, c.typed, localNow);
        EXPECT_EQ(!error.isEmpty(), c.refused) << error.toStdString();
        if (c.refused) {
            EXPECT_TRUE(error.contains(files + "/" + c.typed)) << error.toStdString();
            EXPECT_FALSE(QFileInfo::exists(files + "/" + c.typed));
            EXPECT_NE(station.contestFileName, c.typed);
        }
    }
}

// Another program logging into X.QRP_Mem (a quit copy opened as a log) would lose its file to
// the quit copy of X.QRP, and the other way round.
TEST_F(FileNamingTest, RefusesAFileWhoseQuitCopyOrOriginalIsAnotherProgramsLog) {
    test::writeFile(files + "/X.QRP_Mem", QByteArray(2 * kRecordSize, '\0'));
    test::writeFile(files + "/Y.QRP", QByteArray(2 * kRecordSize, '\0'));
    FileLock other;
    ASSERT_TRUE(other.tryLock(files + "/X.QRP_Mem"));
    FileLock otherY;
    ASSERT_TRUE(otherY.tryLock(files + "/Y.QRP"));

    const QString quitCopy = confirmError(form, "X.QRP", localNow);
    EXPECT_TRUE(quitCopy.contains(files + "/X.QRP_Mem")) << quitCopy.toStdString();
    EXPECT_FALSE(QFileInfo::exists(files + "/X.QRP"));
    for (const char* copy : {"Y.QRP_Mem", "Y.QRP_03.sav"}) {
        const QString error = confirmError(form, copy, localNow);
        EXPECT_TRUE(error.contains(files + "/Y.QRP")) << error.toStdString();
    }
    other.release();
    EXPECT_EQ(confirmError(form, "X.QRP", localNow), "");
}

} // namespace
} // namespace vu
