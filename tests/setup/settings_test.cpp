#include "app/application.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace vu {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(folder + "/Lng"));
        for (int index = 1; index <= kLanguageCount; ++index) {
            const QString name = languageFileName(index);
            ASSERT_TRUE(QFile::copy(test::fixture("../../lang/" + name), folder + "/Lng/" + name));
        }
        ASSERT_TRUE(QFile::copy(test::fixture("../../data/SMTP.csv"), folder + "/SMTP.csv"));
    }

    // A new run of the program on the folder, started up to its first window.
    Application& start() {
        app = test::startOffline(folder, clock);
        return *app;
    }

    void writeSettings(const QStringList& lines) {
        test::writeFile(settingsPath(), cp1252Lines(lines));
    }
    [[nodiscard]] QString settingsPath() const { return folder + "/Varurav_UDA.ini"; }
    [[nodiscard]] QStringList savedLines() const {
        return fromCp1252(test::readFile(settingsPath())).split("\r\n", Qt::SkipEmptyParts);
    }

    QTemporaryDir m_dir;
    QString folder = m_dir.path();
    test::FixedTime clock{QDateTime(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC)};
    std::unique_ptr<Application> app;
};

TEST_F(SettingsTest, FirstRunGivesEveryDefault) {
    Application& a = start();
    const ScreenLayout& layout = a.layout();
    EXPECT_EQ(layout.window(AppWindow::Main), (WindowPlacement{950, 240, 510, 600}));
    for (AppWindow w :
         {AppWindow::Station, AppWindow::FileNaming, AppWindow::Examples, AppWindow::ReportMail}) {
        EXPECT_EQ(layout.window(w), (WindowPlacement{750, 240, 375, 535}));
    }
    EXPECT_EQ(a.station().contestFolder, folder + "/Files");
    EXPECT_EQ(a.fileNaming().editChemin(), folder + "/Files");
    EXPECT_TRUE(a.station().contestFileName.isEmpty());
    EXPECT_EQ(a.station().category, QStringLiteral("QRP"));
    EXPECT_TRUE(a.stationForm().qrpChecked());
    EXPECT_TRUE(a.stationForm().declarationVisible());
    EXPECT_EQ(a.session().table().columnCount(), 13);
    EXPECT_EQ(layout.columnWidths, std::vector<int>(13, 80));
    EXPECT_EQ(a.session().table().rowCount(), 2);
    EXPECT_EQ(a.station().language, 1);
    EXPECT_EQ(a.texts().caption(Form::Main, u"Franais1"), QStringLiteral("Français"));
    EXPECT_EQ(a.session().table().cell(Col::Call, 0), QStringLiteral("Indicatif"));
    EXPECT_FALSE(a.session().clock().tickEnabled());
    EXPECT_FALSE(QFile::exists(settingsPath())); // created by the first save only
}

TEST_F(SettingsTest, ASaveWritesEverySectionAndKeyInOrder) {
    start().saveSettings();
    QStringList expected = {"[Header]", "Org=7.1.1.0", "[Windows]"};
    const char* values[5][4] = {{"950", "240", "510", "600"},
                                {"750", "240", "375", "535"},
                                {"750", "240", "375", "535"},
                                {"750", "240", "375", "535"},
                                {"750", "240", "375", "535"}};
    for (int w = 0; w < 5; ++w) {
        const char* keys = "WTLH";
        for (int i = 0; i < 4; ++i) {
            expected << QStringLiteral("F%1%2=%3")
                            .arg(w + 1)
                            .arg(QLatin1Char(keys[i]))
                            .arg(values[w][i]);
        }
    }
    expected << "[VGlobales]"
             << "CHEMIN_FICHIER=" + folder + "/Files"
             << "NOM_FICHIER="
             << "MY_LOCATOR="
             << "OPERATOR="
             << "MY_DXCC="
             << "MY_STATION="
             << "MY_NRZRB="
             << "MY_CATEGORIE=QRP"
             << "[OP]"
             << "NAME="
             << "AD1="
             << "AD2="
             << "AD3="
             << "email="
             << "[Grille_log]"
             << "Colcount=13";
    for (int c = 0; c < 13; ++c) {
        expected << QStringLiteral("Col%1=%2").arg(c).arg(app->session().table().cell(c, 0));
    }
    for (int c = 0; c < 13; ++c) {
        expected << QStringLiteral("ColWidth%1=80").arg(c);
    }
    expected << "[Langue]"
             << "LNG=1";
    EXPECT_EQ(savedLines(), expected);
    EXPECT_TRUE(test::readFile(settingsPath()).contains("Col12=Doublon\r\n"));
}

TEST_F(SettingsTest, StoredValuesComeBackAndAHandEditedFileKeepsItsOtherLines) {
    const QString logs = m_dir.filePath("Logs");
    ASSERT_TRUE(QDir().mkpath(logs));
    writeSettings({"; written by hand",
                   "[Windows]",
                   "f1w=1200",
                   "F3L=0x40",
                   "F5H=$100",
                   "F2T=-30",
                   "F4W=wide",
                   "MyOwnKey=keep me",
                   "",
                   "[vglobales]",
                   "CHEMIN_FICHIER=" + logs,
                   "NOM_FICHIER=MYLOG.QRP",
                   "MY_LOCATOR=JN18",
                   "MY_CATEGORIE=QRP",
                   "[OP]",
                   "NAME=  Éric Durand  ",
                   "AD1=\"  12 rue X\"",
                   "AD2=Paris",
                   "AD3=75001",
                   "[Grille_log]",
                   "Colcount=15",
                   "Col13=Extra A",
                   "Col14=Extra B",
                   "ColWidth3=120",
                   "ColWidth14=30",
                   "[Other]",
                   "A=1"});
    Application& a = start();
    EXPECT_EQ(a.layout().window(AppWindow::Main).width, 1200);
    EXPECT_EQ(a.layout().window(AppWindow::FileNaming).left, 64);
    EXPECT_EQ(a.layout().window(AppWindow::ReportMail).height, 256);
    EXPECT_EQ(a.layout().window(AppWindow::Station).top, -30);
    EXPECT_EQ(a.layout().window(AppWindow::Examples).width, 750); // not a number: the default
    EXPECT_EQ(a.station().contestFolder, logs);
    EXPECT_EQ(a.station().contestFileName, QStringLiteral("MYLOG.QRP"));
    EXPECT_EQ(a.fileNaming().editNomFichier(), QStringLiteral("MYLOG.QRP"));
    EXPECT_EQ(a.station().locator, QStringLiteral("JN18"));
    EXPECT_EQ(a.stationForm().editNom(), QStringLiteral("Éric Durand"));
    EXPECT_EQ(a.stationForm().editAD1(), QStringLiteral("  12 rue X"));
    EXPECT_EQ(a.stationForm().editZipCode(), QStringLiteral("75001"));
    EXPECT_EQ(a.session().table().columnCount(), 15);
    EXPECT_EQ(a.session().table().cell(13, 0), QStringLiteral("Extra A"));
    EXPECT_EQ(a.session().table().cell(14, 0), QStringLiteral("Extra B"));
    EXPECT_EQ(a.session().table().cell(Col::Call, 0),
              QStringLiteral("Indicatif")); // the language's
    EXPECT_EQ(a.layout().columnWidth(3), 120);
    EXPECT_EQ(a.layout().columnWidth(14), 30);
    EXPECT_EQ(a.layout().columnWidth(0), 80);

    a.layout().window(AppWindow::Main).top = 5;
    a.stationForm().setEditCity("Lyon");
    a.saveSettings();
    const QStringList lines = savedLines();
    EXPECT_EQ(lines.mid(0, 2), (QStringList{"; written by hand", "[Windows]"}));
    for (const char* kept : {"f1w=1200", "MyOwnKey=keep me", "F1T=5", "[Other]", "A=1", "AD2=Lyon",
                             "Col14=Extra B", "ColWidth14=30", "MY_LOCATOR=JN18"}) {
        EXPECT_TRUE(lines.contains(QString::fromUtf8(kept))) << kept;
    }
    // A new key goes to the end of its section, before the blank line that closes it.
    const QByteArray bytes = test::readFile(settingsPath());
    EXPECT_TRUE(bytes.contains("MyOwnKey=keep me\r\nF1T=5\r\n"));
    EXPECT_TRUE(bytes.contains("\r\n\r\n[vglobales]\r\n"));
    // Sections the file lacked go to its end, in the order they are written.
    EXPECT_LT(lines.indexOf("[Other]"), lines.indexOf("[Header]"));
    EXPECT_LT(lines.indexOf("[Header]"), lines.indexOf("[Langue]"));

    start(); // the next run reads what was saved
    EXPECT_EQ(app->layout().window(AppWindow::Main), (WindowPlacement{1200, 5, 510, 600}));
    EXPECT_EQ(app->stationForm().editCity(), QStringLiteral("Lyon"));
    EXPECT_EQ(app->session().table().cell(14, 0), QStringLiteral("Extra B"));
}

// What the operator typed or chose comes back at the next start: a server and port other than the
// SMTP list's, a backup folder. A server the list gives is not written.
TEST_F(SettingsTest, ATypedServerAndAChosenBackupFolderComeBack) {
    const QString backups = m_dir.filePath("backups");
    ASSERT_TRUE(QDir().mkpath(backups));
    Application& first = start();
    first.stationForm().setEditEmail("op@orange.fr");
    first.saveSettings();
    EXPECT_FALSE(savedLines().contains("[SMTP]"));
    first.stationForm().setEditSmtp("127.0.0.1");
    first.stationForm().setEditPort("2525");
    first.stationForm().setBackupFolder(backups);
    first.saveSettings();
    EXPECT_EQ(savedLines().mid(savedLines().indexOf("[Langue]")),
              (QStringList{"[Langue]", "LNG=1", "[SMTP]", "SERVER=127.0.0.1", "PORT=2525",
                           "[Sauvegarde]", "DOSSIER=" + backups}));

    Application& second = start();
    EXPECT_EQ(second.stationForm().editSmtp(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(second.stationForm().editPort(), QStringLiteral("2525"));
    EXPECT_EQ(second.stationForm().backupRoot(), backups);

    // Back to the list's server: the next start takes it from the list again.
    second.stationForm().setEditEmail("op@free.fr");
    second.saveSettings();
    EXPECT_TRUE(savedLines().contains("SERVER="));
    EXPECT_EQ(start().stationForm().editSmtp(), QStringLiteral("smtp.free.fr"));
}

// The security the operator chose over the list's and his login come back; the list's own
// security is not written, and a file without them means no security and no login.
TEST_F(SettingsTest, AChosenSecurityAndTheLoginComeBack) {
    Application& first = start();
    first.stationForm().setEditEmail("op@laposte.net");
    EXPECT_EQ(first.stationForm().smtpSecurity(), SmtpSecurity::StartTls);
    first.saveSettings();
    EXPECT_FALSE(savedLines().contains("[SMTP]"));
    first.stationForm().setSmtpSecurity(SmtpSecurity::Tls);
    first.stationForm().setEditLogin(" op ");
    first.saveSettings();
    const QStringList lines = savedLines();
    EXPECT_EQ(lines.mid(lines.indexOf("[SMTP]")),
              (QStringList{"[SMTP]", "SECURITY=tls", "LOGIN=op"}));

    Application& second = start();
    EXPECT_EQ(second.stationForm().smtpSecurity(), SmtpSecurity::Tls);
    EXPECT_EQ(second.stationForm().editLogin(), QStringLiteral("op"));
    EXPECT_EQ(second.stationForm().editSmtp(), QStringLiteral("smtp.laposte.net"));

    // Back to the list's security and no login: the next start is as without the section.
    second.stationForm().setSmtpSecurity(SmtpSecurity::StartTls);
    second.stationForm().setEditLogin("");
    second.saveSettings();
    EXPECT_TRUE(savedLines().contains("SECURITY="));
    Application& third = start();
    EXPECT_EQ(third.stationForm().smtpSecurity(), SmtpSecurity::StartTls);
    EXPECT_TRUE(third.stationForm().editLogin().isEmpty());
}

TEST_F(SettingsTest, OutOfRangeValuesFallBack) {
    struct Case {
        QStringList lines;
        int language;
        int columns;
        QString folderShown;
    };
    const Case cases[] = {
        {{"[Langue]", "LNG=7"}, 1, 13, folder + "/Files"},
        {{"[Langue]", "LNG=0"}, 1, 13, folder + "/Files"},
        {{"[Langue]", "LNG=3"}, 3, 13, folder + "/Files"},
        {{"[Grille_log]", "Colcount=5"}, 1, 13, folder + "/Files"},
        {{"[Grille_log]", "Colcount=-1"}, 1, 13, folder + "/Files"},
        {{"[Grille_log]", "Colcount=2000000000"}, 1, 255, folder + "/Files"},
        {{"[VGlobales]", "CHEMIN_FICHIER=D:\\Logs"}, 1, 13, folder + "/Files"},
        {{"[VGlobales]", "CHEMIN_FICHIER=" + folder}, 1, 13, folder},
    };
    for (const Case& c : cases) {
        writeSettings(c.lines);
        Application& a = start();
        EXPECT_EQ(a.station().language, c.language) << c.lines.join(' ').toStdString();
        EXPECT_EQ(a.session().table().columnCount(), c.columns) << c.lines.join(' ').toStdString();
        EXPECT_EQ(a.fileNaming().editChemin(), c.folderShown) << c.lines.join(' ').toStdString();
    }
}

TEST_F(SettingsTest, ACategoryOtherThanExactlyQrpMakesTheStationQro) {
    writeSettings({"[VGlobales]", "OPERATOR=F5XYZ", "MY_CATEGORIE=qrp"});
    Application& a = start();
    EXPECT_FALSE(a.stationForm().qrpChecked());
    EXPECT_EQ(a.station().category, QStringLiteral("qrp"));
    a.acceptStation(); // activation decides
    EXPECT_EQ(a.station().category, QStringLiteral("QRO"));
    a.saveSettings();
    EXPECT_TRUE(savedLines().contains("MY_CATEGORIE=QRO"));
}

TEST_F(SettingsTest, TheLanguageComesFromTheFileAndTheMenuChangeReachesTheNextSave) {
    writeSettings({"[Langue]", "LNG=2"});
    Application& a = start();
    EXPECT_EQ(a.texts().caption(Form::Main, u"Ouvrir1"), QStringLiteral("Open"));
    EXPECT_EQ(a.session().table().cell(Col::Call, 0), QStringLiteral("Call"));

    int changes = 0;
    a.texts().setOnChange([&] { ++changes; });
    a.session().clock().setDeferredTime();
    a.chooseLanguage(4);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(a.texts().caption(Form::Main, u"Ouvrir1"), QStringLiteral("Apri"));
    EXPECT_EQ(a.texts().caption(Form::Main, u"Label_temps"), QStringLiteral("Tempo reale"));
    EXPECT_FALSE(a.session().clock().isRealTime()); // a language load changes texts only
    EXPECT_TRUE(savedLines().contains("LNG=2"));    // the file learns it at the next save
    a.saveSettings();
    EXPECT_TRUE(savedLines().contains("LNG=4"));
}

TEST_F(SettingsTest, AValueThatFailsToApplyDoesNotStopTheRest) {
    QFile::remove(folder + "/SMTP.csv");
    writeSettings(
        {"[OP]", "email=op@orange.fr", "[Grille_log]", "Colcount=14", "[Langue]", "LNG=3"});
    ApplicationOptions options;
    options.programFolder = folder;
    options.timeSource = &clock;
    options.allowNetwork = false;
    Application a(options);
    try {
        a.startUp();
        ADD_FAILURE() << "the missing SMTP list was not reported";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable : " + folder + "/SMTP.csv");
    }
    EXPECT_EQ(a.stationForm().editEmail(), QStringLiteral("op@orange.fr"));
    EXPECT_EQ(a.session().table().columnCount(), 14);
    EXPECT_EQ(a.station().language, 3);
    EXPECT_EQ(a.texts().caption(Form::Main, u"Ouvrir1"), QStringLiteral("Abrir"));
}

TEST_F(SettingsTest, ARefusedSaveNamesTheSettingsFile) {
    Application& a = start();
    ASSERT_TRUE(QDir().mkpath(settingsPath())); // a folder where the file should be
    try {
        a.saveSettings();
        ADD_FAILURE() << "saving over a folder succeeded";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Impossible d'écrire dans " + settingsPath());
    }
}

TEST_F(SettingsTest, TheLastStationRuleDecidesTheStationCallAndEntity) {
    test::layReferenceData(folder);
    writeSettings(
        {"[VGlobales]", "OPERATOR=D4ERI", "MY_DXCC=DL", "MY_STATION=D4ERI/P", "MY_NRZRB=999"});
    Application& a = start();
    EXPECT_EQ(a.stationForm().editOp(), QStringLiteral("D4ERI"));
    EXPECT_EQ(a.stationForm().editNZRB(), QStringLiteral("123")); // from the roster
    EXPECT_EQ(a.stationForm().editStation(), QStringLiteral("D4ERI/P"));
    EXPECT_EQ(a.station().stationCall, QStringLiteral("D4ERI/P"));
    EXPECT_EQ(a.station().dxcc, QStringLiteral("D4"));
    EXPECT_EQ(a.station().continent, QStringLiteral("AF"));
    EXPECT_EQ(a.stationForm().dxccText(), QStringLiteral("D4"));

    writeSettings({"[VGlobales]", "OPERATOR=F5X", "MY_DXCC=DL", "MY_STATION=F5X"});
    start(); // callsigns of three characters run no rule: the stored entity survives
    EXPECT_EQ(app->station().dxcc, QStringLiteral("DL"));
}

} // namespace
} // namespace vu
