#include "contest_log/log_table.h"

#include <algorithm>

namespace vu {

namespace {
const QString kEmpty;
}

LogTable::LogTable() : m_rows(2, std::vector<QString>(kLogColumns)), m_stored(2) {}

void LogTable::setRowCount(int count) {
    count = std::max(count, 1);
    const int old = rowCount();
    if (count == old) {
        return;
    }
    m_rows.resize(count, std::vector<QString>(m_columns));
    m_stored.resize(count);
    m_changed.from = std::min({m_changed.from, old, count});
    if (m_listener != nullptr) {
        m_listener->rowCountChanged(old, count);
    }
}

void LogTable::setColumnCount(int count) {
    count = std::max(count, kLogColumns);
    if (count == m_columns) {
        return;
    }
    m_columns = count;
    m_changed.from = 0;
    for (auto& row : m_rows) {
        row.resize(count);
    }
    if (m_listener != nullptr) {
        m_listener->rowCountChanged(rowCount(), rowCount());
    }
}

const QString& LogTable::cell(int col, int row) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns) {
        return kEmpty;
    }
    return m_rows[row][col];
}

void LogTable::setCell(int col, int row, const QString& text) {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns) {
        return;
    }
    QString& target = m_rows[row][col];
    if (target == text) {
        return;
    }
    target = text;
    touch(row);
}

const QByteArray& LogTable::storedRecord(int row) const {
    static const QByteArray none;
    return row >= 0 && row < rowCount() ? m_stored[row] : none;
}

void LogTable::setStoredRecord(int row, const QByteArray& bytes) {
    if (row >= 0 && row < rowCount()) {
        m_stored[row] = bytes;
    }
}

void LogTable::clearLog() {
    const Batch batch(*this);
    for (int r = 1; r < rowCount(); ++r) {
        clearRow(r);
    }
    setRowCount(2);
}

void LogTable::numberRows() {
    Batch batch(*this);
    for (int k = 1; k < rowCount(); ++k) {
        setCell(Col::Number, k, QString::number(k));
    }
}

void LogTable::clearRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    m_stored[row].clear();
    bool changed = false;
    for (QString& c : m_rows[row]) {
        if (!c.isEmpty()) {
            c.clear();
            changed = true;
        }
    }
    if (changed) {
        touch(row);
    }
}

void LogTable::copyRow(int from, int to) {
    if (from < 0 || from >= rowCount() || to < 0 || to >= rowCount() || from == to) {
        return;
    }
    m_rows[to] = m_rows[from];
    m_stored[to] = m_stored[from];
    touch(to);
}

void LogTable::setCurrentCell(int col, int row) {
    if (col == m_currentCol && row == m_currentRow) {
        return;
    }
    m_currentCol = col;
    m_currentRow = row;
    if (m_listener != nullptr) {
        m_listener->currentCellChanged(col, row);
    }
}

void LogTable::requestEditor() {
    if (m_listener != nullptr) {
        m_listener->editorRequested();
    }
}

void LogTable::touch(int row) {
    m_changed.from = std::min(m_changed.from, row);
    if (m_listener == nullptr) {
        return;
    }
    if (m_batchDepth == 0) {
        m_listener->rowsChanged(row, row);
        return;
    }
    m_dirtyFirst = m_dirtyFirst < 0 ? row : std::min(m_dirtyFirst, row);
    m_dirtyLast = std::max(m_dirtyLast, row);
}

void LogTable::flush() {
    if (m_dirtyFirst >= 0 && m_listener != nullptr) {
        const int last = std::min(m_dirtyLast, rowCount() - 1);
        if (m_dirtyFirst <= last) {
            m_listener->rowsChanged(m_dirtyFirst, last);
        }
    }
    m_dirtyFirst = m_dirtyLast = -1;
}

LogTable::Batch::Batch(LogTable& table) : m_table(table) {
    ++m_table.m_batchDepth;
}

LogTable::Batch::~Batch() {
    if (--m_table.m_batchDepth == 0) {
        m_table.flush();
    }
}

} // namespace vu
