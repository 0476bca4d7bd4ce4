#pragma once

#include <QByteArray>
#include <QString>
#include <climits>
#include <vector>

namespace vu {

// The grid's columns, named once. Rows: 0 titles, 1..rowCount()-2 log lines, last the entry row.
enum class Col : int {
    Number = 0,
    Band = 1,
    Date = 2,
    Time = 3,
    Call = 4,
    RstSent = 5,
    RstRcvd = 6,
    Member = 7,
    Category = 8,
    FirstName = 9,
    Points = 10,
    Mult = 11,
    Dupe = 12,
};

constexpr int kLogColumns = 13;

// Told of every change of a LogTable, so that a view can follow it.
// The signal report a QSO gets when none is given.
[[nodiscard]] inline QString defaultReport() {
    return QStringLiteral("599");
}

class LogTableListener {
public:
    virtual ~LogTableListener() = default;
    // Cells of rows first..last (inclusive) changed.
    virtual void rowsChanged(int first, int last) = 0;
    // The row count went from oldCount to newCount; rows below min(old, new) may have moved.
    virtual void rowCountChanged(int oldCount, int newCount) = 0;
    virtual void currentCellChanged(int col, int row) = 0;
    // The grid should open its in-place editor on the current cell once the running
    // operation is over, without taking the keyboard focus.
    virtual void editorRequested() = 0;
};

// The working copy of the log: a table of texts that mirrors the log grid row for row.
class LogTable {
public:
    LogTable();

    [[nodiscard]] int rowCount() const { return static_cast<int>(m_rows.size()); }
    // Sets the number of rows (at least 1); new rows are empty, dropped rows are lost.
    void setRowCount(int count);
    [[nodiscard]] int columnCount() const { return m_columns; }
    // Sets the number of columns; never fewer than the 13 the log needs.
    void setColumnCount(int count);
    [[nodiscard]] int entryRow() const { return rowCount() - 1; }

    [[nodiscard]] const QString& cell(int col, int row) const;
    [[nodiscard]] const QString& cell(Col col, int row) const {
        return cell(static_cast<int>(col), row);
    }
    void setCell(int col, int row, const QString& text);
    void setCell(Col col, int row, const QString& text) {
        setCell(static_cast<int>(col), row, text);
    }
    // The record bytes a row was loaded from or last stored as; empty when none. They go with the
    // row when it is copied or cleared, so that a rewrite can keep a row as it was stored.
    [[nodiscard]] const QByteArray& storedRecord(int row) const;
    void setStoredRecord(int row, const QByteArray& bytes);

    // Empties every cell of a row.
    void clearRow(int row);
    // Empties every row from 1 to the last and leaves the title row and one empty entry row.
    void clearLog();
    // Writes 1, 2, ... into column 0 of rows 1 to the entry row.
    void numberRows();
    // Copies all cells of row `from` into row `to`.
    void copyRow(int from, int to);

    [[nodiscard]] int currentRow() const { return m_currentRow; }
    [[nodiscard]] int currentCol() const { return m_currentCol; }
    void setCurrentCell(int col, int row);
    void setCurrentRow(int row) { setCurrentCell(m_currentCol, row); }

    // Asks the view to open its in-place editor on the current cell.
    void requestEditor();

    // The lowest row whose cells changed, or that was added or dropped, since `forgetChanges`
    // (rowCount() when none): what lets the scoring keep its figures of the rows above it.
    [[nodiscard]] int firstChangedRow() const {
        return m_changed.from < rowCount() ? m_changed.from : rowCount();
    }
    void forgetChanges() { m_changed.from = INT_MAX; }

    void setListener(LogTableListener* listener) { m_listener = listener; }

    // Groups the changes of one operation into a single notification when it ends.
    class Batch {
    public:
        explicit Batch(LogTable& table);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        LogTable& m_table;
    };

private:
    void touch(int row);
    void flush();

    std::vector<std::vector<QString>> m_rows;
    std::vector<QByteArray> m_stored;
    int m_columns = kLogColumns;
    int m_currentRow = 1;
    int m_currentCol = 0;
    LogTableListener* m_listener = nullptr;
    int m_batchDepth = 0;
    int m_dirtyFirst = -1;
    int m_dirtyLast = -1;
    // A copy, or a table assigned over, counts as changed from row 0.
    struct ChangeMark {
        int from = 0;
        ChangeMark() = default;
        ChangeMark(const ChangeMark& /*other*/) {}
        ChangeMark& operator=(const ChangeMark& /*other*/) {
            from = 0;
            return *this;
        }
        ~ChangeMark() = default;
    };
    ChangeMark m_changed;
};

} // namespace vu
