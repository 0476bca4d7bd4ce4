#include "contest_log/contest_file.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

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
        test::runCli({"score", log, "--program-folder", dir.filePath("program")});
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
    const QString program = dir.filePath("program");
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
    // No station settings: a QRP station on no known continent.
    EXPECT_EQ(r.out, "1\t40\t15/01/2024\t08:05\tD4ERI\t599\t599\t12\tQRP\tEric\t20\t- M - - -\t\n"
                     "2\t20\t15/01/2024\t08:06\tDL1ABC\t599\t599\tNM\tQRO\t\t10\t\t\n"
                     "3\t40\t15/01/2024\t08:07\tD4ERI/P\t599\t599\t12\tQRP\tEric\t0\t- M - - -\t"
                     "DUPE = D4ERI->08:05\n"
                     "4\t40\t\t\t\t\t\t\t\t\t\t\t\n"
                     "Score = 30 x 2 = 60\n");
    EXPECT_TRUE(QFileInfo::exists(program + "/DXCC.CSV"));
}

TEST(Cli, ScoreOfAMissingFileGivesTheIoTextAndExitsWithOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const test::CliResult r = test::runCli(
        {"score", dir.filePath("nothing.QRP"), "--program-folder", dir.filePath("program")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QStringLiteral("Fichier introuvable\n"));
    EXPECT_TRUE(r.out.isEmpty());
}

} // namespace
} // namespace vu
