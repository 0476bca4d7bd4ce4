#include "app/backups.h"
#include "contest_log/log_format.h"
#include "platform/errors.h"
#include "platform/file_lock.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utime.h>

namespace vu {
namespace {

// Creates `name` in `dir` with a modification time `age` seconds in the past.
void touchFile(const QDir& dir, const QString& name, int age) {
    test::writeFile(dir.filePath(name), QByteArray("x"));
    const time_t when = ::time(nullptr) - age;
    const utimbuf times{when, when};
    ASSERT_EQ(::utime(QFile::encodeName(dir.filePath(name)).constData(), &times), 0);
}

TEST(Backups, NextNameFollowsTheNewestNumberedBackupOfThisLog) {
    struct File {
        const char* name;
        int age;
    };
    struct Case {
        const char* what;
        std::vector<File> files;
        const char* expected;
    };
    const Case cases[] = {
        {"empty root", {}, "LOG.QRP_01.sav"},
        {"_04 newest",
         {{"LOG.QRP_01.sav", 90},
          {"LOG.QRP_03.sav", 50},
          {"LOG.QRP_04.sav", 10},
          {"LOG.QRP_10.sav", 900}},
         "LOG.QRP_05.sav"},
        {"_10 newest", {{"LOG.QRP_09.sav", 50}, {"LOG.QRP_10.sav", 10}}, "LOG.QRP_01.sav"},
        {"other logs do not count",
         {{"LOG.QRP_02.sav", 50}, {"OTHER.QRP_07.sav", 1}, {"notes.txt", 0}},
         "LOG.QRP_03.sav"},
        {"names without two digits are passed over",
         {{"LOG.QRP_06.sav", 50}, {"LOG.QRP", 1}, {"LOG.BAK.QRP_xx.sav", 0}, {"LOG.QRP_Mem", 0}},
         "LOG.QRP_07.sav"},
        {"a leftover temporary file is hidden",
         {{".LOG.QRP_08.sav.tmp~", 0}, {"LOG.QRP_02.sav", 9}},
         "LOG.QRP_03.sav"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        for (const File& f : c.files) {
            touchFile(QDir(dir.path()), QString::fromLatin1(f.name), f.age);
        }
        EXPECT_EQ(Backups::nextBackupName(dir.path(), QStringLiteral("LOG.QRP")),
                  QLatin1String(c.expected))
            << c.what;
    }
}

class BackupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_logDir.isValid());
        ASSERT_TRUE(m_volume.isValid());
        station.contestFolder = m_logDir.path();
        station.contestFileName = QStringLiteral("LOG.QRP");
        station.operatorCall = QStringLiteral("D4ERI");
        station.stationCall = QStringLiteral("D4ERI");
        station.clubNumber = QStringLiteral("12");
        const QDate day(2024, 1, 15);
        QByteArray bytes(88, '\0');
        for (const char* call : {"F5AAA", "DL1BBB", "G4CCC"}) {
            bytes += encodeRecord(test::lineRecord(call, "40", day, {8, 0}));
        }
        test::writeFile(station.contestFilePath(), bytes);
        file.load();
        table.setCell(Col::Date, table.entryRow(), QStringLiteral("15/01/2024"));
        table.setCell(Col::Time, table.entryRow(), QStringLiteral("08:05"));
    }

    // Loads a copy as a contest file and gives its callsigns.
    QStringList callsIn(const QString& path) {
        StationSettings other = station;
        const QFileInfo info(path);
        other.contestFolder = info.absolutePath();
        other.contestFileName = info.fileName();
        LogTable t;
        ContestFile copy(t, other);
        copy.load();
        QStringList calls;
        for (int r = 1; r < t.entryRow(); ++r) {
            calls << t.cell(Col::Call, r);
        }
        return calls;
    }

    QTemporaryDir m_logDir;
    QTemporaryDir m_volume;
    StationSettings station;
    LogTable table;
    ContestFile file{table, station};
    Backups backups{file};
    const QStringList calls{"F5AAA", "DL1BBB", "G4CCC"};
};

TEST_F(BackupsTest, RotatingBackupAndQuitCopyLoadBackToTheSameQsos) {
    const QString backup = backups.rotatingBackup(m_volume.path(), station.contestFileName);
    const QByteArray bytes = test::readFile(backup);
    ASSERT_EQ(bytes.size(), 5 * 88); // record 0, three lines, the entry row
    EXPECT_EQ(bytes.left(88), QByteArray(88, '\0'));
    EXPECT_TRUE(decodeRecord(bytes.constData() + 4 * 88).isBlank());
    EXPECT_EQ(callsIn(backup), calls);

    backups.quitCopy(QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
    const QString quit = station.contestFilePath() + QStringLiteral("_Mem");
    const Record header = decodeRecord(test::readFile(quit).constData());
    EXPECT_EQ(header.operatorCall, QStringLiteral("D4ERI"));
    EXPECT_EQ(header.member, QStringLiteral("12"));
    EXPECT_EQ(callsIn(quit), calls);
}

TEST_F(BackupsTest, BackupsWithTheSameFileTimeStillTakeTheirTurn) {
    // Copies written within the file system's time resolution carry the same time.
    const QDateTime same(QDate(2024, 1, 15), QTime(8, 0), Qt::UTC);
    for (const char* expected : {"LOG.QRP_01.sav", "LOG.QRP_02.sav", "LOG.QRP_03.sav"}) {
        const QString path = backups.rotatingBackup(m_volume.path(), station.contestFileName);
        EXPECT_EQ(QFileInfo(path).fileName(), QString::fromLatin1(expected));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(same, QFileDevice::FileModificationTime));
    }
}

TEST_F(BackupsTest, ChecksBackUpOnceAMinuteAndOnlyToAChosenVolume) {
    const QDateTime t0(QDate(2024, 1, 15), QTime(8, 0, 0), Qt::UTC);
    EXPECT_FALSE(backups.check(t0, QString(), station.contestFileName).backedUp);
    EXPECT_EQ(backups.nextBackupTime(), t0.addSecs(60));
    EXPECT_TRUE(QDir(m_volume.path()).entryList(QDir::Files).isEmpty());

    EXPECT_FALSE(backups.check(t0.addSecs(30), m_volume.path(), station.contestFileName).backedUp);
    EXPECT_FALSE(backups.check(t0.addSecs(60), m_volume.path(), station.contestFileName).backedUp);
    EXPECT_TRUE(backups.check(t0.addSecs(61), m_volume.path(), station.contestFileName).backedUp);
    EXPECT_TRUE(QFile::exists(m_volume.filePath("LOG.QRP_01.sav")));
}

TEST_F(BackupsTest, AFailedBackupIsShownOnceAndTheNextSuccessResumesTheTurn) {
    const QString gone = m_volume.filePath(QStringLiteral("stick"));
    QDateTime t(QDate(2024, 1, 15), QTime(8, 0, 0), Qt::UTC);
    const auto first = backups.check(t, gone, station.contestFileName);
    EXPECT_FALSE(first.backedUp);
    EXPECT_TRUE(first.errorToShow.startsWith("Fichier introuvable : " + gone + "/"))
        << first.errorToShow.toStdString();
    t = t.addSecs(61);
    EXPECT_TRUE(backups.check(t, gone, station.contestFileName).errorToShow.isEmpty());

    ASSERT_TRUE(QDir(m_volume.path()).mkdir(QStringLiteral("stick")));
    t = t.addSecs(61);
    EXPECT_TRUE(backups.check(t, gone, station.contestFileName).backedUp);
    EXPECT_EQ(callsIn(gone + QStringLiteral("/LOG.QRP_01.sav")), calls);

    ASSERT_TRUE(QDir(gone).removeRecursively());
    t = t.addSecs(61);
    EXPECT_TRUE(backups.check(t, gone, station.contestFileName)
                    .errorToShow.startsWith("Fichier introuvable : " + gone + "/"));
}

TEST_F(BackupsTest, AnInsertedBlankLineDoesNotStopTheCopies) {
    table.setRowCount(table.rowCount() + 1);
    for (int k = table.rowCount() - 1; k > 2; --k) {
        table.copyRow(k - 1, k);
    }
    table.clearRow(2);
    EXPECT_EQ(callsIn(backups.rotatingBackup(m_volume.path(), station.contestFileName)),
              (QStringList{"F5AAA", "", "DL1BBB", "G4CCC"}));
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// Another program logging into a backup or a quit copy (opened as its contest file) would go
// on writing into a file no longer under that name: the copy is refused instead.
TEST_F(BackupsTest, ACopyNeverReplacesAFileAnotherProgramHoldsAsItsLog) {
    const QString quit = station.contestFilePath() + QStringLiteral("_Mem");
    // The turn goes on after the newest backup, _01: the next one would replace _02.
    const QString backup = m_volume.filePath("LOG.QRP_02.sav");
    for (const QString& held : {quit, backup}) {
        test::writeFile(held, "another log");
    }
    test::writeFile(m_volume.filePath("LOG.QRP_01.sav"), "");
    QFile older(backup);
    ASSERT_TRUE(older.open(QIODevice::ReadWrite));
    ASSERT_TRUE(older.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-600),
                                  QFileDevice::FileModificationTime));
    FileLock otherQuit;
    ASSERT_TRUE(otherQuit.tryLock(quit));
    FileLock otherBackup;
    ASSERT_TRUE(otherBackup.tryLock(backup));
    EXPECT_THROW(backups.quitCopy(QDateTime(QDate(2024, 1, 15), QTime(9, 0))), AppError);
    EXPECT_THROW((void)backups.rotatingBackup(m_volume.path(), station.contestFileName), AppError);
    EXPECT_EQ(test::readFile(quit), "another log");
    EXPECT_EQ(test::readFile(backup), "another log");
    otherQuit.release();
    backups.quitCopy(QDateTime(QDate(2024, 1, 15), QTime(9, 0)));
    EXPECT_EQ(callsIn(quit), calls);
}

// A backup killed half-way leaves its hidden temporary file on the volume; the next backup
// removes it (a fresh one may be another run's write in progress and stays).
TEST_F(BackupsTest, TheNextBackupRemovesTheHiddenFileAKilledOneLeft) {
    const QString stale = m_volume.filePath(".LOG.QRP_04.sav.tmp~");
    const QString fresh = m_volume.filePath(".LOG.QRP_05.sav.tmp~");
    const QString other = m_volume.filePath(".OTHER.QRP_01.sav.tmp~");
    for (const QString& path : {stale, fresh, other}) {
        test::writeFile(path, QByteArray(88, '\0'));
    }
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-120);
    for (const QString& path : {stale, other}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
    }
    (void)backups.rotatingBackup(m_volume.path(), station.contestFileName);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(fresh));
    EXPECT_TRUE(QFileInfo::exists(other)); // another log's
}

} // namespace
} // namespace vu
