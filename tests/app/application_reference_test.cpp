#include "app/application.h"
#include "support/https_server.h"
#include "support/test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

ApplicationOptions optionsFor(const QString& folder, bool network) {
    ApplicationOptions options;
    options.programFolder = folder;
    options.allowNetwork = network;
    return options;
}

TEST(ApplicationReferenceData, StartUpBuildsTheCountryListFetchingTheFileOnlyWhenAllowed) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    server.serve("/cty/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    const ReferenceSources sources = server.sources();

    for (const bool network : {false, true}) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        Application app(optionsFor(dir.path(), network));
        app.setReferenceSources(sources);
        app.startUp();
        EXPECT_EQ(QFileInfo::exists(dir.filePath("cty_wt.dat")), network);
        EXPECT_EQ(app.countries().fetchedCountryFile(), network);
        EXPECT_TRUE(app.startUpErrors().isEmpty());
        EXPECT_EQ(app.countries().dxccPrefixes().size(), network ? 323 : 0);
        EXPECT_EQ(app.countries().lookUpCountry("D4ERI").continent, network ? "AF" : "");
    }
}

// Servers that refuse or never answer hold the start-up no longer than their time-outs, and the
// station window says the roster could not be updated.
TEST(ApplicationReferenceData, ServersDownOrStallingAtStartUpEndWithinTheTimeOuts) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    ReferenceSources stalling = server.sources();
    stalling.countryFileServer += "/stall";
    stalling.clubServer += "/stall";
    ReferenceSources down = server.sources();
    down.countryFileServer = test::refusingUrl();
    down.clubServer = test::refusingUrl();

    struct Case {
        ReferenceSources sources;
        RosterUpdate::Outcome outcome; // a server that accepts the connection is reachable
        QString info;
    };
    const Case cases[] = {
        {stalling, RosterUpdate::Outcome::Failed,
         "La MAJ a échoué; vous utilisez une ancienne base de données"},
        {down, RosterUpdate::Outcome::NoConnection, " Pas de connexion Internet"},
    };
    for (const Case& c : cases) {
        const ReferenceSources& sources = c.sources;
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ApplicationOptions options = optionsFor(dir.path(), true);
        options.askYesNo = [](const QString&) { return true; };
        Application app(options);
        app.setReferenceSources(sources);
        QElapsedTimer timer;
        timer.start();
        app.startUp();
        // The roster probe, the roster and the country file each wait at most their time-out.
        EXPECT_LT(timer.elapsed(), 3 * sources.http.connectTimeoutMs);
        EXPECT_EQ(app.rosterUpdate().outcome, c.outcome);
        EXPECT_EQ(app.rosterUpdate().infoText, c.info);
        // followed by what is missing: no roster, no countries
        EXPECT_TRUE(app.stationForm().labelInfoInternet().startsWith(c.info));
        EXPECT_FALSE(app.countries().fetchedCountryFile());
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("cty_wt.dat")));
    }
}

TEST(ApplicationReferenceData, AFileErrorOfTheBuildDoesNotStopTheStartUp) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::writeFile(dir.filePath("cty_wt.dat"), test::readFile(test::fixture("cty_wt.dat")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("DXCC.CSV")); // a folder where the list should go
    Application app(optionsFor(dir.path(), false));
    app.startUp();
    ASSERT_EQ(app.startUpErrors().size(), 1);
    EXPECT_FALSE(app.startUpErrors().first().isEmpty());
    EXPECT_TRUE(QFileInfo(dir.filePath("Files")).isDir());
}

// A country file that gives no country, or a record without its ";" that takes in the next
// entities, is said in the station window's info line and among the start-up errors: every
// contact would otherwise score as an unknown country without a word.
TEST(ApplicationReferenceData, ADamagedCountryFileIsReported) {
    const QByteArray header = "#\n# RELEASE\n#\n#\n";
    struct Case {
        QByteArray countryFile;
        const char* says;
        int countries; // DXCC prefixes in the station window's list
    };
    const Case cases[] = {
        {header, "ne donne aucun pays", 0},
        {header + "# ADIF 247\n# nothing else\n", "ne donne aucun pays", 0},
        {header + "Spratly Islands:  26:  50:  AS:    9.88:  -114.23:    -8.0:  1S:\n"
                  "    9M0,BM9S\n"
                  "Monaco:  14:  27:  EU:   43.73:    -7.40:    -1.0:  3A:\n    3A;\n"
                  "Japan:  25:  45:  AS:   36.40:  -138.38:    -9.0:  JA:\n    JA;\n",
         "il manque le « ; » qui termine Spratly Islands", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        test::writeFile(dir.filePath("cty_wt.dat"), c.countryFile);
        Application app(optionsFor(dir.path(), false));
        app.startUp();
        ASSERT_EQ(app.startUpErrors().size(), 1);
        const QString error = app.startUpErrors().first();
        EXPECT_TRUE(error.contains(dir.filePath("cty_wt.dat"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
        EXPECT_TRUE(app.stationForm().labelInfoInternet().startsWith(error));
        EXPECT_TRUE(app.stationForm().infoInternetVisible());
        EXPECT_EQ(app.countries().dxccPrefixes().size(), c.countries);
    }
}

TEST(ApplicationReferenceData, LoadingALogNamesMembersAndScoresIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    test::writeFile(dir.filePath("cty_wt.dat"), test::readFile(test::fixture("cty_wt.dat")));
    Application app(optionsFor(dir.path(), false));
    app.startUp();
    test::writeFile(dir.filePath("Fichiers_BD/VUZ_adar_2021.csv"), "F5ABC,34,Jean,x\r\n");
    app.station().continent = "EU";

    QByteArray bytes(88, '\0');
    bytes += encodeRecord(test::lineRecord("F5ABC/P", "40", {2024, 1, 15}, {8, 5}, "34"));
    test::writeFile(dir.filePath("Files/LOG.QRP"), bytes);
    app.setContestFile(dir.filePath("Files/LOG.QRP"));
    app.activateMain();

    EXPECT_EQ(app.session().table().cell(Col::FirstName, 1), "Jean");
    EXPECT_EQ(app.session().table().cell(Col::Points, 1), "10");
    EXPECT_EQ(app.session().scoreLabel(), "Score = 10 x 1 = 10");
    EXPECT_EQ(app.session().hisContinent(), ""); // emptied after the load
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// A 200 answer that is not a country file (a web page, a file cut when the connection closed)
// leaves no country behind: it is refused and said, and a country file that gives no country is
// fetched again at the next start instead of staying for good.
TEST(ApplicationReferenceData, AReceivedCountryFileIsCheckedAndABadOneFetchedAgain) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    const QByteArray good = test::readFile(test::fixture("cty_wt.dat"));
    server.serve("/page/cty/cty_wt.dat", "<html><body>Moved</body></html>\r\n");
    server.serve("/full/cty/cty_wt.dat", good);
    ReferenceSources sources = server.sources();

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* served : {"/page", "/cut/full"}) {
        SCOPED_TRACE(served);
        sources.countryFileServer = server.url() + served;
        Application app(optionsFor(dir.path(), true));
        app.setReferenceSources(sources);
        app.startUp();
        EXPECT_FALSE(QFileInfo::exists(dir.filePath("cty_wt.dat")));
        EXPECT_EQ(app.countries().dxccPrefixes().size(), 0);
        EXPECT_TRUE(app.stationForm().labelInfoInternet().contains(
            "Pas de liste des pays : les points des QSO hors continent sont faux"))
            << app.stationForm().labelInfoInternet().toStdString();
        if (QByteArray(served) == "/page") {
            EXPECT_TRUE(app.startUpErrors().join('\n').contains(
                QString::fromUtf8("Le fichier reçu n'est pas une liste des pays")))
                << app.startUpErrors().join('\n').toStdString();
        }
    }
    // A file that gives no country, left by an earlier version: replaced at the next start.
    test::writeFile(dir.filePath("cty_wt.dat"), "<html><body>Moved</body></html>\r\n");
    sources.countryFileServer = server.url() + "/full";
    Application app(optionsFor(dir.path(), true));
    app.setReferenceSources(sources);
    app.startUp();
    EXPECT_EQ(test::readFile(dir.filePath("cty_wt.dat")), good);
    EXPECT_TRUE(app.countries().fetchedCountryFile());
    EXPECT_EQ(app.countries().dxccPrefixes().size(), 323);
}

// The copy shipped with the program stands in when the program folder has none and none can be
// fetched; a fetched file wins over it, and without either the operator is told.
TEST(ApplicationReferenceData, TheShippedCountryFileStandsInOnlyWhenNoneIsThere) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    const QString shipped = test::fixture("cty_wt.dat");
    // A served country file that differs from the shipped one: Monaco has one more prefix.
    QByteArray newer = test::readFile(shipped);
    ASSERT_TRUE(newer.contains("    3A;"));
    newer.replace("    3A;", "    3A,3A0NEW;");
    server.serve("/cty/cty_wt.dat", newer);
    struct Case {
        const char* what;
        bool network;
        QString shippedFile;
        int countries;
        bool fallback;
    };
    const Case cases[] = {
        {"offline: the shipped copy", false, shipped, 323, true},
        {"online: the fetched file", true, shipped, 323, false},
        {"offline, nothing shipped", false, "/nonexistent/cty_wt.dat", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        ApplicationOptions options = optionsFor(dir.path(), c.network);
        options.shippedCountryFile = c.shippedFile;
        Application app(options);
        app.setReferenceSources(server.sources());
        app.startUp();
        EXPECT_EQ(app.countries().dxccPrefixes().size(), c.countries);
        EXPECT_EQ(app.countries().usesFallback(), c.fallback);
        EXPECT_EQ(app.countries().findPrefix("3A0NEW").found(), c.network);
        EXPECT_EQ(QFileInfo::exists(dir.filePath("cty_wt.dat")), c.network);
        const QStringList warnings = app.session().referenceWarnings();
        EXPECT_EQ(warnings.contains("Pas de liste des pays : les points des QSO hors continent "
                                    "sont faux"),
                  c.countries == 0);
        EXPECT_TRUE(warnings.contains(QString::fromUtf8(
            "Pas de liste des membres : tous les QSO sont comptés NM"))); // no roster here
        EXPECT_TRUE(app.stationForm().labelInfoInternet().contains(warnings.join(" - ")))
            << app.stationForm().labelInfoInternet().toStdString();
    }
}

} // namespace
} // namespace vu
