#include "contest_log/contest_file.h"
#include "platform/cp1252.h"
#include "support/cli_runner.h"
#include "support/https_server.h"
#include "support/smtp_sink.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <vector>

namespace vu {
namespace {

// Lays a program folder with a settings file of these lines (and an SMTP list) under `dir`.
QString programFolder(const QTemporaryDir& dir, const QStringList& settings) {
    const QString folder = dir.filePath("program");
    test::layProgramFolder(folder, settings);
    return folder;
}

const QStringList kStation = {"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P"};
// What the tool says without the roster or the country table.
const QString kNoRoster =
    QString::fromUtf8("Pas de liste des membres : tous les QSO sont comptés NM\n");
const QString kNoCountries =
    QStringLiteral("Pas de liste des pays : les points des QSO hors continent sont faux\n");

TEST(Cli, ParsePrintsTheParseResultTabSeparated) {
    struct Case {
        QString text;
        QString line;
    };
    const Case cases[] = {
        {"D4ERI/P 5 4 O", "D4ERI/P\t559\t549\tQRO\t0\t8\t1\n"},
        {"D4ERI/P", "D4ERI/P\t\t\tQRP\t0\t8\t0\n"},
        {"F5ÉÉ X", "F5ÉÉ\t\t\tQRP\t22\t5\t1\n"},
    };
    for (const Case& c : cases) {
        const test::CliResult r = test::runCli({"parse", c.text});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, c.line);
    }
}

TEST(Cli, UsageErrorsExitWithTwo) {
    EXPECT_EQ(test::runCli({}).exitCode, 2);
    EXPECT_EQ(test::runCli({"parse"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"score"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"score", "a.QRP", "--program-folder"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"cabrillo"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"adif", "a.QRP", "b.QRP"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"log"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"log", "a.QRP"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"check"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"check", "a.QRP", "b.QRP"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"stats"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"stats", "a.QRP", "b.QRP"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"mail"}).exitCode, 2);
    EXPECT_EQ(test::runCli({"mail", "a.QRP", "--to"}).exitCode, 2);
}

TEST(Cli, ScorePrintsEveryRowThenTheScoreLabel) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDate day(2024, 1, 15);
    QByteArray bytes(88, '\0');
    bytes += encodeRecord(test::lineRecord("D4ERI", "40", day, {8, 5}, "12"));
    bytes += encodeRecord(test::lineRecord("DL1ABC", "20", day, {8, 6}, "NM", "QRO"));
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, bytes);

    const test::CliResult r =
        test::runCli({"score", log, "--program-folder", programFolder(dir, kStation)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0].split(u'\t').mid(0, 9),
              (QStringList{"1", "40", "15/01/2024", "08:05", "D4ERI", "599", "599", "12", "QRP"}));
    EXPECT_EQ(lines[0].split(u'\t').size(), 13);
    EXPECT_EQ(lines[1].split(u'\t').mid(0, 5),
              (QStringList{"2", "20", "15/01/2024", "08:06", "DL1ABC"}));
    EXPECT_EQ(lines[2].split(u'\t').mid(0, 2), (QStringList{"3", "20"}));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Score = ")));
}

TEST(Cli, ScorePrintsTheScoredGridFromTheProgramFoldersReferenceFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = programFolder(dir, kStation);
    ASSERT_TRUE(QDir().mkpath(program + "/Fichiers_BD"));
    test::writeFile(program + "/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    test::writeFile(program + "/Fichiers_BD/VUZ_adar_2021.csv", "D4ERI,12,Eric,2001\r\n");
    const QDate day(2024, 1, 15);
    QByteArray bytes(88, '\0');
    bytes += encodeRecord(test::lineRecord("D4ERI", "40", day, {8, 5}, "12"));
    bytes += encodeRecord(test::lineRecord("DL1ABC", "20", day, {8, 6}, "NM", "QRO"));
    bytes += encodeRecord(test::lineRecord("D4ERI/P", "40", day, {8, 7}, "12"));
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, bytes);

    const test::CliResult r = test::runCli({"score", log, "--program-folder", program});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The station D4ERI/P is a QRP station in Africa.
    EXPECT_EQ(r.out, "1\t40\t15/01/2024\t08:05\tD4ERI\t599\t599\t12\tQRP\tEric\t10\t- M - - -\t\n"
                     "2\t20\t15/01/2024\t08:06\tDL1ABC\t599\t599\tNM\tQRO\t\t10\t\t\n"
                     "3\t40\t15/01/2024\t08:07\tD4ERI/P\t599\t599\t12\tQRP\tEric\t0\t- M - - -\t"
                     "DUPE = D4ERI->08:05\n"
                     "4\t40\t\t\t\t\t\t\t\t\t\t\t\n"
                     "Score = 20 x 2 = 40\n");
    EXPECT_TRUE(QFileInfo::exists(program + "/DXCC.CSV"));
}

TEST(Cli, ScoreTakesTheStationsCategoryAndContinentFromTheSettings) {
    struct Case {
        QStringList settings;
        const char* points; // of a QRO station in Europe
    };
    const Case cases[] = {
        {kStation, "10"},                                                // QRP in Africa
        {{"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=DL/D4ERI"}, "5"}, // QRP in Europe
        {{"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P", "MY_CATEGORIE=QRO"}, "0"},
        {{"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P", "MY_CATEGORIE=qrp"}, "0"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString program = programFolder(dir, c.settings);
        test::writeFile(program + "/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
        QByteArray bytes(88, '\0');
        bytes += encodeRecord(test::lineRecord("DL1ABC", "20", {2024, 1, 15}, {8, 6}, "NM", "QRO"));
        const QString log = dir.filePath("LOG.QRP");
        test::writeFile(log, bytes);

        const test::CliResult r = test::runCli({"score", log, "--program-folder", program});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.section(u'\n', 0, 0).split(u'\t').value(10), QString::fromLatin1(c.points))
            << c.settings.join(' ').toStdString();
    }
}

TEST(Cli, ScoreOfAMissingFileGivesTheIoTextAndExitsWithOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const test::CliResult r = test::runCli(
        {"score", dir.filePath("nothing.QRP"), "--program-folder", programFolder(dir, kStation)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kNoRoster + "Fichier introuvable : " + dir.filePath("nothing.QRP") + "\n");
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(Cli, ScoreStopsWithTheStationWindowsMessageWhenItsOkRefuses) {
    struct Case {
        QStringList settings;
        QString message;
    };
    const Case cases[] = {
        {{}, "             Infos manquantes\n"},
        {{"[Langue]", "LNG=2"},
         "             Infos manquantes\n"}, // no language file in this program folder
        {{"[VGlobales]", "OPERATOR=D4ERI", "[OP]", "email=op@unknown.it"},
         "Votre adresse Email ne permet pas de déterminer votre SMTP ainsi que votre Port\n"
         "Veuillez les fournir ou bien effacer votre adresse Email\n\n"
         " Si vous ne possédez pas ces éléments, vous devrez envoyer votre compte rendu avec "
         "votre propre gestionaire d'Email\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString log = dir.filePath("LOG.QRP");
        test::writeFile(log, QByteArray(88, '\0'));
        const test::CliResult r =
            test::runCli({"score", log, "--program-folder", programFolder(dir, c.settings)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, kNoRoster + c.message);
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(Cli, ReportsAreWrittenWhereTheProgramWritesThemAndTheirPathsPrinted) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program =
        programFolder(dir, {"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P", "[OP]",
                            "NAME=Hélène Dupré", "email=d4eri@orange.fr"});
    test::layReferenceData(program);
    const QDate day(2024, 1, 15);
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, QByteArray(88, '\0') +
                             encodeRecord(test::lineRecord("DL1ABC", "20", day, {8, 6}, "NM")));

    const test::CliResult cabrillo = test::runCli({"cabrillo", log, "--program-folder", program});
    ASSERT_EQ(cabrillo.exitCode, 0) << cabrillo.err.toStdString();
    const QString cabrilloPath = program + "/Files/LOG.CBR";
    EXPECT_EQ(cabrillo.out, cabrilloPath + "\n");
    const QStringList cbr = fromCp1252(test::readFile(cabrilloPath)).split("\r\n");
    ASSERT_EQ(cbr.size(), 20);
    EXPECT_EQ(cbr[9], "NAME: Helene Dupre");
    EXPECT_EQ(cbr[17], "QSO: 14000 CW 2024-01-15 0806 D4ERI/P       599 123  QRP DL1ABC        "
                       "599 NM   QRP  ");

    const test::CliResult adif = test::runCli({"adif", log, "--program-folder", program});
    ASSERT_EQ(adif.exitCode, 0) << adif.err.toStdString();
    EXPECT_EQ(adif.out, dir.filePath("LOG.ADI") + "\n");
    const QStringList adi = fromCp1252(test::readFile(dir.filePath("LOG.ADI"))).split("\r\n");
    ASSERT_EQ(adi.size(), 10);
    EXPECT_TRUE(adi[8].startsWith("<MY_NAME:12>Helene Dupre <OPERATOR:5>D4ERI "));
    EXPECT_TRUE(adi[8].contains(
        " <CALL:6>DL1ABC <COUNTRY:20>Fed. Rep. of Germany <DXCC:3>230 <CONT:2>EU "));

    // A contest file that is not there: the file error, and no report.
    const test::CliResult missing =
        test::runCli({"adif", dir.filePath("NONE.QRP"), "--program-folder", program});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err, "Fichier introuvable : " + dir.filePath("NONE.QRP") + "\n");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("NONE.ADI")));
}

TEST(Cli, CheckPrintsTheFindingsAndExitsWithOneOnAnError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program =
        programFolder(dir, {"[VGlobales]", "OPERATOR=D4ERI", "MY_STATION=D4ERI/P", "[OP]",
                            "NAME=Hélène Dupré", "AD1=1 rue des Lilas", "email=d4eri@orange.fr"});
    test::layReferenceData(program);
    const QDate day(2024, 1, 15);
    const struct {
        std::vector<Record> records;
        int exitCode;
        QString out;
    } cases[] = {
        {{test::lineRecord("DL1ABC", "20", day, {8, 6}),
          test::lineRecord("D4ERI", "20", day, {8, 7}, "123")},
         0,
         ""},
        {{test::lineRecord("DL1ABC", "20", day, {8, 6}),
          test::lineRecord("DL1ABC", "20", day, {8, 5})},
         0,
         "warning: line 2: duplicate of line 1 (DL1ABC on 20 m)\n"
         "warning: line 2: out of time order (earlier than line 1)\n"},
        {{test::lineRecord("DL1ABC", "160", day, {8, 6}),
          test::lineRecord("D4-ERI", "20", day, {8, 7})},
         1,
         "error: line 1: band \"160\" gives no frequency\n"
         "error: line 2: worked callsign \"D4-ERI\" holds a character outside A-Z, 0-9 and "
         "\"/\"\n"},
    };
    const QString log = dir.filePath("LOG.QRP");
    for (const auto& c : cases) {
        QByteArray bytes(88, '\0');
        for (const Record& r : c.records) {
            bytes += encodeRecord(r);
        }
        test::writeFile(log, bytes);
        const test::CliResult r = test::runCli({"check", log, "--program-folder", program});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_EQ(r.out, c.out);
        // The check writes no report.
        EXPECT_FALSE(QFileInfo::exists(program + "/Files/LOG.CBR"));
    }

    // A contest file that is not there: the check cannot run.
    const test::CliResult missing =
        test::runCli({"check", dir.filePath("NONE.QRP"), "--program-folder", program});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err, "Fichier introuvable : " + dir.filePath("NONE.QRP") + "\n");
    EXPECT_TRUE(missing.out.isEmpty());
}

// The mail command writes and checks the report, then sends it with the station's server,
// security and login, the password from the standard input; it says why a send failed.
TEST(Cli, MailSendsTheCheckedReportOverStartTlsWithTheLogin) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const test::TestCertificate cert;
    ASSERT_FALSE(cert.certificate().isEmpty()) << qPrintable(cert.error());
    test::SmtpSink sink(
        {"--starttls", cert.certificate(), cert.key(), "--auth", "d4eri", "s3cret"});
    ASSERT_GT(sink.port(), 0);
    const QString program = programFolder(
        dir, kStation + QStringList{"[OP]", "NAME=Jean", "AD1=1 rue", "AD2=Paris", "AD3=75001",
                                    "email=d4eri@example.org", "[SMTP]", "SERVER=127.0.0.1",
                                    QStringLiteral("PORT=%1").arg(sink.port()), "SECURITY=starttls",
                                    "LOGIN=d4eri"});
    const QDate day(2024, 1, 15);
    const QString log = dir.filePath("LOG.QRP");
    const auto writeLog = [&log](const Record& record) {
        test::writeFile(log, QByteArray(88, '\0') + encodeRecord(record));
    };
    writeLog(test::lineRecord("DL1ABC", "20", day, {8, 6}));
    const QStringList mail = {"mail",  log,    "--program-folder",
                              program, "--to", "checker@example.org"};
    const QStringList trusted = mail + QStringList{"--cacert", cert.certificate()};

    const struct {
        const char* name;
        QStringList args;
        QByteArray input;
        int exitCode;
        QString errStart; // on a line of its own
    } failures[] = {
        {"wrong password", trusted + QStringList{"--password-stdin"}, "guess\n", 1,
         "Authentification refusée par le serveur"},
        {"certificate not trusted", mail + QStringList{"--password-stdin"}, "s3cret\n", 1,
         "Certificat du serveur non reconnu"},
        {"no password given", trusted, "", 2, "Le serveur est utilisé avec l'identifiant d4eri"},
    };
    for (const auto& c : failures) {
        const test::CliResult r = test::runCli(c.args, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name;
        // After what the tool says at every start (no roster here).
        EXPECT_TRUE(r.err.contains(u'\n' + c.errStart)) << c.name << ": " << r.err.toStdString();
    }
    EXPECT_EQ(sink.messageCount(), 0);

    const test::CliResult sent =
        test::runCli(trusted + QStringList{"--password-stdin"}, "s3cret\n");
    ASSERT_EQ(sent.exitCode, 0) << sent.err.toStdString();
    EXPECT_EQ(sent.out, "Vos fichiers compte rendus ont été envoyés au  correcteur\n");
    const QJsonObject got = sink.message(1);
    EXPECT_TRUE(got.value("secure").toBool());
    EXPECT_EQ(got.value("login").toString(), "d4eri");
    EXPECT_EQ(got.value("rcptTos").toArray().first().toString(), "checker@example.org");
    EXPECT_EQ(got.value("parts").toArray().last().toObject().value("filename").toString(),
              "LOG.CBR");

    // A report with a check error goes only when forced.
    writeLog(test::lineRecord("DL1ABC", "160", day, {8, 6}));
    const test::CliResult refused =
        test::runCli(trusted + QStringList{"--password-stdin"}, "s3cret\n");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "error: line 1: band \"160\" gives no frequency\n");
    EXPECT_EQ(sink.messageCount(), 1);
    const test::CliResult forced =
        test::runCli(trusted + QStringList{"--password-stdin", "--force"}, "s3cret\n");
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_FALSE(sink.message(2).isEmpty());
}

TEST(Cli, LogStoresEachLineAsEnterDoesAndStopsAtARefusedOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    const QString log = dir.filePath("NEW.QRP");

    const test::CliResult r = test::runCli(
        {"log", log, "DL1ABC 5", "   ", "F5AAA 5 7 AB", "G4CCC", "--program-folder", folder});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "F5AAA 5 7 AB: Erreur de saisie 23\n"
                     "Lignes enregistrées : 1 sur 4 (DL1ABC 5)\n");

    const test::CliResult scored = test::runCli({"score", log, "--program-folder", folder});
    ASSERT_EQ(scored.exitCode, 0) << scored.err.toStdString();
    const QStringList rows = scored.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3) << scored.out.toStdString();
    EXPECT_EQ(rows[0].split('\t').mid(4, 5), (QStringList{"DL1ABC", "559", "599", "NM", "QRP"}));
}

// What the window program shows at start-up the tool says on its standard error, naming the file.
TEST(Cli, StartUpErrorsGoToStandardError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    ASSERT_TRUE(QDir().mkpath(folder + "/cty_wt.dat")); // a folder where the country file should be
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, QByteArray(88, '\0'));
    const test::CliResult r = test::runCli({"score", log, "--program-folder", folder});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "Ce nom est celui d'un dossier, pas d'un fichier : " + folder +
                         "/cty_wt.dat\n" + kNoRoster); // the shipped country file stood in
}

// A contest file of a header and `lines` line records.
QByteArray contestFileOf(int lines) {
    QByteArray bytes(88, '\0');
    for (int k = 1; k <= lines; ++k) {
        bytes += encodeRecord(test::lineRecord(QStringLiteral("F%1AA").arg(k), "40",
                                               QDate(2024, 1, 15), QTime(8, k)));
    }
    return bytes;
}

TEST(Cli, LogRefusesAFileAnotherProgramWritesInto) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, contestFileOf(1));
    {
        // The window program has the file open.
        StationSettings station;
        station.contestFolder = dir.path();
        station.contestFileName = "LOG.QRP";
        LogTable table;
        ContestFile window(table, station);
        window.load();

        const test::CliResult refused =
            test::runCli({"log", log, "DL1ABC", "--program-folder", folder});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains(log + " est ouvert par un autre programme"))
            << refused.err.toStdString();
        EXPECT_EQ(test::readFile(log), contestFileOf(1));
        // Reading it is no writing: the reports can still be made.
        EXPECT_EQ(test::runCli({"score", log, "--program-folder", folder}).exitCode, 0);
    }
    const test::CliResult r = test::runCli({"log", log, "DL1ABC", "--program-folder", folder});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(test::recordCalls(log), (QStringList{"F1AA", "DL1ABC"}));
}

// A report given by mistake in place of the contest file is left as it is.
TEST(Cli, LogRefusesAFileThatIsNotAContestFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    const QString report = dir.filePath("LOG.txt");
    const QByteArray text = "START-OF-LOG: 3.0\r\nCALLSIGN: D4ERI\r\nEND-OF-LOG:\r\n";
    test::writeFile(report, text);
    const test::CliResult r = test::runCli({"log", report, "DL1ABC", "--program-folder", folder});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Le fichier " + report + " n'est pas un fichier de concours"))
        << r.err.toStdString();
    EXPECT_EQ(test::readFile(report), text);
}

// Two runs at once on one file: each line a run reports stored is in the file, once.
TEST(Cli, TwoLogRunsAtOnceLoseNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, contestFileOf(0));
    QStringList lines[2];
    QProcess runs[2];
    for (int i = 0; i < 2; ++i) {
        for (int k = 0; k < 30; ++k) {
            lines[i] << QStringLiteral("D%1K%2").arg(i).arg(k);
        }
        runs[i].start(QStringLiteral(VARURAV_CLI_PATH),
                      QStringList{"log", log} + lines[i] + QStringList{"--program-folder", folder});
    }
    QStringList expected;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(runs[i].waitForFinished(120000));
        const QString err = QString::fromUtf8(runs[i].readAllStandardError());
        if (runs[i].exitCode() == 0) {
            expected += lines[i];
        } else {
            EXPECT_TRUE(err.contains(" est ouvert par un autre programme")) << err.toStdString();
        }
    }
    QStringList calls = test::recordCalls(log);
    calls.sort();
    expected.sort();
    EXPECT_EQ(calls, expected);
}

// Beyond the file-size limit a store fails with the full-volume text and leaves no part of its
// record, instead of the process ending on a signal with a torn record.
TEST(Cli, LogBeyondTheFileSizeLimitSaysDiskFullAndKeepsWholeRecords) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, contestFileOf(10)); // 968 bytes; the limit is 1024
    QProcess run;
    run.start("bash", QStringList{"-c", "ulimit -f 1 && exec \"$0\" \"$@\"", VARURAV_CLI_PATH,
                                  "log", log, "DL1ABC", "--program-folder", folder});
    ASSERT_TRUE(run.waitForFinished(120000));
    const QString err = QString::fromUtf8(run.readAllStandardError());
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.exitCode(), 1);
    EXPECT_TRUE(err.contains("DL1ABC: Disque plein")) << err.toStdString();
    EXPECT_TRUE(err.contains("Lignes enregistrées : 0 sur 1")) << err.toStdString();
    EXPECT_EQ(test::readFile(log), contestFileOf(10));
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// A contest file named like a report would be written over by it: the tool refuses it, and the
// file keeps every contact.
TEST(Cli, LogAndReportsRefuseAContestFileNamedLikeAReport) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    test::layReferenceData(folder);
    ASSERT_TRUE(QDir().mkpath(folder + "/Files"));
    const QString created = folder + "/Files/T.CBR";
    const test::CliResult log =
        test::runCli({"log", created, "DL1ABC", "--program-folder", folder});
    EXPECT_EQ(log.exitCode, 1);
    EXPECT_TRUE(log.err.contains(created)) << log.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(created));

    for (const char* name : {"Files/T.CBR", "Files/T.ADI", "Files/T.BAK"}) {
        const QString path = folder + "/" + name;
        test::writeFile(path, contestFileOf(2));
        for (const char* command : {"cabrillo", "adif"}) {
            SCOPED_TRACE(std::string(command) + " " + name);
            const test::CliResult r = test::runCli({command, path, "--program-folder", folder});
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(path)) << r.err.toStdString();
            EXPECT_EQ(test::readFile(path), contestFileOf(2));
        }
    }
}

// Without the roster every contact scores as a non-member: the tool says so on its standard
// error. The country file shipped with the program stands in for a missing one.
TEST(Cli, AMissingRosterIsSaidAndTheShippedCountryFileStandsIn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    const QString log = dir.filePath("LOG.QRP");
    test::writeFile(log, QByteArray(88, '\0') + encodeRecord(test::lineRecord(
                                                    "DL1ABC", "20", {2024, 1, 15}, {8, 6}, "NM")));
    const test::CliResult r = test::runCli({"score", log, "--program-folder", folder});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, kNoRoster);
    EXPECT_FALSE(QFileInfo::exists(folder + "/cty_wt.dat")); // fetched again when it can be
    // The same scores as with the country file in the program folder.
    test::writeFile(folder + "/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    const test::CliResult withFile = test::runCli({"score", log, "--program-folder", folder});
    EXPECT_EQ(r.out, withFile.out);
    EXPECT_EQ(r.out.section(u'\n', 0, 0).split(u'\t').value(10), "20") << r.out.toStdString();
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// A contest file under the size limit can still need more memory than the machine gives: the
// tool says so and exits with 1 instead of aborting. (AddressSanitizer needs an address space
// without limit, so the sanitizer build leaves this case out.)
TEST(Cli, AnAllocationFailureIsReportedNotACrash) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot run under an address-space limit";
#endif
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = programFolder(dir, kStation);
    const QString log = dir.filePath("BIG.QRP");
    QFile big(log);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(1'136'363) * 88)); // a million blank records, sparse
    big.close();
    QProcess cli;
    cli.setChildProcessModifier([] {
        const rlimit limit{400u << 20, 400u << 20}; // 400 MiB of address space
        ::setrlimit(RLIMIT_AS, &limit);
    });
    cli.start(QStringLiteral(VARURAV_CLI_PATH), {"score", log, "--program-folder", folder});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(cli.readAllStandardError()).endsWith("Mémoire insuffisante\n"));
}

// The generator's log of `lines` rows with `seed`, as a contest file; after every 150th row the
// clock jumps by 45 minutes, so the log has off-time.
QByteArray generatedLog(int lines, int seed) {
    QProcess generator;
    generator.start(QStringLiteral("/usr/bin/python3"),
                    {test::fixture(QStringLiteral("make_big_log.py")), QString::number(lines),
                     QStringLiteral("--seed"), QString::number(seed)});
    EXPECT_TRUE(generator.waitForFinished(120000));
    EXPECT_EQ(generator.exitCode(), 0);
    QByteArray bytes(88, '\0');
    int row = 0;
    for (const QString& text : QString::fromLatin1(generator.readAllStandardOutput())
                                   .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const QStringList f = text.split(u',');
        const QDateTime at = QDateTime(QDate::fromString(f[1], QStringLiteral("dd/MM/yyyy")),
                                       QTime::fromString(f[2], QStringLiteral("HH:mm")), Qt::UTC)
                                 .addSecs(qint64(row++ / 150) * 45 * 60);
        Record r = test::lineRecord(f[3], f[0], at.date(), at.time(), f[6], f[7]);
        r.rstSent = f[4];
        r.rstRcvd = f[5];
        bytes += encodeRecord(r);
    }
    return bytes;
}

// The figures of `score`'s output (every grid row, then the score label), counted here.
QStringList figuresOfScore(const QString& scored) {
    QStringList rows = scored.split(u'\n', Qt::SkipEmptyParts);
    const QStringList label = rows.takeLast().split(u' '); // "Score = P x M = S"
    const QStringList bands = {"80", "40", "20", "15", "10"};
    int qsos = 0;
    int dupes = 0;
    std::map<QString, std::pair<int, int>> perBand;
    std::map<qint64, std::array<int, 5>> perHour;
    std::vector<qint64> minutes;
    for (int k = 0; k + 1 < rows.size(); ++k) { // the entry row last
        const QStringList c = rows[k].split(u'\t');
        if (c[4].trimmed().isEmpty()) {
            continue;
        }
        ++qsos;
        dupes += c[12].isEmpty() ? 0 : 1;
        perBand[c[1]].first += 1;
        perBand[c[1]].second += c[11].contains(u'M') ? 1 : 0;
        const QDateTime at(QDate::fromString(c[2], QStringLiteral("dd/MM/yyyy")),
                           QTime::fromString(c[3], QStringLiteral("HH:mm")), Qt::UTC);
        minutes.push_back(at.toSecsSinceEpoch() / 60);
        perHour[minutes.back() / 60][static_cast<size_t>(bands.indexOf(c[1]))] += 1;
    }
    QStringList out{QStringList{"total", QString::number(qsos), QString::number(dupes), label[2],
                                label[4], label[6]}
                        .join(u'\t')};
    for (const QString& band : bands) {
        out << QStringList{"band", band, QString::number(perBand[band].first),
                           QString::number(perBand[band].second)}
                   .join(u'\t');
    }
    std::sort(minutes.begin(), minutes.end());
    for (qint64 hour = minutes.front() / 60; hour <= minutes.back() / 60; ++hour) {
        QStringList cells{"hour", QDateTime::fromSecsSinceEpoch(hour * 3600, Qt::UTC)
                                      .toString(QStringLiteral("yyyy-MM-dd HH"))};
        for (const int n : perHour[hour]) {
            cells << QString::number(n);
        }
        out << cells.join(u'\t');
    }
    qint64 off = 0;
    for (size_t k = 1; k < minutes.size(); ++k) {
        off += minutes[k] - minutes[k - 1] >= 30 ? minutes[k] - minutes[k - 1] : 0;
    }
    out << QStringList{"time", QString::number(minutes.back() - minutes.front() - off),
                       QString::number(off)}
               .join(u'\t');
    return out;
}

TEST(Cli, StatsGivesTheFiguresOfAFullRescoringOfGeneratedLogs) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = programFolder(dir, kStation);
    ASSERT_TRUE(QDir().mkpath(program + "/Fichiers_BD"));
    test::writeFile(program + "/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    test::writeFile(program + "/Fichiers_BD/VUZ_adar_2021.csv",
                    test::readFile(test::fixture("roster_sample.csv")));
    for (const auto& [lines, seed] : {std::pair{400, 3}, std::pair{3000, 11}}) {
        const QString log = dir.filePath(QStringLiteral("LOG%1.QRP").arg(seed));
        test::writeFile(log, generatedLog(lines, seed));
        const test::CliResult scored = test::runCli({"score", log, "--program-folder", program});
        ASSERT_EQ(scored.exitCode, 0) << scored.err.toStdString();
        const test::CliResult stats = test::runCli({"stats", log, "--program-folder", program});
        ASSERT_EQ(stats.exitCode, 0) << stats.err.toStdString();
        const QStringList expected = figuresOfScore(scored.out);
        EXPECT_EQ(stats.out.split(u'\n', Qt::SkipEmptyParts), expected) << lines << " lines";
        EXPECT_GT(expected.last().section(u'\t', 2).toInt(), 0);     // the log has off-time
        EXPECT_GT(expected.first().section(u'\t', 2, 2).toInt(), 0); // and dupes
    }
}

} // namespace
} // namespace vu
