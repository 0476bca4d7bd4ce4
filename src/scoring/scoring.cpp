#include "scoring/scoring.h"

#include "contest_log/bands.h"
#include "platform/text_trim.h"
#include "scoring/member_roster.h"

#include <QHash>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace vu {

namespace {

const QString kQrp = QStringLiteral("QRP");
const QString kQro = QStringLiteral("QRO");
const QString kNonMember = QStringLiteral("NM");
const QString kDeceased = QStringLiteral("DCD");
const QString kClubStation = QStringLiteral("D8ADO");
const QString kClubStationPoints = QStringLiteral("20");
const QString kClubStationContinent = QStringLiteral("EU");
const QString kDupePoints = QStringLiteral("0");

// A callsign (as stored or in its base form) on a band, the band told by the number of its text.
struct CallOnBand {
    QStringView call;
    int band = 0;
    bool operator==(const CallOnBand&) const = default;
};
struct CallOnBandHash {
    size_t operator()(const CallOnBand& key) const noexcept {
        return qHash(key.call, static_cast<size_t>(key.band));
    }
};

} // namespace

QString multiplierMark(const QString& band) {
    static const QStringList marks = {QStringLiteral("M - - - -"), QStringLiteral("- M - - -"),
                                      QStringLiteral("- - M - -"), QStringLiteral("- - - M -"),
                                      QStringLiteral("- - - - M")};
    const qsizetype at = bandTexts().indexOf(band);
    return at < 0 ? QString() : marks.at(at);
}

QString pointsFor(const QString& stationCategory, const QString& hisCategory, bool sameContinent) {
    static const QString five = QStringLiteral("5");
    static const QString ten = QStringLiteral("10");
    static const QString twenty = QStringLiteral("20");
    const bool qrp = stationCategory == kQrp;
    if (hisCategory == kQrp) {
        return qrp ? (sameContinent ? ten : twenty) : (sameContinent ? five : ten);
    }
    if (hisCategory == kQro) {
        return qrp ? (sameContinent ? five : ten) : kDupePoints;
    }
    return {};
}

QString scoreLabelText(int totalPoints, int multipliers, qint64 score) {
    return QStringLiteral("Score = %1 x %2 = %3").arg(totalPoints).arg(multipliers).arg(score);
}

Scorer::Scorer(CountryTable& countries, const StationSettings& station)
    : m_countries(countries), m_station(station) {}

void Scorer::applyRules(LogTable& table, int row, const CountryIndex& countries,
                        std::optional<int> dupeOf, bool workedBefore) {
    const QString call = table.cell(Col::Call, row);
    const QString& band = table.cell(Col::Band, row);
    QString points;
    QString mark;
    QString dupeNote;
    m_board.dupeShown = dupeOf.has_value();
    m_board.hisContinent.clear();
    if (dupeOf) {
        dupeNote = QStringLiteral("DUPE = ") + table.cell(Col::Call, *dupeOf) +
                   QStringLiteral("->") + table.cell(Col::Time, *dupeOf);
        points = kDupePoints;
    } else if (call.contains(kClubStation)) {
        points = kClubStationPoints;
        m_board.hisContinent = kClubStationContinent;
    } else {
        m_board.hisContinent = continentOf(countries, call);
        points = pointsFor(m_station.category, table.cell(Col::Category, row),
                           m_board.hisContinent == m_station.continent);
    }

    const QString& member = table.cell(Col::Member, row);
    if (member == kNonMember) {
        table.setCell(Col::FirstName, row, {});
    } else if (member == kDeceased) {
        table.setCell(Col::FirstName, row, {});
        points.clear();
        dupeNote.clear();
    } else if (!workedBefore) {
        mark = multiplierMark(band);
    }
    table.setCell(Col::Points, row, points);
    table.setCell(Col::Mult, row, mark);
    table.setCell(Col::Dupe, row, dupeNote);
}

void Scorer::scoreLine(LogTable& table, int row) {
    if (row < 1 || row >= table.rowCount()) {
        return;
    }
    LogTable::Batch batch(table);
    const QString call = table.cell(Col::Call, row);
    const QString band = table.cell(Col::Band, row);
    const QString base = baseCallsign(call);
    std::optional<int> dupeOf;
    bool workedBefore = false;
    for (int r = 1; r < row; ++r) {
        if (table.cell(Col::Band, r) != band) {
            continue;
        }
        const QString& earlier = table.cell(Col::Call, r);
        if (!dupeOf && baseCallsign(earlier) == base) {
            dupeOf = r;
        }
        workedBefore = workedBefore || earlier == call;
    }
    applyRules(table, row, m_countries.index(), dupeOf, workedBefore);
}

void Scorer::computeTotalScore(LogTable& table) {
    LogTable::Batch batch(table);
    const CountryIndex& countries = m_countries.index();
    const auto rows = static_cast<size_t>(table.rowCount());
    // The earliest row of each base callsign on a band, and the callsigns as stored on a band:
    // what the scans of the earlier rows would find, kept as the rows go by. The keys view the
    // callsign cells, which scoring never writes, and the base callsigns kept here.
    std::unordered_map<CallOnBand, int, CallOnBandHash> firstOfBase;
    std::unordered_set<CallOnBand, CallOnBandHash> logged;
    std::vector<QString> bases;
    QHash<QString, int> bandNumbers;
    firstOfBase.reserve(rows);
    logged.reserve(rows);
    bases.reserve(rows);

    int totalPoints = 0;
    int multipliers = 0;
    for (int row = 1; row < table.rowCount(); ++row) {
        const QString& call = table.cell(Col::Call, row);
        const QString& bandText = table.cell(Col::Band, row);
        auto number = bandNumbers.constFind(bandText);
        if (number == bandNumbers.cend()) {
            number = bandNumbers.insert(bandText, static_cast<int>(bandNumbers.size()));
        }
        const int band = *number;
        bases.push_back(baseCallsign(call));
        const auto [first, isFirst] = firstOfBase.try_emplace({bases.back(), band}, row);
        const bool workedBefore = !logged.insert({call, band}).second;
        if (trimBlanks(call).isEmpty()) {
            for (const Col col : {Col::Member, Col::FirstName, Col::Points, Col::Mult, Col::Dupe}) {
                table.setCell(col, row, {});
            }
            continue;
        }
        applyRules(table, row, countries,
                   isFirst ? std::nullopt : std::optional<int>(first->second), workedBefore);
        const QString& points = table.cell(Col::Points, row);
        if (!points.isEmpty()) {
            totalPoints += points.toInt();
        }
        if (table.cell(Col::Mult, row).contains(u'M')) {
            ++multipliers;
        }
    }
    m_board.totalPoints = totalPoints;
    m_board.multipliers = multipliers;
    m_board.score = qint64(totalPoints) * multipliers;
    m_board.label = scoreLabelText(totalPoints, multipliers, m_board.score);
}

const QString& Scorer::continentOf(const CountryIndex& countries, const QString& call) {
    constexpr qsizetype kMaxRemembered = 200000; // far beyond a contest; keeps edits bounded
    if (countries.generation() != m_continentsGeneration || m_continents.size() > kMaxRemembered) {
        m_continents.clear();
        m_continentsGeneration = countries.generation();
    }
    auto known = m_continents.constFind(call);
    if (known == m_continents.cend()) {
        // A callsign that gives nothing to look up has no continent (not the previous line's).
        known =
            m_continents.insert(call, countries.lookUp(call).value_or(CountryResult{}).continent);
    }
    return *known;
}

void Scorer::resetTotals() {
    m_board.totalPoints = 0;
    m_board.multipliers = 0;
    m_board.score = 0;
    m_board.label = QStringLiteral("Score = ");
}

} // namespace vu
