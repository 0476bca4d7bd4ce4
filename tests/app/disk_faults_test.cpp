// Disk and folder faults while logging: each gives the operator's error text, no validated QSO is
// lost, and the program goes on.
#include "app/application.h"
#include "contest_log/record_file.h"
#include "platform/errors.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace vu {
namespace {

class DiskFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        test::layProgramFolder(program(), {"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI"});
        test::layReferenceData(program());
        ASSERT_TRUE(QDir().mkpath(logs()));
        ASSERT_TRUE(QDir().mkpath(volume()));
        ApplicationOptions options;
        options.programFolder = program();
        options.allowNetwork = false;
        options.timeSource = &clock;
        app = std::make_unique<Application>(options);
        app->startUp();
        app->acceptStation();
        app->setContestFile(log());
        app->session().contestFile().createNew(clock.now());
        app->activateMain();
        app->session().clock().setRealTime();
    }
    void TearDown() override {
        // Put back what a test took away, so that the folder can be removed.
        QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(logs(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString program() const { return m_dir.filePath("program"); }
    QString logs() const { return m_dir.filePath("logs"); }
    QString log() const { return m_dir.filePath("logs/LOG.QRP"); }
    QString volume() const { return m_dir.filePath("stick"); }

    // Types a QSO and presses Enter; the error text shown, empty when none.
    QString enter(const QString& call) {
        clock.set(clock.now().addSecs(60));
        app->session().entryPanel().setEntryText(call);
        try {
            (void)app->session().entryPanel().pressEnter();
        } catch (const AppError& e) {
            return e.message();
        }
        return {};
    }
    // The log lines the program holds.
    QStringList tableCalls() {
        QStringList calls;
        for (int k = 1; k < app->session().table().entryRow(); ++k) {
            calls << app->session().table().cell(Col::Call, k);
        }
        return calls;
    }

    QTemporaryDir m_dir;
    test::FixedTime clock{QDateTime(QDate(2024, 1, 16), QTime(9, 0), Qt::UTC)};
    std::unique_ptr<Application> app;
};

// A store that fails is not a validated QSO: the error is shown, the text stays in the entry field
// and Enter stores it once the folder is back.
TEST_F(DiskFaultsTest, ContestFolderRemovedWhileLogging) {
    ASSERT_EQ(enter("D4ERI"), "");
    ASSERT_TRUE(QDir().rename(logs(), logs() + "_unplugged"));
    EXPECT_EQ(enter("DL1ABC"), "Fichier introuvable : " + log());
    EXPECT_EQ(app->session().entryPanel().entryText(), "DL1ABC");
    EXPECT_EQ(tableCalls(), (QStringList{"D4ERI"}));
    // The backup to another volume keeps every validated QSO meanwhile.
    const QString backup = app->session().backups().rotatingBackup(volume(), "LOG.QRP");
    EXPECT_TRUE(test::recordCalls(backup).contains("D4ERI"));

    ASSERT_TRUE(QDir().rename(logs() + "_unplugged", logs()));
    EXPECT_EQ(enter("DL1ABC"), "");
    EXPECT_EQ(enter("G4XYZ"), "");
    EXPECT_EQ(test::recordCalls(log()), (QStringList{"D4ERI", "DL1ABC", "G4XYZ"}));
}

TEST_F(DiskFaultsTest, ContestFolderMadeReadOnlyWhileLogging) {
    ASSERT_EQ(enter("D4ERI"), "");
    const QFile::Permissions readOnly =
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), readOnly));
    ASSERT_TRUE(QFile::setPermissions(logs(), readOnly));
    ASSERT_TRUE(QFile::setPermissions(log(), QFile::ReadOwner | QFile::ReadOther));
    {
        const test::AsUnprivilegedUser unprivileged;
        // The record reaches the file still open; the next store cannot open it again.
        EXPECT_EQ(enter("DL1ABC"), "");
        EXPECT_EQ(enter("G4XYZ"), "Accès au fichier refusé : " + log());
        EXPECT_EQ(app->session().entryPanel().entryText(), "G4XYZ");
        // A deletion needs the ".BAK" copy first: refused, the file is left as it was.
        app->session().table().setCurrentCell(static_cast<int>(Col::Call), 1);
        EXPECT_THROW(app->session().gridEditing().deleteLine(clock.now()), AppError);
    }
    EXPECT_EQ(test::recordCalls(log()), (QStringList{"D4ERI", "DL1ABC"}));

    const QFile::Permissions writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), writable));
    ASSERT_TRUE(QFile::setPermissions(logs(), writable));
    ASSERT_TRUE(QFile::setPermissions(log(), QFile::ReadOwner | QFile::WriteOwner));
    app->activateMain(); // the main window comes back to the front: the log is read again
    EXPECT_EQ(enter("G4XYZ"), "");
    EXPECT_EQ(test::recordCalls(log()), (QStringList{"D4ERI", "DL1ABC", "G4XYZ"}));
}

TEST_F(DiskFaultsTest, FullVolumeStopsTheWriteWithDiskFullAndLeavesNoPartFile) {
    ASSERT_EQ(enter("D4ERI"), "");
    ASSERT_EQ(enter("DL1ABC"), "");
    {
        const test::FileSizeLimit full(3 * kRecordSize);
        EXPECT_EQ(enter("G4XYZ"), "Disque plein : " + log());
        EXPECT_THROW(app->session().backups().rotatingBackup(volume(), "LOG.QRP"), IoError);
        const auto check = app->session().backups().check(clock.now(), volume(), "LOG.QRP");
        EXPECT_TRUE(check.errorToShow.startsWith("Disque plein : " + volume() + "/"))
            << check.errorToShow.toStdString();
    }
    EXPECT_TRUE(QDir(volume()).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(test::recordCalls(log()), (QStringList{"D4ERI", "DL1ABC"}));
    EXPECT_EQ(app->session().entryPanel().entryText(), "G4XYZ");

    // Room again: Enter stores the QSO and the next backup holds every one.
    EXPECT_EQ(enter("G4XYZ"), "");
    const QString backup = app->session().backups().rotatingBackup(volume(), "LOG.QRP");
    EXPECT_EQ(test::recordCalls(backup).mid(0, 3), (QStringList{"D4ERI", "DL1ABC", "G4XYZ"}));
}

TEST_F(DiskFaultsTest, ReadOnlySettingsFileIsReportedAndQuitStillWritesItsCopy) {
    ASSERT_EQ(enter("D4ERI"), "");
    const QString settings = program() + "/Varurav_UDA.ini";
    const QByteArray before = test::readFile(settings);
    // The process keeps group root when it drops its user: the group bits are the ones to set.
    const QFile::Permissions open =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup;
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), open));
    ASSERT_TRUE(QFile::setPermissions(settings, QFile::ReadOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::setPermissions(program(), open & ~QFile::WriteOwner));
    // The log's folder stays the operator's own.
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    for (const QString& path : {logs(), log()}) {
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    {
        const test::AsUnprivilegedUser unprivileged;
        try {
            app->session().quit();
            ADD_FAILURE() << "quit saved a read-only settings file";
        } catch (const AppError& e) {
            EXPECT_EQ(e.message(), "Impossible d'écrire dans " + settings);
        }
    }
    EXPECT_EQ(test::readFile(settings), before);
    // The quit copy was written all the same, and the program goes on logging.
    EXPECT_EQ(test::recordCalls(log() + "_Mem").value(0), "D4ERI");
    EXPECT_EQ(enter("DL1ABC"), "");
    EXPECT_EQ(test::recordCalls(log()), (QStringList{"D4ERI", "DL1ABC"}));
}

} // namespace
} // namespace vu
