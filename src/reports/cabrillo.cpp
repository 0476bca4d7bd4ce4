#include "reports/cabrillo.h"

#include "contest_log/log_format.h"
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

// The frequency field of a band; empty (no field at all) for an unknown band text.
QString frequencyField(const QString& band) {
    static const QStringList bands = {"80", "40", "20", "15", "10"};
    static const QStringList kilohertz = {" 3500", " 7000", "14000", "21000", "28000"};
    const qsizetype i = bands.indexOf(band);
    return i < 0 ? QString() : field(kilohertz[i], 5);
}

// "DD/MM/YYYY" (or "DD/MM/YY") as "YYYY-MM-DD", taken by position: missing characters give
// nothing, so an empty cell gives "--".
QString cabrilloDate(const QString& cell) {
    const QString year = cell.size() == 8 ? QStringLiteral("20") + cell.mid(6, 2) : cell.mid(6, 4);
    return year + QLatin1Char('-') + cell.mid(3, 2) + QLatin1Char('-') + cell.mid(0, 2);
}

// "HH:MM" as "HHMM", by position.
QString cabrilloTime(const QString& cell) {
    return cell.mid(0, 2) + cell.mid(3, 2);
}

// The member number received without its first "*" (the mark of a number checked by hand).
QString withoutFirstStar(QString member) {
    const qsizetype star = member.indexOf(u'*');
    if (star >= 0) {
        member.remove(star, 1);
    }
    return member;
}

} // namespace

QStringList cabrilloLines(const LogTable& table, const ReportStation& station,
                          const QString& version) {
    QStringList lines = {
        QStringLiteral("START-OF-LOG: 3.0"),
        QStringLiteral("CREATED-BY: VARURAV_UDA_V ") + version,
        QStringLiteral("CONTEST: ZIR-QRP"),
        QStringLiteral("CALLSIGN: ") + station.stationCall,
        QStringLiteral("CATEGORY-MODE: CW"),
        QStringLiteral("CATEGORY-OPERATOR: SINGLE-OP"),
        station.category == QLatin1String("QRP") ? QStringLiteral("CATEGORY-POWER: QRP")
                                                 : QStringLiteral("CATEGORY-POWER: HIGH"),
        QStringLiteral("CATEGORY-TRANSMITTER: ONE"),
        station.clubTyped == QLatin1String("NM") ? QStringLiteral("CLUB: NM")
                                                 : QStringLiteral("CLUB: ZIR"),
        QStringLiteral("NAME: ") + station.name,
        QStringLiteral("ADDRESS: ") + station.street,
        QStringLiteral("ADDRESS-CITY: ") + station.city,
        QStringLiteral("ADDRESS-POSTALCODE: ") + station.zipCode,
        QStringLiteral("EMAIL: ") + station.email,
        QStringLiteral("OPERATORS: ") + station.operatorCall,
        QStringLiteral("SOAPBOX: CLub nr : "),
        QString(),
    };

    // The sender's fields are the same on every line.
    const QString sent =
        field(station.stationCall, 13) + field(QStringLiteral("599"), 3) +
        field(station.clubNumber, 4) +
        field(station.qrpTicked ? QStringLiteral("QRP") : QStringLiteral("QRO"), 3);
    // Every log line, blank ones included: not the title row nor the entry row. A contact whose
    // date or time does not read stops the report, naming its line, rather than going out
    // without them.
    for (int row = 1; row < table.rowCount() - 1; ++row) {
        if (!table.cell(Col::Call, row).isEmpty()) {
            try {
                (void)parseLogDate(table.cell(Col::Date, row));
                (void)parseLogTime(table.cell(Col::Time, row));
            } catch (const ConvertError& e) {
                throw e.onLine(row);
            }
        }
        lines << field(QStringLiteral("QSO:"), 4) + frequencyField(table.cell(Col::Band, row)) +
                     field(QStringLiteral("CW"), 2) +
                     field(cabrilloDate(table.cell(Col::Date, row)), 10) +
                     field(cabrilloTime(table.cell(Col::Time, row)), 4) + sent +
                     field(table.cell(Col::Call, row), 13) + field(QStringLiteral("599"), 3) +
                     field(withoutFirstStar(table.cell(Col::Member, row)), 4) +
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
