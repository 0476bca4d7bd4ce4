#pragma once

#include "app/log_lines.h"

#include <QDateTime>
#include <QString>

namespace vu {

// Corrections made in the log grid: moving with Space, the category keys, validating a row with
// Enter, deleting a line and inserting a blank one. Acts on the table's current cell.
class GridEditing {
public:
    GridEditing(LogTable& table, ContestFile& file, ContestClock& clock, LogLines& lines);

    // The message shown when the current cell moves into the time column, which is not editable.
    [[nodiscard]] static QString timeColumnMessage();
    // Whether a column can be edited in place (every one but the time).
    [[nodiscard]] static bool isEditable(int col) { return col != static_cast<int>(Col::Time); }
    // The current cell moved; true when the time column's message is to be shown.
    [[nodiscard]] bool cellEntered(int col, int row);

    // Space: completes the row from column 4, else moves along 4 -> 5 -> 6 -> 7 -> 8, then back
    // to 4; asks for the in-place editor.
    void space();
    // "O" or "P" typed in column 8: QRO or QRP and the row rescored; true when consumed.
    bool categoryKey(QChar key);
    // Enter: validates the current row (stored, rescored), or on a row without a callsign goes
    // back to column 4 and rescores. The entry row and a blank line being filled are stamped with
    // the current band and the clock; a logged line keeps its band, date and time, unless the
    // operator set the time for it with the arrows in deferred-time mode.
    // True when the row was stored.
    bool enter();
    // Stores row r as Enter validates it, without moving the current cell; nothing for a row
    // without a callsign (false).
    bool validateRow(int r);
    // Up (+1) or Down (-1): steps the time in deferred-time mode, for the current row; false lets
    // the grid navigate.
    bool arrow(int delta);

    // The question asked before deleting the current line.
    [[nodiscard]] QString deleteQuestion() const;
    // Deletes the current line (the entry row stays) and rewrites the file with a ".BAK" copy.
    void deleteLine(const QDateTime& localNow);
    // The question asked before inserting a blank line at the current row.
    [[nodiscard]] QString insertQuestion() const;
    // Inserts a blank line at the current row and rewrites the file with a ".BAK" copy.
    void insertBlankLine(const QDateTime& localNow);

private:
    void completeRow(int row);

    LogTable& m_table;
    ContestFile& m_file;
    ContestClock& m_clock;
    LogLines& m_lines;
    int m_retimedRow = -1; // the row whose time the operator set with the arrows
};

} // namespace vu
