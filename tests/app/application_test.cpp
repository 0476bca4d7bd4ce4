#include "app/application.h"
#include "contest_log/record_file.h"
#include "platform/errors.h"
#include "support/https_server.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    [[nodiscard]] ApplicationOptions options() const {
        ApplicationOptions o;
        o.programFolder = m_dir.path();
        o.timeSource = &clock;
        o.allowNetwork = false;
        return o;
    }

    QTemporaryDir m_dir;
    test::FixedTime clock{QDateTime(QDate(2024, 6, 1), QTime(10, 0), Qt::UTC)};
};

TEST_F(ApplicationTest, FromStartUpToTheMainWindowTheStationNamesAndCreatesTheLog) {
    Application app(options());
    app.startUp();
    EXPECT_TRUE(QFileInfo(m_dir.filePath("Files")).isDir());
    EXPECT_EQ(app.stationForm().backupItems().front(), QStringLiteral("Aucun"));
    EXPECT_THROW(app.acceptStation(), AppError); // nobody is operating yet

    app.stationForm().setEditOp("D4ERI");
    app.stationForm().editOpExit();
    app.acceptStation();
    app.fileNaming().activate(app.session().clock().localNow().date());
    EXPECT_EQ(app.fileNaming().editNomFichier(), QStringLiteral("ZIV_URU_2024@D4ERI"));
    app.confirmFileNaming();
    EXPECT_EQ(QFileInfo(m_dir.filePath("Files/ZIV_URU_2024@D4ERI.QRP")).size(), 2 * kRecordSize);
    EXPECT_TRUE(app.session().clock().isRealTime());
    EXPECT_TRUE(app.session().clock().tickEnabled());
    EXPECT_EQ(app.session().table().rowCount(), 2);
}

// Temporary files of whole-file writes that a kill left between the write and the rename go at
// the next start; a young one may be another program's write in progress and stays.
TEST_F(ApplicationTest, StartUpRemovesTheTemporaryFilesAKillLeftBehind) {
    const QString logs = m_dir.filePath("logs");
    ASSERT_TRUE(QDir().mkpath(logs));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("Files")));
    test::layProgramFolder(m_dir.path(), {"[VGlobales]", "OPERATOR=D4ERI", "CHEMIN_FICHIER=" + logs,
                                          "NOM_FICHIER=LOG.QRP"});
    const QStringList old = {m_dir.filePath("Varurav_UDA.ini.tmp~"),
                             m_dir.filePath("DXCC.CSV.tmp~"), m_dir.filePath("Files/LOG.CBR.tmp~"),
                             logs + "/LOG.QRP.tmp~", logs + "/.LOG.QRP_1.tmp~"};
    const QStringList kept = {logs + "/LOG.BAK.tmp~", logs + "/LOG.QRP", logs + "/notes.tmp"};
    for (const QString& path : old + kept) {
        test::writeFile(path, "x");
    }
    for (const QString& path : old + QStringList{logs + "/LOG.QRP", logs + "/notes.tmp"}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
    }
    Application app(options());
    app.startUp();
    for (const QString& path : old) {
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    }
    for (const QString& path : kept) {
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    }
}

TEST_F(ApplicationTest, TheRosterQuestionIsAskedOnlyWhenAFetchIsAllowed) {
    // Reference files in place: nothing but the roster question may reach for the network.
    ASSERT_TRUE(QFile::copy(test::fixture("cty_wt.dat"), m_dir.filePath("cty_wt.dat")));
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("Fichiers_BD")));
    test::writeFile(m_dir.filePath("Fichiers_BD/VUZ_adar_2021.csv"), "Indicatif,Numero\r\n");
    QStringList asked;
    ApplicationOptions o = options();
    o.askYesNo = [&asked](const QString& question) {
        asked << question;
        return false;
    };
    Application offline(o);
    offline.startUp();
    EXPECT_TRUE(asked.isEmpty());

    o.allowNetwork = true;
    Application online(o);
    online.startUp();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].startsWith(QStringLiteral("Votre base de données des membres date du ")));
    EXPECT_EQ(online.stationForm().labelBdZir(), QStringLiteral("BD ZIR : ")); // kept on No
}

TEST_F(ApplicationTest, AMissingRosterIsFetchedAndTheStationWindowTellsHowItWent) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    server.serve("/cty/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    ApplicationOptions o = options();
    o.allowNetwork = true;

    Application failing(o);
    failing.setReferenceSources(server.sources());
    failing.startUp(); // nothing served at the roster's path
    EXPECT_TRUE(failing.stationForm().infoInternetVisible());
    EXPECT_TRUE(failing.stationForm().labelInfoInternet().startsWith(
        failing.rosterUpdate().infoText)); // then "no roster"
    EXPECT_TRUE(failing.stationForm().labelInfoInternet().endsWith(
        QString::fromUtf8("Pas de liste des membres : tous les QSO sont comptés NM")));
    EXPECT_TRUE(failing.stationForm().labelInfoInternet().startsWith(QStringLiteral("La MAJ")));

    server.serve("/Concours/VUZ_adar_2021.csv", "Indicatif,Numero\r\nD4ERI,123\r\n");
    QTemporaryDir other;
    ASSERT_TRUE(other.isValid());
    o.programFolder = other.path();
    Application fetching(o);
    fetching.setReferenceSources(server.sources());
    fetching.startUp();
    EXPECT_EQ(fetching.stationForm().labelInfoInternet(), QStringLiteral("Mise à jour réussie"));
    EXPECT_EQ(fetching.stationForm().labelBdZir(), QStringLiteral("BD ZIR :VUZ_adar_2021.csv"));
    EXPECT_EQ(fetching.stationForm().labelDateBd(),
              "Date du fichier : " + fetching.roster().fileDateText());
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// Without a roster the update runs at once, behind the wait notice, which closes again also
// when the club's server cannot be reached.
TEST(ApplicationWaitNotice, FramesTheRosterUpdate) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::copy(test::fixture("cty_wt.dat"), dir.filePath("cty_wt.dat")));
    test::LoopbackPort refusing(test::LoopbackPort::Refusing);
    ASSERT_GT(refusing.port(), 0);
    ApplicationOptions options;
    options.programFolder = dir.path();
    options.allowNetwork = true;
    Application app(options);
    ReferenceSources sources;
    sources.clubServer = QStringLiteral("https://127.0.0.1:%1").arg(refusing.port());
    sources.countryFileServer = sources.clubServer;
    app.setReferenceSources(sources);
    std::vector<bool> notices;
    app.setWaitNotice([&notices](bool shown) { notices.push_back(shown); });
    app.startUp();
    EXPECT_EQ(notices, (std::vector<bool>{true, false}));
    EXPECT_FALSE(app.roster().exists());
}

} // namespace
} // namespace vu
