#include "reports/adif.h"
#include "reports/cabrillo.h"

#include "platform/errors.h"
#include "platform/version.h"
#include "support/test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace vu {
namespace {

using test::logTableOf;

ReportStation d4eri() {
    ReportStation s;
    s.stationCall = QStringLiteral("D4ERI");
    s.operatorCall = QStringLiteral("D4ERI");
    s.clubNumber = QStringLiteral("123");
    s.category = QStringLiteral("QRP");
    s.email = QStringLiteral("d4eri@example.org");
    s.clubTyped = QStringLiteral("123");
    s.name = QStringLiteral("Hélène Dupré");
    s.street = QStringLiteral("1 rue des Lilas");
    s.city = QStringLiteral("Lyon");
    s.zipCode = QStringLiteral("69001");
    s.qrpTicked = true;
    return s;
}

const QByteArray kHeader = "START-OF-LOG: 3.0\r\n"
                           "CREATED-BY: VARURAV_UDA_V 7.1.1.0\r\n"
                           "CONTEST: ZIR-QRP\r\n"
                           "CALLSIGN: D4ERI\r\n"
                           "CATEGORY-MODE: CW\r\n"
                           "CATEGORY-OPERATOR: SINGLE-OP\r\n"
                           "CATEGORY-POWER: QRP\r\n"
                           "CATEGORY-TRANSMITTER: ONE\r\n"
                           "CLUB: ZIR\r\n"
                           "NAME: Helene Dupre\r\n"
                           "ADDRESS: 1 rue des Lilas\r\n"
                           "ADDRESS-CITY: Lyon\r\n"
                           "ADDRESS-POSTALCODE: 69001\r\n"
                           "EMAIL: d4eri@example.org\r\n"
                           "OPERATORS: D4ERI\r\n"
                           "SOAPBOX: CLub nr : \r\n"
                           "\r\n";

// The sender's part of every QSO line for the station above.
const QString kSent = QStringLiteral("D4ERI         599 123  QRP ");

TEST(Cabrillo, WholeFileOfOneQsoByteForByte) {
    const LogTable table = logTableOf(
        {{"1", "40", "15/01/2024", "08:05", "D8ADO", "559", "579", "45", "QRP", "Paul"}});
    const QByteArray expected =
        kHeader + "QSO:  7000 CW 2024-01-15 0805 D4ERI         599 123  QRP D8ADO         599 45 "
                  "  QRP  \r\nEND-OF-LOG:\r\n";
    EXPECT_EQ(cabrilloFile(table, d4eri(), "7.1.1.0"), expected);
    EXPECT_EQ(cabrilloLines(table, d4eri(), "7.1.1.0").at(17).size(), 85);
}

TEST(Cabrillo, NewLogHasTheHeaderAndTheTrailerOnly) {
    EXPECT_EQ(cabrilloFile(LogTable(), d4eri(), "7.1.1.0"), kHeader + "END-OF-LOG:\r\n");
}

TEST(Cabrillo, QsoLineFields) {
    struct Case {
        QStringList row;
        QString line;
    };
    const QString blanks13(13, u' ');
    const Case cases[] = {
        // Callsign cut to 13, number cut to 4.
        {{"1", "80", "15/01/2024", "08:05", "D4ERI/QRP/MMABC", "", "", "12345", "QRO"},
         "QSO:  3500 CW 2024-01-15 0805 " + kSent + "D4ERI/QRP/MMA 599 1234 QRO  "},
        // The first "*" of the number goes, the second stays.
        {{"2", "20", "15/01/2024", "23:59", "F6ABC", "", "", "*45", "QRP"},
         "QSO: 14000 CW 2024-01-15 2359 " + kSent + "F6ABC         599 45   QRP  "},
        {{"3", "15", "15/01/2024", "00:00", "F6ABC", "", "", "4*5*", "QRP"},
         "QSO: 21000 CW 2024-01-15 0000 " + kSent + "F6ABC         599 45*  QRP  "},
        // An 8-character date has a two-digit year.
        {{"4", "10", "15/01/24", "08:05", "DL1ABC", "", "", "NM", "QRO"},
         "QSO: 28000 CW 2024-01-15 0805 " + kSent + "DL1ABC        599 NM   QRO  "},
        // A band the contest does not have gives no frequency field at all.
        {{"5", "160", "15/01/2024", "08:05", "DL1ABC", "", "", "NM", "QRO"},
         "QSO: CW 2024-01-15 0805 " + kSent + "DL1ABC        599 NM   QRO  "},
        // Short date and time cells are written as they read (taken by position they would give
        // "-/1-5/" and "8:").
        {{"6", "40", "5/1/24", "8:5", "F6ABC", "", "", "NM", "QRO"},
         "QSO:  7000 CW 2024-01-05 0805 " + kSent + "F6ABC         599 NM   QRO  "},
        // A blank line inside the log still gives a line.
        {{"6"},
         "QSO: CW --         " + QString(5, u' ') + kSent + blanks13 + " 599 " + QString(10, u' ')},
    };
    for (const Case& c : cases) {
        const LogTable table = logTableOf({c.row});
        const QStringList lines = cabrilloLines(table, d4eri(), "7.1.1.0");
        ASSERT_EQ(lines.size(), 19);
        EXPECT_EQ(lines[17], c.line) << c.row.join(u'|').toStdString();
        EXPECT_EQ(lines[18], QStringLiteral("END-OF-LOG:"));
    }
}

// A contact without a readable date or time (a stored date the grid cannot show leaves its cell
// empty) stops both reports alike, naming the line; a blank line still gives its QSO line.
TEST(Cabrillo, AContactWithoutAReadableDateOrTimeStopsTheReportNamingTheLine) {
    struct Case {
        QStringList row;
        const char* message;
    };
    const Case cases[] = {
        {{"2", "40", "", "08:05", "F6ABC"}, "Ligne 2 : '' n'est pas une date correcte"},
        {{"2", "40", "31/02/2024", "08:05", "F6ABC"},
         "Ligne 2 : '31/02/2024' n'est pas une date correcte"},
        {{"2", "40", "15/01/2024", "", "F6ABC"}, "Ligne 2 : '' n'est pas une heure correcte"},
    };
    for (const Case& c : cases) {
        const LogTable table = logTableOf({{"1", "40", "15/01/2024", "08:00", "D8ADO"}, c.row});
        for (const auto& write : std::initializer_list<std::function<void()>>{
                 [&] { (void)cabrilloLines(table, d4eri(), "7.1.1.0"); },
                 [&] {
                     (void)adifFile(table, d4eri(), "7.1.1.0",
                                    [](const QString&) { return CountryResult{}; });
                 }}) {
            try {
                write();
                ADD_FAILURE() << "written";
            } catch (const ConvertError& e) {
                EXPECT_EQ(e.message(), QString::fromUtf8(c.message));
            }
        }
    }
}

TEST(Cabrillo, HeaderFollowsTheStationExactly) {
    struct Case {
        QString clubTyped;
        QString category;
        bool qrpTicked;
        QString club;
        QString power;
        QString sentCategory;
    };
    const Case cases[] = {
        {"NM", "QRP", true, "CLUB: NM", "CATEGORY-POWER: QRP", "QRP"},
        {"nm", "QRO", true, "CLUB: ZIR", "CATEGORY-POWER: HIGH", "QRP"},
        {"", "qrp", false, "CLUB: ZIR", "CATEGORY-POWER: HIGH", "QRO"},
    };
    const LogTable table =
        logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"}});
    for (const Case& c : cases) {
        ReportStation station = d4eri();
        station.clubTyped = c.clubTyped;
        station.category = c.category;
        station.qrpTicked = c.qrpTicked;
        const QStringList lines = cabrilloLines(table, station, "7.1.1.0");
        EXPECT_EQ(lines[6], c.power);
        EXPECT_EQ(lines[8], c.club);
        // Field 9 follows the QRP box, not the station category.
        EXPECT_EQ(lines[17].mid(53, 4), c.sentCategory + u' ');
    }
}

// The robot reads ASCII: header values are transliterated, the rest of the line kept.
TEST(Cabrillo, HeaderValuesAreTransliteratedToAscii) {
    ReportStation station = d4eri();
    station.stationCall = QStringLiteral("D4ÉRI");
    station.name = QStringLiteral("Jérôme Lefèvre");
    station.street = QStringLiteral("3 “Grand’Rue”");
    station.city = QStringLiteral("Saint-Étienne");
    station.zipCode = QStringLiteral("42000\t");
    station.email = QStringLiteral("jérôme@example.org");
    station.operatorCall = QStringLiteral("D4ÉRI");
    const QStringList lines = cabrilloHeader(station, "7.1.1.0");
    EXPECT_EQ(lines[3], "CALLSIGN: D4ERI");
    EXPECT_EQ(lines[9], "NAME: Jerome Lefevre");
    EXPECT_EQ(lines[10], "ADDRESS: 3 \"Grand'Rue\"");
    EXPECT_EQ(lines[11], "ADDRESS-CITY: Saint-Etienne");
    EXPECT_EQ(lines[12], "ADDRESS-POSTALCODE: 42000 ");
    EXPECT_EQ(lines[13], "EMAIL: jerome@example.org");
    EXPECT_EQ(lines[14], "OPERATORS: D4ERI");
    EXPECT_EQ(cabrilloLines(LogTable(), station, "7.1.1.0").mid(0, 17), lines);
}

TEST(Cabrillo, FileGoesToTheFilesFolderUnderTheContestName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const LogTable table =
        logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"}});
    const struct {
        QString contest;
        QString cabrillo;
    } names[] = {{"ZIV_URU_2024@D4ERI.QRP", "ZIV_URU_2024@D4ERI.CBR"},
                 {"MYLOG", "MYLOG.CBR"},
                 {"my.log.QRP", "my.log.CBR"}};
    for (const auto& n : names) {
        const QString path = writeCabrilloFile(table, d4eri(), dir.path(), n.contest);
        EXPECT_EQ(path, dir.filePath(n.cabrillo));
        EXPECT_EQ(test::readFile(path), cabrilloFile(table, d4eri(), programVersion()));
    }

    // A second run replaces the first file.
    const QString path = writeCabrilloFile(LogTable(), d4eri(), dir.path(), "MYLOG");
    EXPECT_EQ(test::readFile(path), cabrilloFile(LogTable(), d4eri(), programVersion()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);
}

TEST(Cabrillo, MissingFilesFolderRaisesTheFileError) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    try {
        (void)writeCabrilloFile(LogTable(), d4eri(), dir.filePath("Files"), "LOG.QRP");
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable : " + dir.filePath("Files/LOG.CBR"));
    }
}

} // namespace
} // namespace vu
