#include "reports/adif.h"

#include "contest_log/contest_file.h"
#include "contest_log/log_format.h"
#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/version.h"

namespace vu {

namespace {

// An element followed by the blank that separates it from the next one.
QString element(QStringView name, const QString& value) {
    return adifElement(name, value) + QLatin1Char(' ');
}

// The FREQ element of a band, in megahertz, with its blank; only the blank for an unknown band.
QString frequencyElement(const QString& band) {
    static const QStringList bands = {"80", "40", "20", "15", "10"};
    static const QStringList megahertz = {"3.5", "7", "14", "21", "28"};
    const qsizetype i = bands.indexOf(band);
    return i < 0 ? QStringLiteral(" ") : element(u"FREQ", megahertz[i]);
}

// The country of a record's callsign. A callsign that the table takes no lookup for (empty, or
// beginning with "/") would leave the previous record's country: it gets none instead.
CountryResult countryOf(const QString& call, const CountryLookup& lookUp) {
    if (call.isEmpty() || call.startsWith(u'/')) {
        return {};
    }
    return lookUp(call);
}

} // namespace

QString adifElement(QStringView name, const QString& value) {
    // Lengths count the characters as written: a character outside the code page becomes one "?".
    return u'<' + name.toString() + u':' + QString::number(toCp1252(value).size()) + u'>' + value;
}

QStringList adifLines(const LogTable& table, const ReportStation& station, const QString& version,
                      const CountryLookup& lookUp) {
    QStringList lines = {
        QStringLiteral("<ADIF_VER:5>3.1.3"),
        QStringLiteral("<PROGRAMID:11>VARURAV_UDA"),
        adifElement(u"PROGRAMVERSION", version),
        adifElement(u"APP_ZIR_CATEGORY", station.category),
        QStringLiteral("<CONTEST_ID:16>ZARIZEVU DEZ-EDU"),
        QStringLiteral("<EOH>"),
        QString(),
    };

    // The station's part is the same in every record.
    const QString mine =
        element(u"MY_NAME", station.acceptedName) + element(u"OPERATOR", station.operatorCall) +
        element(u"MY_STATION", station.stationCall) +
        (station.category == QLatin1String("QRP") ? QStringLiteral("<TX_PWR:1>5 ")
                                                  : QStringLiteral("<TX_PWR:3>100 ")) +
        element(u"MY_STREET", station.street) + element(u"MY_CITY", station.city) +
        element(u"MY_POSTAL_CODE", station.zipCode) + element(u"MY_EMAIL", station.emailTyped);

    // Rows up to the entry row; those without a callsign (blank lines, the empty entry row)
    // give no record.
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(Col::Call, row).isEmpty()) {
            continue;
        }
        const QString call = table.cell(Col::Call, row).trimmed();
        const CountryResult country = countryOf(call, lookUp);
        const QString& band = table.cell(Col::Band, row);
        const QString& member = table.cell(Col::Member, row);
        const QString& firstName = table.cell(Col::FirstName, row);

        QString record =
            mine + element(u"CALL", call) + element(u"COUNTRY", country.dxccPrefix) +
            element(u"DXCC", country.adif) + element(u"CONT", country.continent) +
            element(u"QSO_DATE", formatCompactDate(parseLogDate(table.cell(Col::Date, row)))) +
            element(u"TIME_ON", formatCompactTime(parseLogTime(table.cell(Col::Time, row)))) +
            QStringLiteral("<MODE:2>CW ") + element(u"BAND", band + u'M') + frequencyElement(band) +
            element(u"RST_SENT", table.cell(Col::RstSent, row)) +
            element(u"RST_RCVD", table.cell(Col::RstRcvd, row));
        if (!firstName.isEmpty()) {
            record += element(u"NAME", firstName);
        }
        if (!member.isEmpty()) {
            record += element(u"APP_LOGGER32_USER_1", member);
        }
        record += element(u"SRX", member);
        if (member != QLatin1String("NM")) {
            record += QStringLiteral("<SRX_STRING:3>ZIR ");
        }
        lines << record + QStringLiteral("<EOR>");
    }
    return lines;
}

QByteArray adifFile(const LogTable& table, const ReportStation& station, const QString& version,
                    const CountryLookup& lookUp) {
    return cp1252Lines(adifLines(table, station, version, lookUp));
}

QString adifFileName(const QString& contestFileName) {
    return replaceExtension(contestFileName, u".ADI");
}

QString writeAdifFile(const LogTable& table, const ReportStation& station, CountryTable& countries,
                      const QString& contestFolder, const QString& contestFileName) {
    const QString path = contestFolder + QLatin1Char('/') + adifFileName(contestFileName);
    const QByteArray bytes =
        adifFile(table, station, programVersion(),
                 [&countries](const QString& call) { return countries.lookUpCountry(call); });
    writeFileAtomically(path, bytes);
    return path;
}

} // namespace vu
