#pragma once

#include "contest_log/log_table.h"
#include "contest_log/station_settings.h"
#include "scoring/country_table.h"

#include <QHash>
#include <QString>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace vu {

// What scoring shows beside the log.
struct ScoreBoard {
    QString hisContinent;   // the worked station's continent (last line scored)
    bool dupeShown = false; // the red DUPE panel (last line scored)
    int totalPoints = 0;
    int multipliers = 0;
    qint64 score = 0;                           // total points x multipliers
    QString label = QStringLiteral("Score = "); // the score label's text
};

// The multiplier mark of a band ("- M - - -" for "40"); empty for a text that is no band.
[[nodiscard]] QString multiplierMark(const QString& band);
// Points of a line that is neither a duplicate nor a club-station contact: by the own and the
// worked station's categories and whether both are on one continent; empty when the worked
// station's category is neither "QRP" nor "QRO".
[[nodiscard]] QString pointsFor(const QString& stationCategory, const QString& hisCategory,
                                bool sameContinent);
// "Score = P x M = S".
[[nodiscard]] QString scoreLabelText(int totalPoints, int multipliers, qint64 score);

// The contest's scoring of each line (points, multiplier mark, duplicate note) and of the log.
class Scorer {
public:
    // Reads the station category and continent from `station` at each call.
    Scorer(CountryTable& countries, const StationSettings& station);

    // Scores row `row` (columns 9 to 12) from its own input columns and those of the rows above
    // it, and sets his continent and the DUPE panel.
    void scoreLine(LogTable& table, int row);
    // Rescores rows 1 to the entry row, in time linear in the number of rows, and sets the
    // totals and the score label.
    void computeTotalScore(LogTable& table);
    // Gives the table and the totals what computeTotalScore would, after a QSO was put into the
    // entry row `row`: when no row above it changed since the last scoring of this table (and
    // neither the station's category and continent nor the country table did), only that row is
    // scored, from the figures kept of the rows above; otherwise the log is rescored.
    void scoreNewLine(LogTable& table, int row);
    // The totals of a freshly opened log: 0, and the label "Score = ".
    void resetTotals();
    void clearHisContinent() { m_board.hisContinent.clear(); }

    [[nodiscard]] const ScoreBoard& board() const { return m_board; }

private:
    // The rules of one line, given what the scans of the earlier rows found: the earliest row
    // with the same base callsign on the band, and whether the callsign as stored was logged on
    // the band before.
    void applyRules(LogTable& table, int row, const CountryIndex& countries,
                    std::optional<int> dupeOf, bool workedBefore);

    // A callsign (as stored or in its base form) on a band, the band told by a number.
    struct CallOnBand {
        QString call;
        int band = 0;
        bool operator==(const CallOnBand&) const = default;
    };
    struct CallOnBandHash {
        size_t operator()(const CallOnBand& key) const noexcept {
            return qHash(key.call, static_cast<size_t>(key.band));
        }
    };
    // What the scoring of rows 1..rows of a table found: the earliest row of each base callsign
    // on a band, the callsigns as stored on a band, and the totals of those rows.
    struct Tally {
        const LogTable* table = nullptr;
        int rows = 0;
        std::unordered_map<CallOnBand, int, CallOnBandHash> firstOfBase;
        std::unordered_set<CallOnBand, CallOnBandHash> logged;
        QHash<QString, int> bandNumbers;
        int totalPoints = 0;
        int multipliers = 0;
        QString category;
        QString continent;
        quint64 countriesGeneration = 0;
    };
    // Scores row `row` below the rows of the tally; `keep` adds it to the tally, else the row is
    // only looked up (the entry row, which no row follows). Adds its points and multiplier to
    // `points` and `mults`.
    void tallyRow(LogTable& table, int row, const CountryIndex& countries, bool keep, int& points,
                  int& mults);
    void setTotals(int totalPoints, int multipliers);

    // The continent of a callsign, remembered between rescorings: a full rescoring after every
    // contact asks the same callsigns again and again.
    [[nodiscard]] const QString& continentOf(const CountryIndex& countries, const QString& call);

    CountryTable& m_countries;
    const StationSettings& m_station;
    ScoreBoard m_board;
    QHash<QString, QString> m_continents;
    quint64 m_continentsGeneration = 0;
    Tally m_tally;
};

} // namespace vu
