#include "reports/adif.h"

#include "platform/errors.h"
#include "platform/version.h"
#include "support/adif_reader.h"
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
    QStringLiteral("<MY_NAME:12>Helene Dupre <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
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
        "VARURAV_UDA ADIF export\r\n"
        "<ADIF_VER:5>3.1.3\r\n"
        "<PROGRAMID:11>VARURAV_UDA\r\n"
        "<PROGRAMVERSION:7>7.1.1.0\r\n"
        "<APP_ZIR_CATEGORY:3>QRP\r\n"
        "<CONTEST_ID:16>ZARIZEVU DEZ-EDU\r\n"
        "<EOH>\r\n"
        "\r\n"
        "<MY_NAME:12>Helene Dupre <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
        "<MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon <MY_POSTAL_CODE:5>69001 "
        "<MY_EMAIL:18>d4eri@example.org  <CALL:5>D8ADO <COUNTRY:10>Franceland <DXCC:3>227 "
        "<CONT:2>EU <QSO_DATE:8>20240115 <TIME_ON:4>0805 <MODE:2>CW <BAND:3>40M <FREQ:1>7 "
        "<RST_SENT:3>599 <RST_RCVD:3>599 <NAME:3>Zoe <APP_LOGGER32_USER_1:2>45 <SRX:2>45 "
        "<SRX_STRING:2>45 <EOR>\r\n"
        "<MY_NAME:12>Helene Dupre <OPERATOR:5>D4ERI <MY_STATION:7>D4ERI/P <TX_PWR:1>5 "
        "<MY_STREET:15>1 rue des Lilas <MY_CITY:4>Lyon <MY_POSTAL_CODE:5>69001 "
        "<MY_EMAIL:18>d4eri@example.org  <CALL:6>DL1ABC <COUNTRY:10>Germanland <DXCC:3>230 "
        "<CONT:2>EU <QSO_DATE:8>20240116 <TIME_ON:4>2359 <MODE:2>CW <BAND:3>20M <FREQ:2>14 "
        "<RST_SENT:3>229 <RST_RCVD:3>339 <APP_LOGGER32_USER_1:2>NM <SRX_STRING:2>NM <EOR>\r\n";
    EXPECT_EQ(adifFile(table, d4eri(), "7.1.1.0", countries.lookUp()), expected);
    EXPECT_EQ(countries.asked, (QStringList{"D8ADO", "DL1ABC"}));
}

TEST(Adif, NewLogGivesTheHeaderOnly) {
    FakeCountries countries;
    ReportStation station = d4eri();
    station.category = QStringLiteral("QRO");
    EXPECT_EQ(adifFile(LogTable(), station, "7.1.1.0", countries.lookUp()),
              QByteArray("VARURAV_UDA ADIF export\r\n<ADIF_VER:5>3.1.3\r\n"
                         "<PROGRAMID:11>VARURAV_UDA\r\n"
                         "<PROGRAMVERSION:7>7.1.1.0\r\n<APP_ZIR_CATEGORY:3>QRO\r\n"
                         "<CONTEST_ID:16>ZARIZEVU DEZ-EDU\r\n<EOH>\r\n\r\n"));
}

TEST(Adif, RecordFields) {
    struct Case {
        QStringList row;
        QString qso; // the record after the station's fields
    };
    const Case cases[] = {
        // Not a member: "NM" is the received exchange, and no number for SRX.
        {{"1", "80", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM", "QRO"},
         "<CALL:5>D8ADO <COUNTRY:10>Franceland <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:3>80M <FREQ:3>3.5 <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:2>NM <SRX_STRING:2>NM <EOR>"},
        // No member number: neither SRX nor SRX_STRING; empty reports.
        {{"1", "15", "15/01/2024", "08:05", "D8ADO", "", "", ""},
         "<CALL:5>D8ADO <COUNTRY:10>Franceland <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:3>15M <FREQ:2>21 <RST_SENT:0> <RST_RCVD:0> <EOR>"},
        // A band the contest does not have: a lone blank for FREQ. The "*" of a number stays,
        // and makes it no integer for SRX.
        {{"1", "160", "15/01/2024", "08:05", "D8ADO", "599", "599", "*45"},
         "<CALL:5>D8ADO <COUNTRY:10>Franceland <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:4>160M  <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:3>*45 <SRX_STRING:3>*45 <EOR>"},
        {{"1", "", "15/01/2024", "08:05", "D8ADO", "599", "599", "NM"},
         "<CALL:5>D8ADO <COUNTRY:10>Franceland <DXCC:3>227 <CONT:2>EU <QSO_DATE:8>20240115 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:1>M  <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:2>NM <SRX_STRING:2>NM <EOR>"},
        // The callsign is trimmed, and looked up trimmed; short date and time cells are
        // written at full width; names are transliterated, and their lengths counted after.
        {{"1", "10", "5/1/24", "8:5", "  DL1ABC ", "5", "9", "12", "QRP", "Łukasz"},
         "<CALL:6>DL1ABC <COUNTRY:10>Germanland <DXCC:3>230 <CONT:2>EU <QSO_DATE:8>20240105 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:3>10M <FREQ:2>28 <RST_SENT:1>5 <RST_RCVD:1>9 "
         "<NAME:6>Lukasz <APP_LOGGER32_USER_1:2>12 <SRX:2>12 <SRX_STRING:2>12 <EOR>"},
        {{"1", "10", "15/01/2024", "08:05", "DL1ABC", "599", "599", "007", "QRP", "Jürgen Groß"},
         "<CALL:6>DL1ABC <COUNTRY:10>Germanland <DXCC:3>230 <CONT:2>EU <QSO_DATE:8>20240115 "
         "<TIME_ON:4>0805 <MODE:2>CW <BAND:3>10M <FREQ:2>28 <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<NAME:12>Jurgen Gross <APP_LOGGER32_USER_1:3>007 <SRX:3>007 <SRX_STRING:3>007 <EOR>"},
        // A callsign the table cannot place gives empty country fields.
        {{"1", "20", "15/01/2024", "08:05", "XX9XX", "599", "599", "NM"},
         "<CALL:5>XX9XX <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 <TIME_ON:4>0805 "
         "<MODE:2>CW <BAND:3>20M <FREQ:2>14 <RST_SENT:3>599 <RST_RCVD:3>599 "
         "<APP_LOGGER32_USER_1:2>NM <SRX_STRING:2>NM <EOR>"},
    };
    for (const Case& c : cases) {
        FakeCountries countries;
        const QStringList lines =
            adifLines(logTableOf({c.row}), d4eri(), "7.1.1.0", countries.lookUp());
        ASSERT_EQ(lines.size(), 9);
        EXPECT_EQ(lines[8], kMine + c.qso) << c.row.join(u'|').toStdString();
    }
}

TEST(Adif, QroStationSendsOneHundredWatts) {
    ReportStation station = d4eri();
    station.category = QStringLiteral("QRO");
    FakeCountries countries;
    const QStringList lines =
        adifLines(logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "NM"}}), station,
                  "7.1.1.0", countries.lookUp());
    EXPECT_EQ(lines[4], QStringLiteral("<APP_ZIR_CATEGORY:3>QRO"));
    EXPECT_TRUE(lines[8].contains(QStringLiteral(" <TX_PWR:3>100 <MY_STREET:")));
}

TEST(Adif, CallsignTheTableTakesNoLookupForGetsNoCountry) {
    // The table keeps its previous answer for such a callsign; the record must not carry it.
    FakeCountries countries;
    const QStringList lines =
        adifLines(logTableOf({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "NM"},
                              {"2", "40", "15/01/2024", "08:06", "/P", "", "", "NM"},
                              {"3", "40", "15/01/2024", "08:07", "   ", "", "", "NM"}}),
                  d4eri(), "7.1.1.0", countries.lookUp());
    ASSERT_EQ(lines.size(), 11);
    EXPECT_TRUE(lines[9].contains(
        QStringLiteral("<CALL:2>/P <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 ")));
    EXPECT_TRUE(lines[10].contains(
        QStringLiteral("<CALL:0> <COUNTRY:0> <DXCC:0> <CONT:0> <QSO_DATE:8>20240115 ")));
    EXPECT_EQ(countries.asked, QStringList{"D8ADO"});
}

// What a reader that follows the ADIF rules makes of the file: the header as a header, every
// record's fields as written, every value printable ASCII.
TEST(Adif, AStandardReaderReadsTheHeaderAndEveryField) {
    const LogTable table = logTableOf({
        {"1", "40", "15/01/2024", "08:05", "D8ADO", "599", "579", "45", "QRP", "Jérôme"},
        {"2", "20", "15/01/2024", "08:06", "DL1ABC", "559", "599", "NM", "QRO", "Lefèvre"},
    });
    ReportStation station = d4eri();
    station.acceptedName = QStringLiteral("Frédérique Lefèvre");
    station.city = QStringLiteral("Saint-Étienne");
    FakeCountries countries;
    countries.entries["D8ADO"].entity = QStringLiteral("Réunion");
    const QByteArray bytes = adifFile(table, station, "7.1.1.0", countries.lookUp());
    for (const char c : bytes) {
        EXPECT_TRUE((c >= 32 && c <= 126) || c == '\r' || c == '\n') << int(c);
    }

    const test::AdifRead read = test::readAdi(bytes);
    ASSERT_TRUE(read.problem.isEmpty()) << read.problem.toStdString();
    EXPECT_TRUE(read.hasHeader);
    EXPECT_EQ(read.headerText, "VARURAV_UDA ADIF export\r\n");
    EXPECT_EQ(test::adifValue(read.header, "ADIF_VER"), "3.1.3");
    EXPECT_EQ(test::adifValue(read.header, "PROGRAMID"), "VARURAV_UDA");
    EXPECT_EQ(test::adifValue(read.header, "PROGRAMVERSION"), "7.1.1.0");
    ASSERT_EQ(read.records.size(), 2u);
    const test::AdifRead::Fields mine = {
        {"MY_NAME", "Frederique Lefevre"}, {"OPERATOR", "D4ERI"},
        {"MY_STATION", "D4ERI/P"},         {"TX_PWR", "5"},
        {"MY_STREET", "1 rue des Lilas"},  {"MY_CITY", "Saint-Etienne"},
        {"MY_POSTAL_CODE", "69001"},       {"MY_EMAIL", "d4eri@example.org "},
    };
    test::AdifRead::Fields first = mine;
    first.insert(first.end(), {{"CALL", "D8ADO"},
                               {"COUNTRY", "Reunion"},
                               {"DXCC", "227"},
                               {"CONT", "EU"},
                               {"QSO_DATE", "20240115"},
                               {"TIME_ON", "0805"},
                               {"MODE", "CW"},
                               {"BAND", "40M"},
                               {"FREQ", "7"},
                               {"RST_SENT", "599"},
                               {"RST_RCVD", "579"},
                               {"NAME", "Jerome"},
                               {"APP_LOGGER32_USER_1", "45"},
                               {"SRX", "45"},
                               {"SRX_STRING", "45"}});
    EXPECT_EQ(read.records[0], first);
    test::AdifRead::Fields second = mine;
    second.insert(second.end(), {{"CALL", "DL1ABC"},
                                 {"COUNTRY", "Germanland"},
                                 {"DXCC", "230"},
                                 {"CONT", "EU"},
                                 {"QSO_DATE", "20240115"},
                                 {"TIME_ON", "0806"},
                                 {"MODE", "CW"},
                                 {"BAND", "20M"},
                                 {"FREQ", "14"},
                                 {"RST_SENT", "559"},
                                 {"RST_RCVD", "599"},
                                 {"NAME", "Lefevre"},
                                 {"APP_LOGGER32_USER_1", "NM"},
                                 {"SRX_STRING", "NM"}});
    EXPECT_EQ(read.records[1], second);

    // The reader is strict where it matters: a file that begins with "<" has no header, and
    // its header fields fold into the first record.
    const test::AdifRead headless = test::readAdi("<ADIF_VER:5>3.1.3 <EOH>\r\n<CALL:2>F6 <EOR>");
    EXPECT_FALSE(headless.hasHeader);
    EXPECT_FALSE(headless.problem.isEmpty());
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
