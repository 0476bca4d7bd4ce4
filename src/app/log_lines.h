#pragma once

#include "contest_log/bands.h"
#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"
#include "contest_log/member_result.h"
#include "scoring/member_roster.h"
#include "scoring/scoring.h"

#include <QString>

namespace vu {

// What every change of a log line shares, whether it comes from the entry line, the grid or a
// load: the member lookup, the scoring and the DUPE panel, the band of new lines, and a QSO
// stamped, stored and counted.
class LogLines {
public:
    LogLines(LogTable& table, ContestFile& file, ContestClock& clock, MemberRoster& roster,
             Scorer& scorer);

    [[nodiscard]] MemberResult lookUpMember(const QString& call) {
        return m_roster.lookUpMember(call);
    }
    // Scores one row (columns 10 to 12); true when it is a duplicate.
    bool scoreLine(int row);
    // Rescores every row and the totals; the DUPE panel shows what the scoring found last.
    void rescoreAll();
    // The DUPE panel beside the entry line.
    [[nodiscard]] bool dupeShown() const { return m_dupeShown; }
    void setDupeShown(bool shown) { m_dupeShown = shown; }

    // Band selector: column 0 to 4 ("80" to "10"); also writes the entry row's band.
    void selectBand(int column);
    [[nodiscard]] int bandIndex() const { return m_bandIndex; }
    [[nodiscard]] QString currentBand() const { return bandTexts().at(m_bandIndex); }

    // What the roster knows of row r's callsign, a "599" report and the "QRP" category where
    // they are empty.
    void fillFromRoster(int r);
    // A QSO of now in row r: its number, the current band, the clock's date and time, filled
    // from the roster, then scored. True when it is a duplicate.
    bool stampQso(int r);
    // A logged QSO corrected in row r: its number, filled from the roster, then scored. It keeps
    // its band (the current band only when the cell is empty), date and time; with `retime` it
    // takes the clock's date and time instead. True when it is a duplicate.
    bool restampQso(int r, bool retime);
    // Writes row r into the contest file (a failure propagates with the row left as it is), then
    // scores the log as a full rescoring would (only row r when it is a new QSO below a log
    // that did not change since its last scoring).
    void storeQso(int r);
    // The log the contest file holds: first names from the roster, scored, and the grid editor
    // asked for; with `takeLastBand` the band of its last line is selected, else the band stays
    // the one the operator chose. Raises what loading the file raises.
    void load(bool takeLastBand);

private:
    LogTable& m_table;
    ContestFile& m_file;
    ContestClock& m_clock;
    MemberRoster& m_roster;
    Scorer& m_scorer;
    bool m_dupeShown = false;
    int m_bandIndex = 1;
};

} // namespace vu
