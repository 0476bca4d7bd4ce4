#include "reports/adif.h"

#include "contest_log/log_format.h"
#include "platform/ascii_text.h"
#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/version.h"

#include <charconv>

namespace vu {

namespace {

// Appends "<NAME:length>value". ADI values hold printable ASCII only, so the value is
// transliterated first and its length counted after that.
void appendElement(QString& out, QStringView name, QStringView value) {
    QString transliterated;
    if (!isPrintableAscii(value)) {
        transliterated = toAsciiText(value);
        value = transliterated;
    }
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value.size()).ptr;
    out += u'<';
    out += name;
    out += u':';
    out += QLatin1StringView(digits, end - digits);
    out += u'>';
    out += value;
}

// Appends an element and the blank that separates it from the next one.
void appendField(QString& out, QStringView name, QStringView value) {
    appendElement(out, name, value);
    out += u' ';
}

QString headerElement(QStringView name, QStringView value) {
    QString out;
    appendElement(out, name, value);
    return out;
}

// Appends the FREQ field of a band in megahertz; only its blank for an unknown band.
void appendFrequency(QString& out, const QString& band) {
    static const QStringList bands = {"80", "40", "20", "15", "10"};
    static const QStringList megahertz = {"3.5", "7", "14", "21", "28"};
    const qsizetype i = bands.indexOf(band);
    if (i < 0) {
        out += u' ';
    } else {
        appendField(out, u"FREQ", megahertz[i]);
    }
}

// The country of a record's callsign. A callsign that the table takes no lookup for (empty, or
// beginning with "/") would leave the previous record's country: it gets none instead.
CountryResult countryOf(const QString& call, const CountryLookup& lookUp) {
    if (call.isEmpty() || call.startsWith(u'/')) {
        return {};
    }
    return lookUp(call);
}

// Hands each line of the file to `emit`, in order.
template <typename Emit>
void produceLines(const LogTable& table, const ReportStation& station, const QString& version,
                  const CountryLookup& lookUp, Emit emit) {
    // A reader takes a file that begins with "<" as having no header: the header begins with
    // a line of text.
    const QString header[] = {
        QStringLiteral("VARURAV_UDA ADIF export"),
        QStringLiteral("<ADIF_VER:5>3.1.3"),
        QStringLiteral("<PROGRAMID:11>VARURAV_UDA"),
        headerElement(u"PROGRAMVERSION", version),
        headerElement(u"APP_ZIR_CATEGORY", station.category),
        QStringLiteral("<CONTEST_ID:16>ZARIZEVU DEZ-EDU"),
        QStringLiteral("<EOH>"),
        QString(),
    };
    for (const QString& line : header) {
        emit(line);
    }

    // The station's part is the same in every record.
    QString mine;
    appendField(mine, u"MY_NAME", station.acceptedName);
    appendField(mine, u"OPERATOR", station.operatorCall);
    appendField(mine, u"MY_STATION", station.stationCall);
    mine += station.category == QLatin1String("QRP") ? QLatin1String("<TX_PWR:1>5 ")
                                                     : QLatin1String("<TX_PWR:3>100 ");
    appendField(mine, u"MY_STREET", station.street);
    appendField(mine, u"MY_CITY", station.city);
    appendField(mine, u"MY_POSTAL_CODE", station.zipCode);
    appendField(mine, u"MY_EMAIL", station.emailTyped);

    // Rows up to the entry row; those without a callsign (blank lines, the empty entry row)
    // give no record.
    QString record;
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(Col::Call, row).isEmpty()) {
            continue;
        }
        const QString call = table.cell(Col::Call, row).trimmed();
        const CountryResult country = countryOf(call, lookUp);
        const QString& band = table.cell(Col::Band, row);
        const QString& member = table.cell(Col::Member, row);
        const QString& firstName = table.cell(Col::FirstName, row);

        record = mine;
        appendField(record, u"CALL", call);
        appendField(record, u"COUNTRY", country.entity);
        appendField(record, u"DXCC", country.adif);
        appendField(record, u"CONT", country.continent);
        QDate date;
        QTime time;
        try {
            date = parseLogDate(table.cell(Col::Date, row));
            time = parseLogTime(table.cell(Col::Time, row));
        } catch (const ConvertError& e) {
            throw e.onLine(row);
        }
        appendField(record, u"QSO_DATE", formatCompactDate(date));
        appendField(record, u"TIME_ON", formatCompactTime(time));
        record += QLatin1String("<MODE:2>CW ");
        appendField(record, u"BAND", band + u'M');
        appendFrequency(record, band);
        appendField(record, u"RST_SENT", table.cell(Col::RstSent, row));
        appendField(record, u"RST_RCVD", table.cell(Col::RstRcvd, row));
        if (!firstName.isEmpty()) {
            appendField(record, u"NAME", firstName);
        }
        if (!member.isEmpty()) {
            appendField(record, u"APP_LOGGER32_USER_1", member);
        }
        // SRX is an integer field: only a numeric club number goes there; the received
        // exchange itself, "NM" included, is SRX_STRING.
        if (isAllDigits(member)) {
            appendField(record, u"SRX", member);
        }
        if (!member.isEmpty()) {
            appendField(record, u"SRX_STRING", member);
        }
        record += QLatin1String("<EOR>");
        emit(record);
    }
}

} // namespace

QStringList adifLines(const LogTable& table, const ReportStation& station, const QString& version,
                      const CountryLookup& lookUp) {
    QStringList lines;
    produceLines(table, station, version, lookUp, [&lines](const QString& line) { lines << line; });
    return lines;
}

QByteArray adifFile(const LogTable& table, const ReportStation& station, const QString& version,
                    const CountryLookup& lookUp) {
    // Converted line by line: a long log never holds its whole text twice.
    QByteArray bytes;
    produceLines(table, station, version, lookUp, [&bytes](const QString& line) {
        bytes += toCp1252(line);
        bytes += "\r\n";
    });
    return bytes;
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
