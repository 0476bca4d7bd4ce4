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
    // Enter: validates the current row (stamped with the clock, stored, rescored), or on a row
    // without a callsign goes back to column 4 and rescores.
    void enter();
    // Up (+1) or Down (-1): steps the time in deferred-time mode; false lets the grid navigate.
    bool arrow(int delta) { return m_clock.gridArrow(delta); }

    // The question asked before deleting the current line.
    [[nodiscard]] QString deleteQuestion() const;
    // Deletes the current line (the entry row stays) and rewrites the file with a ".BAK" copy.
    void deleteLine(const QDateTime& localNow);
    // The question asked before inserting a blank line.
    [[nodiscard]] static QString insertQuestion();
    // Inserts a blank line at the current row and rewrites the file with a ".BAK" copy.
    void insertBlankLine(const QDateTime& localNow);

private:
    void completeRow(int row);

    LogTable& m_table;
    ContestFile& m_file;
    ContestClock& m_clock;
    LogLines& m_lines;
};

} // namespace vu
