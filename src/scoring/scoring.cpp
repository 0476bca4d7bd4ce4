#include "scoring/scoring.h"

#include "contest_log/bands.h"
#include "platform/text_trim.h"
#include "scoring/member_roster.h"

#include <QHash>

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

void Scorer::tallyRow(LogTable& table, int row, const CountryIndex& countries, bool keep,
                      int& points, int& mults) {
    const QString& call = table.cell(Col::Call, row);
    const QString& bandText = table.cell(Col::Band, row);
    // A band text no kept row has gets a number of its own.
    int band = -1;
    if (auto number = m_tally.bandNumbers.constFind(bandText);
        number != m_tally.bandNumbers.cend()) {
        band = *number;
    } else if (keep) {
        band = static_cast<int>(m_tally.bandNumbers.size());
        m_tally.bandNumbers.insert(bandText, band);
    }
    CallOnBand base{baseCallsign(call), band};
    std::optional<int> dupeOf;
    bool workedBefore = false;
    if (keep) {
        const auto [first, isFirst] = m_tally.firstOfBase.try_emplace(std::move(base), row);
        if (!isFirst) {
            dupeOf = first->second;
        }
        workedBefore = !m_tally.logged.insert({call, band}).second;
        m_tally.rows = row;
    } else {
        if (const auto first = m_tally.firstOfBase.find(base); first != m_tally.firstOfBase.end()) {
            dupeOf = first->second;
        }
        workedBefore = m_tally.logged.contains({call, band});
    }
    if (trimBlanks(call).isEmpty()) {
        for (const Col col : {Col::Member, Col::FirstName, Col::Points, Col::Mult, Col::Dupe}) {
            table.setCell(col, row, {});
        }
        return;
    }
    applyRules(table, row, countries, dupeOf, workedBefore);
    const QString& rowPoints = table.cell(Col::Points, row);
    if (!rowPoints.isEmpty()) {
        points += rowPoints.toInt();
    }
    if (table.cell(Col::Mult, row).contains(u'M')) {
        ++mults;
    }
}

void Scorer::setTotals(int totalPoints, int multipliers) {
    m_board.totalPoints = totalPoints;
    m_board.multipliers = multipliers;
    m_board.score = qint64(totalPoints) * multipliers;
    m_board.label = scoreLabelText(totalPoints, multipliers, m_board.score);
}

void Scorer::computeTotalScore(LogTable& table) {
    LogTable::Batch batch(table);
    const CountryIndex& countries = m_countries.index();
    // The figures of the log lines are kept for the QSOs stored next (scoreNewLine); the entry
    // row, which no row follows, is only looked up.
    m_tally.table = &table;
    m_tally.rows = 0;
    m_tally.firstOfBase.clear();
    m_tally.logged.clear();
    m_tally.bandNumbers.clear();
    m_tally.totalPoints = 0;
    m_tally.multipliers = 0;
    m_tally.category = m_station.category;
    m_tally.continent = m_station.continent;
    m_tally.countriesGeneration = countries.generation();
    const auto rows = static_cast<size_t>(table.rowCount());
    m_tally.firstOfBase.reserve(rows);
    m_tally.logged.reserve(rows);

    const int entry = table.entryRow();
    for (int row = 1; row < entry; ++row) {
        tallyRow(table, row, countries, true, m_tally.totalPoints, m_tally.multipliers);
    }
    int totalPoints = m_tally.totalPoints;
    int multipliers = m_tally.multipliers;
    if (entry >= 1) {
        tallyRow(table, entry, countries, false, totalPoints, multipliers);
    }
    setTotals(totalPoints, multipliers);
    table.forgetChanges();
}

void Scorer::scoreNewLine(LogTable& table, int row) {
    const CountryIndex& countries = m_countries.index();
    const bool kept =
        m_tally.table == &table && row == table.entryRow() && m_tally.rows == row - 1 &&
        table.firstChangedRow() >= row && !trimBlanks(table.cell(Col::Call, row)).isEmpty() &&
        m_tally.category == m_station.category && m_tally.continent == m_station.continent &&
        m_tally.countriesGeneration == countries.generation();
    if (!kept) {
        computeTotalScore(table);
        return;
    }
    LogTable::Batch batch(table);
    tallyRow(table, row, countries, true, m_tally.totalPoints, m_tally.multipliers);
    setTotals(m_tally.totalPoints, m_tally.multipliers);
    table.forgetChanges();
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
    m_tally.table = nullptr;
    m_board.totalPoints = 0;
    m_board.multipliers = 0;
    m_board.score = 0;
    m_board.label = QStringLiteral("Score = ");
}

} // namespace vu
