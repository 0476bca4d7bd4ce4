#include "reports/cabrillo_check.h"

#include "contest_log/log_format.h"
#include "platform/ascii_text.h"
#include "reports/cabrillo.h"

#include <QHash>
#include <optional>

namespace vu {

namespace {

// The header tags of Cabrillo 3.0 (besides those beginning with "X-", which are free).
const QStringList& knownTags() {
    static const QStringList tags = {
        "START-OF-LOG",
        "END-OF-LOG",
        "CALLSIGN",
        "CONTEST",
        "CATEGORY-ASSISTED",
        "CATEGORY-BAND",
        "CATEGORY-MODE",
        "CATEGORY-OPERATOR",
        "CATEGORY-POWER",
        "CATEGORY-STATION",
        "CATEGORY-TIME",
        "CATEGORY-TRANSMITTER",
        "CATEGORY-OVERLAY",
        "CERTIFICATE",
        "CLAIMED-SCORE",
        "CLUB",
        "CREATED-BY",
        "EMAIL",
        "GRID-LOCATOR",
        "LOCATION",
        "NAME",
        "ADDRESS",
        "ADDRESS-CITY",
        "ADDRESS-STATE-PROVINCE",
        "ADDRESS-POSTALCODE",
        "ADDRESS-COUNTRY",
        "OPERATORS",
        "OFFTIME",
        "SOAPBOX",
        "QSO",
        "X-QSO",
    };
    return tags;
}

// The values each CATEGORY- tag takes.
const QHash<QString, QStringList>& categoryValues() {
    static const QHash<QString, QStringList> values = {
        {"CATEGORY-ASSISTED", {"ASSISTED", "NON-ASSISTED"}},
        {"CATEGORY-BAND",
         {"ALL", "160M", "80M", "40M",  "20M",  "15M",  "10M",   "6M",         "4M",
          "2M",  "222",  "432", "902",  "1.2G", "2.3G", "3.4G",  "5.7G",       "10G",
          "24G", "47G",  "75G", "122G", "134G", "241G", "Light", "VHF-3-BAND", "VHF-FM-ONLY"}},
        {"CATEGORY-MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}},
        {"CATEGORY-OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
        {"CATEGORY-POWER", {"HIGH", "LOW", "QRP"}},
        {"CATEGORY-STATION",
         {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
          "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
        {"CATEGORY-TIME", {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"}},
        {"CATEGORY-TRANSMITTER", {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"}},
        {"CATEGORY-OVERLAY", {"CLASSIC", "ROOKIE", "TB-WIRES", "YOUTH", "NOVICE-TECH", "OVER-50"}},
    };
    return values;
}

bool onlyOf(QStringView text, QStringView extra) {
    for (const QChar c : text) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || extra.contains(c))) {
            return false;
        }
    }
    return true;
}

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

class Checker {
public:
    void error(const QString& text) { add(CabrilloFinding::Level::Error, text); }
    void warning(const QString& text) { add(CabrilloFinding::Level::Warning, text); }
    CabrilloCheck take() { return std::move(m_check); }

private:
    void add(CabrilloFinding::Level level, const QString& text) {
        m_check.findings.push_back({level, text});
    }
    CabrilloCheck m_check;
};

// The header's lines: tags, values and the values a robot needs.
void checkHeader(const QStringList& header, Checker& check) {
    bool first = true;
    for (const QString& line : header) {
        if (line.isEmpty()) {
            continue;
        }
        const qsizetype colon = line.indexOf(u':');
        const QString tag = colon < 0 ? line : line.left(colon);
        const QString value = colon < 0 ? QString() : line.mid(colon + 1).trimmed();
        if (first && tag != QLatin1String("START-OF-LOG")) {
            check.error(QStringLiteral("the report does not begin with START-OF-LOG"));
        }
        first = false;
        if (colon < 0 || !onlyOf(tag, u"-") ||
            !(knownTags().contains(tag) || tag.startsWith(QLatin1String("X-")))) {
            check.error(QStringLiteral("header line %1 has no Cabrillo 3.0 tag").arg(quoted(line)));
            continue;
        }
        if (!isPrintableAscii(value)) {
            check.error(QStringLiteral("%1 holds a character outside printable ASCII").arg(tag));
        }
        if (const auto values = categoryValues().find(tag);
            values != categoryValues().end() && !values->contains(value)) {
            check.error(
                QStringLiteral("%1: %2 is not a Cabrillo 3.0 value").arg(tag, quoted(value)));
        }
        if (tag == QLatin1String("START-OF-LOG") && value != QLatin1String("3.0")) {
            check.error(QStringLiteral("START-OF-LOG: %1 is not version 3.0").arg(quoted(value)));
        }
        if (tag == QLatin1String("CONTEST") &&
            (value.isEmpty() || value.size() > 32 || !onlyOf(value, u"-"))) {
            check.error(QStringLiteral("CONTEST: %1 is not 1 to 32 characters of A-Z, 0-9 and "
                                       "\"-\"")
                            .arg(quoted(value)));
        }
        if (value.isEmpty()) {
            if (tag == QLatin1String("CALLSIGN") || tag == QLatin1String("NAME") ||
                tag == QLatin1String("EMAIL")) {
                check.error(tag + QStringLiteral(" is empty"));
            } else if (tag == QLatin1String("ADDRESS")) {
                check.warning(tag + QStringLiteral(" is empty"));
            }
        }
    }
}

// The widths of the QSO line's callsign and club number fields: a longer value loses its end.
constexpr int kCallWidth = 13;
constexpr int kNumberWidth = 4;

QString cutText(const QString& what, const QString& value, int width) {
    return QStringLiteral("%1 %2 is cut to %3 characters (%4)")
        .arg(what, quoted(value))
        .arg(width)
        .arg(quoted(value.left(width)));
}

// The sender's fields, the same on every QSO line.
void checkSender(const ReportStation& station, Checker& check) {
    if (!onlyOf(station.stationCall, u"/")) {
        check.error(QStringLiteral("QSO lines: station callsign %1 holds a character outside "
                                   "A-Z, 0-9 and \"/\"")
                        .arg(quoted(station.stationCall)));
    } else if (station.stationCall.size() > kCallWidth) {
        check.warning(QStringLiteral("QSO lines: ") +
                      cutText(QStringLiteral("station callsign"), station.stationCall, kCallWidth));
    }
    if (!isAllDigits(station.clubNumber) && station.clubNumber != QLatin1String("NM")) {
        check.error(QStringLiteral("QSO lines: sent club number %1 is neither a number nor "
                                   "\"NM\"")
                        .arg(quoted(station.clubNumber)));
    } else if (station.clubNumber.size() > kNumberWidth) {
        check.warning(QStringLiteral("QSO lines: ") + cutText(QStringLiteral("sent club number"),
                                                              station.clubNumber, kNumberWidth));
    }
}

QString lineLabel(int row) {
    return QStringLiteral("line %1: ").arg(row);
}

// A QSO line's own fields; returns the QSO's instant (seconds of the proleptic calendar) when
// its date and time read.
std::optional<qint64> checkQso(const LogTable& table, int row, Checker& check) {
    const QString label = lineLabel(row);
    const QString& band = table.cell(Col::Band, row);
    if (cabrilloFrequency(band).isEmpty()) {
        check.error(label + (band.isEmpty()
                                 ? QStringLiteral("no band, so no frequency")
                                 : QStringLiteral("band %1 gives no frequency").arg(quoted(band))));
    }
    const QString& dateCell = table.cell(Col::Date, row);
    const std::optional<QDate> date = tryParseLogDate(dateCell);
    if (dateCell.trimmed().isEmpty()) {
        check.error(label + QStringLiteral("empty date"));
    } else if (!date) {
        check.error(label + QStringLiteral("invalid date %1").arg(quoted(dateCell)));
    }
    const QString& timeCell = table.cell(Col::Time, row);
    const std::optional<QTime> time = tryParseLogTime(timeCell);
    if (timeCell.trimmed().isEmpty()) {
        check.error(label + QStringLiteral("empty time"));
    } else if (!time) {
        check.error(label + QStringLiteral("invalid time %1").arg(quoted(timeCell)));
    }
    const QString& call = table.cell(Col::Call, row);
    if (call.trimmed().isEmpty()) {
        check.error(label + QStringLiteral("empty worked callsign"));
    } else if (!onlyOf(call, u"/")) {
        check.error(label + QStringLiteral("worked callsign %1 holds a character outside A-Z, "
                                           "0-9 and \"/\"")
                                .arg(quoted(call)));
    } else if (call.size() > kCallWidth) {
        check.warning(label + cutText(QStringLiteral("worked callsign"), call, kCallWidth));
    }
    const QString number = cabrilloReceivedNumber(table.cell(Col::Member, row));
    if (number.isEmpty()) {
        check.error(label + QStringLiteral("empty received club number"));
    } else if (!isAllDigits(number) && number != QLatin1String("NM")) {
        check.error(label + QStringLiteral("received club number %1 is neither a number nor "
                                           "\"NM\"")
                                .arg(quoted(number)));
    } else if (number.size() > kNumberWidth) {
        check.warning(label +
                      cutText(QStringLiteral("received club number"), number, kNumberWidth));
    }
    if (!date || !time) {
        return std::nullopt;
    }
    return date->toJulianDay() * 86400 + time->msecsSinceStartOfDay() / 1000;
}

} // namespace

QString CabrilloFinding::line() const {
    return (level == Level::Error ? QStringLiteral("error: ") : QStringLiteral("warning: ")) + text;
}

bool CabrilloCheck::hasErrors() const {
    for (const CabrilloFinding& f : findings) {
        if (f.level == CabrilloFinding::Level::Error) {
            return true;
        }
    }
    return false;
}

QStringList CabrilloCheck::lines() const {
    QStringList out;
    out.reserve(static_cast<qsizetype>(findings.size()));
    for (const CabrilloFinding& f : findings) {
        out << f.line();
    }
    return out;
}

QString sendDespiteErrorsQuestion() {
    return QStringLiteral("Le compte rendu contient des erreurs. Envoyer quand même ?");
}

CabrilloCheck checkCabrilloHeader(const QStringList& header) {
    Checker check;
    checkHeader(header, check);
    return check.take();
}

CabrilloCheck checkCabrillo(const LogTable& table, const ReportStation& station,
                            const QString& version) {
    Checker check;
    checkHeader(cabrilloHeader(station, version), check);
    checkSender(station, check);

    struct Seen {
        int row = 0;
        qint64 at = 0;
    };
    std::optional<Seen> previous; // the last line whose date and time read
    std::optional<Seen> earliest;
    std::optional<Seen> latest;
    QHash<QString, int> firstOfCallAndBand;
    for (int row = 1; row < table.rowCount() - 1; ++row) {
        const std::optional<qint64> at = checkQso(table, row, check);
        const QString call = table.cell(Col::Call, row).trimmed();
        if (!call.isEmpty()) {
            const QString& band = table.cell(Col::Band, row);
            const QString key = call + u'\n' + band;
            if (const auto first = firstOfCallAndBand.constFind(key);
                first != firstOfCallAndBand.cend()) {
                check.warning(lineLabel(row) + QStringLiteral("duplicate of line %1 (%2 on %3 m)")
                                                   .arg(*first)
                                                   .arg(call, band));
            } else {
                firstOfCallAndBand.insert(key, row);
            }
        }
        if (!at) {
            continue;
        }
        if (previous && *at < previous->at) {
            check.warning(
                lineLabel(row) +
                QStringLiteral("out of time order (earlier than line %1)").arg(previous->row));
        }
        previous = Seen{row, *at};
        if (!earliest || *at < earliest->at) {
            earliest = previous;
        }
        if (!latest || *at > latest->at) {
            latest = previous;
        }
    }
    if (earliest && latest) {
        const qint64 seconds = latest->at - earliest->at;
        if (seconds > 48 * 3600) {
            check.warning(QStringLiteral("QSOs spread over %1 hours (line %2 to line %3), more "
                                         "than 48")
                              .arg(QString::number(double(seconds) / 3600.0, 'f', 1))
                              .arg(earliest->row)
                              .arg(latest->row));
        }
    }
    return check.take();
}

} // namespace vu
