#include "reports/adif.h"

#include "platform/errors.h"
#include "platform/version.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace vu {
namespace {

using test::logTableOf;

ReportStation d4eri() {
    ReportStation s;
    s.stationCall = QStringLiteral("D4ERI/P");
    s.operatorCall = QStringLiteral("D4ERI");
    s.category = QStringLiteral("QRP");
    s.acceptedName = QStringLiteral("Hélène Dupré");
    s.name = QStringLiteral("typed, not accepted");
    s.street = QStringLiteral("1 rue des Lilas");
    s.city = QStringLiteral("Lyon");
    s.zipCode = QStringLiteral("69001");
    s.emailTyped = QStringLiteral("d4eri@example.org ");
    return s;
}

// A country table of two entries that remembers what it was asked.
struct FakeCountries {
    std::map<QString, CountryResult> entries = {
        {"D8ADO", {"D8", "Franceland", "F", "EU", "227"}},
        {"DL1ABC", {"DL", "Germanland", "DL", "EU", "230"}},
    };
    QStringList asked;

    CountryLookup lookUp() {
        return [this](const QString& call) {
            asked << call;
            const auto it = entries.find(call);
            return it == entries.end() ? CountryResult{} : it->second;
        };
    }
};

const QString kMine =
    QStringLiteral("<MY_NAME:12>Hélène Dupré <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
                   "<MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon <MY_POSTAL_CODE:5>69001 "
                   "<MY_EMAIL:18>d4eri@example.org  ");

TEST(Adif, WholeFileByteForByte) {
    const LogTable table = logTableOf({
        {"1", "40", "15/01/2024", "08:05", "D8ADO", "599", "599", "45", "QRP", "Zoé"},
        {"2"}, // a blank line gives no record
        {"3", "20", "16/01/2024", "23:59", "DL1ABC", "229", "339", "NM", "QRO"},
    });
    FakeCountries countries;
    const QByteArray expected =
        "<ADIF_VER:5>3.1.3\r\n"
        "<PROGRAMID:11>VARURAV_UDA\r\n"
        "<PROGRAMVERSION:7>7.1.1.0\r\n"
        "<APP_ZIR_CATEGORY:3>QRP\r\n"
        "<CONTEST_ID:16>ZARIZEVU DEZ-EDU\r\n"
        "<EOH>\r\n"
        "\r\n"
        "<MY_NAME:12>H\xE9l\xE8ne Dupr\xE9 <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
        "<MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon <MY_POSTAL_CODE:5>69001 "
        "<MY_EMAIL:18>d4eri@example.org  <CALL:5>D8ADO <COUNTRY:1>F <DXCC:3>227 <CONT:2>EU "
        "<QSO_DATE:8>20240115 <TIME_ON:4>0805 <MODE:2>CW <BAND:3>40M <FREQ:1>7 <RST_SENT:3>599 "
        "<RST_RCVD:3>599 <NAME:3>Zo\xE9 <APP_LOGGER32_USER_1:2>45 <SRX:2>45 <SRX_STRING:3>ZIR "
        "<EOR>\r\n"
        "<MY_NAME:12>H\xE9l\xE8ne Dupr\xE9 <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
        "<MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon <MY_POSTAL_CODE:5>69001 "
        "<MY_EMAIL:18>d4eri@example.org  <CALL:6>DL1ABC <COUNTRY:2>DL <DXCC:3>230 <CONT:2>EU "
        "<QSO_DATE:8>20240116 <TIME_ON:4>2359 <MODE:2>CW <BAND:3>20M <FREQ:2>14 <RST_SENT:3>229 "
        "<RST_RCVD:3>339 <APP_LOGGER32_USER_1:2>NM <SRX:2>NM <EOR>\r\n";
    EXPECT_EQ(adifFile(table, d4eri(), "7.1.1.0", countries.lookUp()), expected);
    EXPECT_EQ(countries.asked, (QStringList{"D8ADO", "DL1ABC"}));
}

TEST(Adif, NewLogGivesTheHeaderOnly) {
    FakeCountries countries;
    ReportStation station = d4eri();
    station.category = QStringLiteral("QRO");
    EXPECT_EQ(adifFile(LogTable(), station, "7.1.1.0", countries.lookUp()),
              QByteArray("<ADIF_VER:5>3.1.3\r\n<PROGRAMID:11>VARURAV_UDA\r\n"
                         "<PROGRAMVERSION:7>7.1.1.0\r\n<APP_ZIR_CATEGORY:3>QRO\r\n"
                         "<CONTEST_ID:16>ZARIZEVU DEZ-EDU\r\n<EOH>\r\n\r\n"));
}

TEST(Adif, RecordFields) {
    struct Case {
        QStringList row;
        QString qso; // the record after the station's fields
    };
    const Case cases[] = {
        // Not a member: no SRX_STRING.
        {{"1", "80", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM", "QRO"},
         "<CALL:5>D8ADO <COUNTRY:1>F <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:3>80M <FREQ:3>3.5 <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:2>NM <SRX:2>NM <EOR>"},
        // No member number: an empty SRX and the club's SRX_STRING; empty reports.
        {{"1", "15", "15/01/2024", "08:05", "D8ADO", "", "", ""},
         "<CALL:5>D8ADO <COUNTRY:1>F <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:3>15M <FREQ:2>21 <RST_SENT:0> <RST_RCVD:0> <SRX:0> <SRX_STRING:3>ZIR "
         "<EOR>"},
        // A band the contest does not have: a lone blank for FREQ. The "*" of a number stays.
        {{"1", "160", "15/01/2024", "08:05", "D8ADO", "599", "599", "*45"},
         "<CALL:5>D8ADO <COUNTRY:1>F <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:4>160M  <RST_SENT:3>599 <RST_RCVD:3>599 <APP_LOGGER32_USER_1:3>*45 "
         "<SRX:3>*45 <SRX_STRING:3>ZIR <EOR>"},
        {{"1", "", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM"},
         "<CALL:5>D8ADO <COUNTRY:1>F <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:1>M  <RST_SENT:3>599 <RST_RCVD:3>599 <APP_LOGGER32_USER_1:2>NM "
         "<SRX:2>NM <EOR>"},
        // The callsign is trimmed, and looked up trimmed; short date and time cells are
        // written at full width; names count characters, not bytes.
        {{"1", "10", "5/1/24", "8:5", "  DL1ABC ", "5", "9", "12", "QRP", "Łukasz"},
         "<CALL:6>DL1ABC <COUNTRY:2>DL <DXCC:3>230 <CONT:2>EU <QSO_DATE:8>20240105 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:3>10M <FREQ:2>28 <RST_SENT:1>5 <RST_RCVD:1>9 "
         "<NAME:6>Łukasz <APP_LOGGER32_USER_1:2>12 <SRX:2>12 <SRX_STRING:3>ZIR <EOR>"},
        // A callsign the table cannot place gives empty country fields.
        {{"1", "20", "15/01/2024", "08:05", "XX9XX", "599", "599", "NM"},
         "<CALL:5>XX9XX <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:3>20M <FREQ:2>14 <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:2>NM <SRX:2>NM <EOR>"},
    };
    for (const Case& c : cases) {
        FakeCountries countries;
        const QStringList lines =
            adifLines(logTableOf({c.row}), d4eri(), "7.1.1.0", countries.lookUp());
        ASSERT_EQ(lines.size(), 8);
        EXPECT_EQ(lines[7], kMine + c.qso) << c.row.join(u'|').toStdString();
    }
}

TEST(Adif, QroStationSendsOneHundredWatts) {
    ReportStation station = d4eri();
    station.category = QStringLiteral("QRO");
    FakeCountries countries;
    const QStringList lines =
        adifLines(logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "NM"}}), station,
                  "7.1.1.0", countries.lookUp());
    EXPECT_EQ(lines[3], QStringLiteral("<APP_ZIR_CATEGORY:3>QRO"));
    EXPECT_TRUE(lines[7].contains(QStringLiteral(" <TX_PWR:3>100 <MY_STREET:")));
}

TEST(Adif, CallsignTheTableTakesNoLookupForGetsNoCountry) {
    // The table keeps its previous answer for such a callsign; the record must not carry it.
    FakeCountries countries;
    const QStringList lines =
        adifLines(logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "NM"},
                              {"2", "40", "15/01/2024", "08:06", "/P", "", "", "NM"},
                              {"3", "40", "15/01/2024", "08:07", "   ", "", "", "NM"}}),
                  d4eri(), "7.1.1.0", countries.lookUp());
    ASSERT_EQ(lines.size(), 10);
    EXPECT_TRUE(lines[8].contains(
        QStringLiteral("<CALL:2>/P <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 ")));
    EXPECT_TRUE(lines[9].contains(
        QStringLiteral("<CALL:0> <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 ")));
    EXPECT_EQ(countries.asked, QStringList{"D8ADO"});
}

TEST(Adif, FileGoesBesideTheContestFileAndAnUnreadableCellWritesNothing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CountryTable countries(dir.path());
    const LogTable good =
        logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM"}});
    const QString path = writeAdifFile(good, d4eri(), countries, dir.path(), "MYLOG.QRP");
    EXPECT_EQ(path, dir.filePath("MYLOG.ADI"));
    const QByteArray written = test::readFile(path);
    EXPECT_EQ(written, adifFile(good, d4eri(), programVersion(),
                                [](const QString&) { return CountryResult{}; }));

    const LogTable bad =
        logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM"},
                    {"2", "40", "31/02/2024", "08:05", "F6ABC", "599", "599", "NM"}});
    try {
        (void)writeAdifFile(bad, d4eri(), countries, dir.path(), "MYLOG.QRP");
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Ligne 2 : '31/02/2024' n'est pas une date correcte"));
    }
    // The earlier export stays whole rather than cut at the bad row.
    EXPECT_EQ(test::readFile(path), written);
}

} // namespace
} // namespace vu
