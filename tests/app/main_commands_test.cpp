#include "app/application.h"
#include "contest_log/record_file.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

// The main window's commands on a started program with a log of three QSOs.
class MainCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(m_volume.isValid());
        ASSERT_TRUE(QFile::copy(test::fixture("cty_wt.dat"), m_dir.filePath("cty_wt.dat")));
        app.startUp();
        app.stationForm().setEditOp(QStringLiteral("D4ERI"));
        app.stationForm().editOpExit();
        app.acceptStation();
        app.fileNaming().activate(app.session().clock().localNow().date());
        app.fileNaming().setEditNomFichier(QStringLiteral("LOG"));
        app.confirmFileNaming();
        for (const char* call : {"F5AAA", "DL1BBB", "G4CCC"}) {
            app.session().clock().tick(app.session().table());
            app.session().entryPanel().setEntryText(QString::fromLatin1(call));
            ASSERT_EQ(app.session().entryPanel().pressEnter(), EntryPanel::EnterOutcome::Stored);
        }
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_volume;
    test::FixedTime time{QDateTime(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC)};
    Application app{{m_dir.path(), &time, false, {}}};
};

TEST_F(MainCommandsTest, OpeningALogSavesItsNameAtOnceAndLoadsIt) {
    const QString other = m_dir.filePath("Files/OTHER.QRP");
    QByteArray bytes(kRecordSize, '\0');
    bytes += encodeRecord(test::lineRecord("EA3XYZ", "20", {2024, 6, 1}, {9, 0}, "NM", "QRO"));
    test::writeFile(other, bytes);
    app.session().openLog(other);
    EXPECT_EQ(app.session().table().rowCount(), 3);
    EXPECT_EQ(app.session().table().cell(Col::Call, 1), QStringLiteral("EA3XYZ"));
    EXPECT_TRUE(app.session().scoreLabel().startsWith(QStringLiteral("Score = ")));
    IniFile ini(m_dir.filePath("Varurav_UDA.ini"));
    EXPECT_EQ(ini.readString("VGlobales", "NOM_FICHIER", {}), QStringLiteral("OTHER.QRP"));
    EXPECT_EQ(ini.readString("VGlobales", "CHEMIN_FICHIER", {}), m_dir.filePath("Files"));
    EXPECT_EQ(app.fileNaming().editNomFichier(), QStringLiteral("OTHER.QRP"));
}

// A log another program writes into is refused: the window keeps its own file, and logging goes on
// into it.
TEST_F(MainCommandsTest, OpeningALogAnotherProgramWritesIntoKeepsTheCurrentOne) {
    const QString mine = app.session().contestFile().path();
    const QString other = m_dir.filePath("Files/OTHER.QRP");
    test::writeFile(other, QByteArray(kRecordSize, '\0'));
    StationSettings station;
    station.contestFolder = m_dir.filePath("Files");
    station.contestFileName = QStringLiteral("OTHER.QRP");
    LogTable table;
    ContestFile tool(table, station);
    tool.load();
    try {
        app.session().openLog(other);
        ADD_FAILURE() << "opened a file another program writes into";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Le fichier " + other + " est ouvert par un autre programme");
    }
    EXPECT_EQ(app.session().contestFile().path(), mine);
    EXPECT_EQ(IniFile(m_dir.filePath("Varurav_UDA.ini")).readString("VGlobales", "NOM_FICHIER", {}),
              QString());
    app.session().clock().tick(app.session().table());
    app.session().entryPanel().setEntryText(QStringLiteral("EA3XYZ"));
    ASSERT_EQ(app.session().entryPanel().pressEnter(), EntryPanel::EnterOutcome::Stored);
    EXPECT_EQ(test::recordCalls(mine), (QStringList{"F5AAA", "DL1BBB", "G4CCC", "EA3XYZ"}));
    // And the tool cannot write into the window's file.
    StationSettings windowsFile = station;
    windowsFile.contestFileName = QFileInfo(mine).fileName();
    ContestFile second(table, windowsFile);
    EXPECT_THROW(second.load(), AppError);
}

TEST_F(MainCommandsTest, ANewLogKeepsOnlyTheHeaderTwice) {
    EXPECT_TRUE(app.session().hasLogLines());
    app.session().clearLog();
    EXPECT_EQ(app.session().table().rowCount(), 2);
    const QByteArray bytes = test::readFile(app.session().contestFile().path());
    ASSERT_EQ(bytes.size(), 2 * kRecordSize);
    EXPECT_EQ(bytes.left(kRecordSize), bytes.mid(kRecordSize));
    app.activateMain();
    EXPECT_FALSE(app.session().hasLogLines());
}

TEST_F(MainCommandsTest, QuitSavesTheSettingsAndLeavesAQuitCopy) {
    app.chooseLanguage(4);
    app.session().quit();
    EXPECT_EQ(IniFile(m_dir.filePath("Varurav_UDA.ini")).readInteger("Langue", "LNG", 0), 4);
    EXPECT_EQ(test::recordCalls(app.session().contestFile().path() + QStringLiteral("_Mem")),
              (QStringList{"F5AAA", "DL1BBB", "G4CCC", ""}));
}

TEST_F(MainCommandsTest, TheHelpFileFollowsTheLanguageAndPrefersCompiledHelp) {
    struct Case {
        int language;
        const char* guide; // without extension
    };
    const Case cases[] = {
        {1, "VARURAV_UDA_FR"}, {2, "VARURAV_UDA_EN"}, {3, "VARURAV_UDA_EN"}, {4, "VARURAV_UDA_EN"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        app.chooseLanguage(c.language);
        const QString base = m_dir.filePath(QString::fromLatin1(c.guide));
        EXPECT_EQ(app.stationForm().helpFilePath(), base + ".html");
        test::writeFile(base + ".chm", "ITSF");
        EXPECT_EQ(app.stationForm().helpFilePath(), base + ".chm");
        ASSERT_TRUE(QFile::remove(base + ".chm"));
    }
}

TEST_F(MainCommandsTest, TicksBackUpOnlyInRealTimeToTheChosenVolume) {
    app.session().setBackupVolume(m_volume.path());
    app.session().clock().setDeferredTime();
    for (int minute = 0; minute < 5; ++minute) {
        time.set(time.now().addSecs(61));
        EXPECT_TRUE(app.session().tick().isEmpty());
    }
    EXPECT_TRUE(QDir(m_volume.path()).entryList(QDir::Files).isEmpty());

    app.session().clock().setRealTime();
    for (int minute = 0; minute < 3; ++minute) {
        time.set(time.now().addSecs(61));
        EXPECT_TRUE(app.session().tick().isEmpty());
    }
    EXPECT_EQ(QDir(m_volume.path()).entryList(QDir::Files),
              (QStringList{"LOG.QRP_01.sav", "LOG.QRP_02.sav", "LOG.QRP_03.sav"}));
    EXPECT_EQ(test::recordCalls(m_volume.filePath("LOG.QRP_03.sav")),
              (QStringList{"F5AAA", "DL1BBB", "G4CCC", ""}));
}

// The band the operator chose stays through every activation of the main window; only a newly
// opened or cleared log takes the band of its last line.
TEST_F(MainCommandsTest, TheOperatorsBandStaysUntilAnotherLogIsOpened) {
    ContestSession& session = app.session();
    EXPECT_EQ(session.lines().currentBand(), QStringLiteral("40")); // the log's lines' band
    session.lines().selectBand(4);
    session.loadLog(); // a box or the examples window closed over the main window
    session.loadLog();
    EXPECT_EQ(session.lines().currentBand(), QStringLiteral("10"));
    EXPECT_EQ(session.table().cell(Col::Band, session.table().entryRow()), QStringLiteral("10"));
    session.entryPanel().setEntryText(QStringLiteral("HA5XX"));
    ASSERT_EQ(session.entryPanel().pressEnter(), EntryPanel::EnterOutcome::Stored);
    EXPECT_EQ(test::lineRecords(session.contestFile().path()).at(3).band, QStringLiteral("10"));

    const QString other = m_dir.filePath("Files/OTHER.QRP");
    QByteArray bytes(kRecordSize, '\0');
    bytes += encodeRecord(test::lineRecord("EA3XYZ", "20", {2024, 6, 1}, {9, 0}, "NM", "QRO"));
    test::writeFile(other, bytes);
    session.openLog(other);
    EXPECT_EQ(session.lines().currentBand(), QStringLiteral("20"));
    session.lines().selectBand(0);
    app.confirmFileNaming(); // the file naming window's OK
    EXPECT_EQ(session.lines().currentBand(), QStringLiteral("20"));
}

// A report is written from the log as stored: a correction typed but not validated is validated
// or dropped first, and reaches neither a report nor a backup before.
TEST_F(MainCommandsTest, APendingCorrectionIsValidatedOrDroppedBeforeAReport) {
    ContestSession& session = app.session();
    LogTable& table = session.table();
    EXPECT_FALSE(session.hasPendingCorrections());
    table.setCell(Col::Call, 2, QStringLiteral("HA5")); // typed over DL1BBB, no Enter
    EXPECT_TRUE(session.hasPendingCorrections());
    session.setBackupVolume(m_volume.path());
    time.set(time.now().addSecs(61));
    EXPECT_TRUE(session.tick().isEmpty());
    EXPECT_EQ(test::recordCalls(m_volume.filePath("LOG.QRP_01.sav")).at(1),
              QStringLiteral("DL1BBB"));

    session.settleCorrections(false);
    EXPECT_FALSE(session.hasPendingCorrections());
    EXPECT_EQ(table.cell(Col::Call, 2), QStringLiteral("DL1BBB"));
    EXPECT_FALSE(test::readFile(session.writeCabrillo()).contains("HA5"));

    table.setCell(Col::RstRcvd, 3, QStringLiteral("579"));
    table.setCell(Col::Call, 1, QString()); // an erased callsign cannot be validated
    session.settleCorrections(true);
    EXPECT_FALSE(session.hasPendingCorrections());
    EXPECT_EQ(test::lineRecords(session.contestFile().path()).at(2).rstRcvd, QStringLiteral("579"));
    EXPECT_EQ(table.cell(Col::Call, 1), QStringLiteral("F5AAA"));
    EXPECT_TRUE(test::readFile(session.writeCabrillo()).contains("G4CCC"));
}

// "Annuler" of the station window opened on a contest discards its changes and goes back; at the
// first start (nothing open) it ends the program.
TEST_F(MainCommandsTest, CancellingTheStationWindowOnAContestDiscardsItsChanges) {
    StationForm& form = app.stationForm();
    (void)app.activateStation();
    form.setEditOp(QStringLiteral("F6XYZ"));
    form.editOpExit(); // a new operator empties the log on screen
    form.setEditNom(QStringLiteral("Someone"));
    EXPECT_TRUE(app.cancelStation());
    EXPECT_EQ(form.editOp(), QStringLiteral("D4ERI"));
    EXPECT_TRUE(form.editNom().isEmpty());
    EXPECT_EQ(app.station().operatorCall, QStringLiteral("D4ERI"));
    EXPECT_EQ(app.station().contestFileName, QStringLiteral("LOG.QRP"));
    app.activateMain();
    EXPECT_EQ(test::recordCalls(app.session().contestFile().path()).at(2), QStringLiteral("G4CCC"));
    EXPECT_EQ(app.session().table().cell(Col::Call, 3), QStringLiteral("G4CCC"));
    EXPECT_FALSE(app.cancelStation()); // nothing kept any more

    test::FixedTime firstTime{QDateTime(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC)};
    QTemporaryDir fresh;
    Application first{{fresh.path(), &firstTime, false, {}}};
    first.startUp();
    (void)first.activateStation();
    EXPECT_FALSE(first.cancelStation());
}

} // namespace
} // namespace vu
