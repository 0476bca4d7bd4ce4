#include "reports/cabrillo_check.h"

#include "reports/cabrillo.h"
#include "support/test_support.h"

#include <functional>
#include <gtest/gtest.h>

namespace vu {
namespace {

using test::logTableOf;

ReportStation d4eri() {
    ReportStation s;
    s.stationCall = QStringLiteral("D4ERI/P");
    s.operatorCall = QStringLiteral("D4ERI");
    s.clubNumber = QStringLiteral("123");
    s.category = QStringLiteral("QRP");
    s.email = QStringLiteral("d4eri@example.org");
    s.clubTyped = QStringLiteral("123");
    s.name = QStringLiteral("Hélène Dupré");
    s.street = QStringLiteral("1 rue des Lilas");
    s.city = QStringLiteral("Lyon");
    s.zipCode = QStringLiteral("69001");
    return s;
}

QStringList findings(const std::vector<QStringList>& rows, const ReportStation& station = d4eri()) {
    return checkCabrillo(logTableOf(rows), station, "7.1.1.0").lines();
}

const QStringList kGood = {"1", "40", "15/01/2024", "08:05", "D8ADO", "599", "599", "45", "QRP"};

TEST(CabrilloCheck, AReportTheRobotTakesHasNoFinding) {
    const CabrilloCheck check = checkCabrillo(
        logTableOf({kGood,
                    {"2", "20", "15/01/2024", "08:06", "DL1ABC/P", "", "", "NM", "QRO"},
                    {"3", "40", "16/01/2024", "09:00", "F6ABC", "", "", "*45", "QRP"}}),
        d4eri(), "7.1.1.0");
    EXPECT_TRUE(check.empty()) << check.lines().join(u'\n').toStdString();
    EXPECT_FALSE(check.hasErrors());
    EXPECT_TRUE(checkCabrillo(LogTable(), d4eri(), "7.1.1.0").empty());
}

TEST(CabrilloCheck, StationValuesTheRobotNeeds) {
    struct Case {
        std::function<void(ReportStation&)> change;
        QStringList findings;
    };
    const Case cases[] = {
        {[](ReportStation& s) { s.stationCall.clear(); }, {"error: CALLSIGN is empty"}},
        {[](ReportStation& s) { s.name = "  "; }, {"error: NAME is empty"}},
        {[](ReportStation& s) { s.email.clear(); }, {"error: EMAIL is empty"}},
        {[](ReportStation& s) { s.street.clear(); }, {"warning: ADDRESS is empty"}},
        // Accents are transliterated, not refused.
        {[](ReportStation& s) { s.city = "Besançon\tCedex"; }, {}},
        {[](ReportStation& s) { s.stationCall = "d4eri"; },
         {"error: QSO lines: station callsign \"d4eri\" holds a character outside A-Z, 0-9 and "
          "\"/\""}},
        {[](ReportStation& s) { s.clubNumber.clear(); },
         {"error: QSO lines: sent club number \"\" is neither a number nor \"NM\""}},
        {[](ReportStation& s) { s.clubNumber = "NM"; }, {}},
        // The QSO line's fields are 13 and 4 characters wide: what is longer loses its end.
        {[](ReportStation& s) { s.stationCall = "D4ERI/QRP/MMABC"; },
         {"warning: QSO lines: station callsign \"D4ERI/QRP/MMABC\" is cut to 13 characters "
          "(\"D4ERI/QRP/MMA\")"}},
        {[](ReportStation& s) { s.clubNumber = "12345"; },
         {"warning: QSO lines: sent club number \"12345\" is cut to 4 characters (\"1234\")"}},
    };
    for (const Case& c : cases) {
        ReportStation station = d4eri();
        c.change(station);
        EXPECT_EQ(findings({kGood}, station), c.findings) << c.findings.join(u'|').toStdString();
    }
}

TEST(CabrilloCheck, HeaderLinesFollowTheCabrilloRules) {
    struct Case {
        QString line;
        QStringList findings;
    };
    const Case cases[] = {
        {"CATEGORY-BAND: 40M", {}},
        {"X-CLUB-ROSTER: 2021", {}},
        {"CATEGORY-STATION: PORTABLE", {}},
        {"FREQUENCY: 7000", {"error: header line \"FREQUENCY: 7000\" has no Cabrillo 3.0 tag"}},
        {"no tag here", {"error: header line \"no tag here\" has no Cabrillo 3.0 tag"}},
        {"CATEGORY-POWER: MEDIUM",
         {"error: CATEGORY-POWER: \"MEDIUM\" is not a Cabrillo 3.0 value"}},
        {"CATEGORY-MODE: cw", {"error: CATEGORY-MODE: \"cw\" is not a Cabrillo 3.0 value"}},
        {"CATEGORY-COLOUR: RED",
         {"error: header line \"CATEGORY-COLOUR: RED\" has no Cabrillo 3.0 tag"}},
        {"CONTEST: ZIR QRP",
         {"error: CONTEST: \"ZIR QRP\" is not 1 to 32 characters of A-Z, 0-9 and \"-\""}},
        {"CONTEST: " + QString(33, u'A'),
         {"error: CONTEST: \"" + QString(33, u'A') +
          "\" is not 1 to 32 characters of A-Z, 0-9 and \"-\""}},
        {"SOAPBOX: déjà", {"error: SOAPBOX holds a character outside printable ASCII"}},
    };
    for (const Case& c : cases) {
        const QStringList header = {"START-OF-LOG: 3.0", "CALLSIGN: D4ERI",  "NAME: Helene",
                                    "ADDRESS: 1 rue",    "EMAIL: d@e.org",   c.line,
                                    "CONTEST: ZIR-QRP",  "CREATED-BY: V 1.0"};
        EXPECT_EQ(checkCabrilloHeader(header).lines(), c.findings) << c.line.toStdString();
    }
    EXPECT_EQ(checkCabrilloHeader(
                  {"CALLSIGN: D4ERI", "START-OF-LOG: 2.0", "NAME: a", "EMAIL: b", "ADDRESS: c"})
                  .lines(),
              (QStringList{"error: the report does not begin with START-OF-LOG",
                           "error: START-OF-LOG: \"2.0\" is not version 3.0"}));
    // The header the writer makes passes.
    EXPECT_TRUE(checkCabrilloHeader(cabrilloHeader(d4eri(), "7.1.1.0")).empty());
}

TEST(CabrilloCheck, QsoLineFindingsNameTheLogLine) {
    struct Case {
        QStringList row;
        QStringList findings;
    };
    const Case cases[] = {
        {{"1", "160", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
         {"error: line 2: band \"160\" gives no frequency"}},
        {{"1", "", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
         {"error: line 2: no band, so no frequency"}},
        // The writer refuses these; the check still reads the line.
        {{"1", "40", "", "08:05", "D8ADO", "", "", "45", "QRP"}, {"error: line 2: empty date"}},
        {{"1", "40", "31/02/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
         {"error: line 2: invalid date \"31/02/2024\""}},
        {{"1", "40", "15/01/2024", " ", "D8ADO", "", "", "45", "QRP"},
         {"error: line 2: empty time"}},
        {{"1", "40", "15/01/2024", "25:00", "D8ADO", "", "", "45", "QRP"},
         {"error: line 2: invalid time \"25:00\""}},
        {{"1", "40", "15/01/2024", "08:05", "D8-ADO", "", "", "45", "QRP"},
         {"error: line 2: worked callsign \"D8-ADO\" holds a character outside A-Z, 0-9 and "
          "\"/\""}},
        {{"1", "40", "15/01/2024", "08:05", "D8ÄDO", "", "", "45", "QRP"},
         {"error: line 2: worked callsign \"D8ÄDO\" holds a character outside A-Z, 0-9 and "
          "\"/\""}},
        {{"1", "40", "15/01/2024", "08:05", " D8ADO", "", "", "45", "QRP"},
         {"error: line 2: worked callsign \" D8ADO\" holds a character outside A-Z, 0-9 and "
          "\"/\""}},
        {{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "", "QRP"},
         {"error: line 2: empty received club number"}},
        {{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "nm", "QRP"},
         {"error: line 2: received club number \"nm\" is neither a number nor \"NM\""}},
        {{"1", "40", "15/01/2024", "08:05", "D4ERI/QRP/MMABC", "", "", "12345", "QRP"},
         {"warning: line 2: worked callsign \"D4ERI/QRP/MMABC\" is cut to 13 characters "
          "(\"D4ERI/QRP/MMA\")",
          "warning: line 2: received club number \"12345\" is cut to 4 characters (\"1234\")"}},
        // The writer drops the first "*": what is left must still be a number.
        {{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "4*5*", "QRP"},
         {"error: line 2: received club number \"45*\" is neither a number nor \"NM\""}},
        // A blank line still gives a QSO line, which has nothing a robot takes.
        {{"2"},
         {"error: line 2: no band, so no frequency", "error: line 2: empty date",
          "error: line 2: empty time", "error: line 2: empty worked callsign",
          "error: line 2: empty received club number"}},
    };
    for (const Case& c : cases) {
        const QStringList first = {"1", "40", "15/01/2024", "08:00", "F6ABC", "", "", "NM", "QRP"};
        EXPECT_EQ(findings({first, c.row}), c.findings) << c.row.join(u'|').toStdString();
        EXPECT_EQ(checkCabrillo(logTableOf({first, c.row}), d4eri(), "7.1.1.0").hasErrors(),
                  c.findings.first().startsWith("error: "));
    }
}

TEST(CabrilloCheck, OrderDuplicatesAndSpanAreWarnings) {
    const CabrilloCheck check = checkCabrillo(
        logTableOf({
            {"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
            {"2", "40", "15/01/2024", "08:01", "F6ABC", "", "", "NM", "QRP"},
            {"3", "20", "15/01/2024", "08:06", "D8ADO", "", "", "45", "QRP"},   // other band
            {"4", "40", "15/01/2024", "08:07", "D8ADO/P", "", "", "45", "QRP"}, // other station
            {"5", "40", "17/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
            {"6", "40", "17/01/2024", "08:06", "F6ABC", "", "", "NM", "QRP"},
        }),
        d4eri(), "7.1.1.0");
    EXPECT_EQ(check.lines(),
              (QStringList{"warning: line 2: out of time order (earlier than line 1)",
                           "warning: line 5: duplicate of line 1 (D8ADO on 40 m)",
                           "warning: line 6: duplicate of line 2 (F6ABC on 40 m)",
                           "warning: QSOs spread over 48.1 hours (line 2 to line 6), more than "
                           "48"}));
    EXPECT_FALSE(check.hasErrors());

    // Exactly 48 hours is within the span.
    EXPECT_TRUE(findings({{"1", "40", "15/01/2024", "08:05", "D8ADO", "", "", "45", "QRP"},
                          {"2", "40", "17/01/2024", "08:05", "F6ABC", "", "", "NM", "QRP"}})
                    .isEmpty());
}

} // namespace
} // namespace vu
