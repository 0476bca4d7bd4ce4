#include "reports/cabrillo.h"

#include "contest_log/log_format.h"
#include "platform/ascii_text.h"
#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/version.h"

namespace vu {

namespace {

// A Cabrillo field: cut to its width or filled with blanks up to it, then one blank.
QString field(const QString& value, int width) {
    return value.leftJustified(width, u' ', true) + QLatin1Char(' ');
}

// "DD/MM/YYYY" (or "DD/MM/YY") as "YYYY-MM-DD", taken by position (for blank lines, whose
// cells are not read): missing characters give nothing, so an empty cell gives "--".
QString cabrilloDate(const QString& cell) {
    const QString year = cell.size() == 8 ? QStringLiteral("20") + cell.mid(6, 2) : cell.mid(6, 4);
    return year + QLatin1Char('-') + cell.mid(3, 2) + QLatin1Char('-') + cell.mid(0, 2);
}

// "HH:MM" as "HHMM", by position.
QString cabrilloTime(const QString& cell) {
    return cell.mid(0, 2) + cell.mid(3, 2);
}

} // namespace

QString cabrilloFrequency(const QString& band) {
    static const QStringList bands = {"80", "40", "20", "15", "10"};
    static const QStringList kilohertz = {" 3500", " 7000", "14000", "21000", "28000"};
    const qsizetype i = bands.indexOf(band);
    return i < 0 ? QString() : kilohertz[i];
}

QString cabrilloReceivedNumber(QString member) {
    const qsizetype star = member.indexOf(u'*');
    if (star >= 0) {
        member.remove(star, 1);
    }
    return member;
}

QStringList cabrilloHeader(const ReportStation& station, const QString& version) {
    return {
        QStringLiteral("START-OF-LOG: 3.0"),
        QStringLiteral("CREATED-BY: VARURAV_UDA_V ") + toAsciiText(version),
        QStringLiteral("CONTEST: ZIR-QRP"),
        QStringLiteral("CALLSIGN: ") + toAsciiText(station.stationCall),
        QStringLiteral("CATEGORY-MODE: CW"),
        QStringLiteral("CATEGORY-OPERATOR: SINGLE-OP"),
        station.category == QLatin1String("QRP") ? QStringLiteral("CATEGORY-POWER: QRP")
                                                 : QStringLiteral("CATEGORY-POWER: HIGH"),
        QStringLiteral("CATEGORY-TRANSMITTER: ONE"),
        station.clubTyped == QLatin1String("NM") ? QStringLiteral("CLUB: NM")
                                                 : QStringLiteral("CLUB: ZIR"),
        QStringLiteral("NAME: ") + toAsciiText(station.name),
        QStringLiteral("ADDRESS: ") + toAsciiText(station.street),
        QStringLiteral("ADDRESS-CITY: ") + toAsciiText(station.city),
        QStringLiteral("ADDRESS-POSTALCODE: ") + toAsciiText(station.zipCode),
        QStringLiteral("EMAIL: ") + toAsciiText(station.email),
        QStringLiteral("OPERATORS: ") + toAsciiText(station.operatorCall),
        QStringLiteral("SOAPBOX: CLub nr : "),
        QString(),
    };
}

QStringList cabrilloLines(const LogTable& table, const ReportStation& station,
                          const QString& version) {
    QStringList lines = cabrilloHeader(station, version);

    // The sender's fields are the same on every line.
    const QString sent =
        field(station.stationCall, 13) + field(QStringLiteral("599"), 3) +
        field(station.clubNumber, 4) +
        field(station.qrpTicked ? QStringLiteral("QRP") : QStringLiteral("QRO"), 3);
    // Every log line, blank ones included: not the title row nor the entry row. A contact whose
    // date or time does not read stops the report, naming its line, rather than going out
    // without them.
    for (int row = 1; row < table.rowCount() - 1; ++row) {
        QString date;
        QString time;
        if (table.cell(Col::Call, row).isEmpty()) {
            date = cabrilloDate(table.cell(Col::Date, row));
            time = cabrilloTime(table.cell(Col::Time, row));
        } else {
            // Written from the cells as read: taken by position, a cell such as "5/1/24" or
            // "8:5" would give a date or time no reader takes.
            try {
                date = parseLogDate(table.cell(Col::Date, row)).toString(u"yyyy-MM-dd");
                time = parseLogTime(table.cell(Col::Time, row)).toString(u"HHmm");
            } catch (const ConvertError& e) {
                throw e.onLine(row);
            }
        }
        const QString frequency = cabrilloFrequency(table.cell(Col::Band, row));
        lines << field(QStringLiteral("QSO:"), 4) +
                     (frequency.isEmpty() ? QString() : field(frequency, 5)) +
                     field(QStringLiteral("CW"), 2) + field(date, 10) + field(time, 4) + sent +
                     field(table.cell(Col::Call, row), 13) + field(QStringLiteral("599"), 3) +
                     field(cabrilloReceivedNumber(table.cell(Col::Member, row)), 4) +
                     field(table.cell(Col::Category, row), 4);
    }
    lines << QStringLiteral("END-OF-LOG:");
    return lines;
}

QByteArray cabrilloFile(const LogTable& table, const ReportStation& station,
                        const QString& version) {
    return cp1252Lines(cabrilloLines(table, station, version));
}

QString cabrilloFileName(const QString& contestFileName) {
    return replaceExtension(contestFileName, u".CBR");
}

QString writeCabrilloFile(const LogTable& table, const ReportStation& station,
                          const QString& filesFolder, const QString& contestFileName) {
    const QString path = filesFolder + QLatin1Char('/') + cabrilloFileName(contestFileName);
    writeFileAtomically(path, cabrilloFile(table, station, programVersion()));
    return path;
}

} // namespace vu
