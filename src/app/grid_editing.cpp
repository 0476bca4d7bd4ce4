#include "app/grid_editing.h"

namespace vu {

GridEditing::GridEditing(LogTable& table, ContestFile& file, ContestClock& clock, LogLines& lines)
    : m_table(table), m_file(file), m_clock(clock), m_lines(lines) {}

QString GridEditing::timeColumnMessage() {
    return QStringLiteral("Pour modifier une QTR, passer en temps différé, régler l'heure avec les "
                          "touches \"Flèche haut\" et \"Flèche bas\", puis RETURN");
}

bool GridEditing::cellEntered(int col, int row) {
    m_table.setCurrentCell(col, row);
    return col == static_cast<int>(Col::Time);
}

void GridEditing::completeRow(int row) {
    if (m_table.cell(Col::Call, row).trimmed().isEmpty()) {
        return;
    }
    LogTable::Batch batch(m_table);
    m_lines.fillFromRoster(row);
    if (m_table.cell(Col::Band, row).isEmpty()) {
        m_table.setCell(Col::Band, row, m_lines.currentBand());
    }
    m_lines.scoreLine(row);
}

void GridEditing::space() {
    const int col = m_table.currentCol();
    int next = static_cast<int>(Col::Call);
    if (col == static_cast<int>(Col::Call)) {
        completeRow(m_table.currentRow());
        next = static_cast<int>(Col::RstSent);
    } else if (col >= static_cast<int>(Col::RstSent) && col <= static_cast<int>(Col::Member)) {
        next = col + 1;
    }
    m_table.setCurrentCell(next, m_table.currentRow());
    m_table.requestEditor();
}

bool GridEditing::categoryKey(QChar key) {
    if (m_table.currentCol() != static_cast<int>(Col::Category)) {
        return false;
    }
    const QChar upper = key.toUpper();
    if (upper != u'O' && upper != u'P') {
        return false;
    }
    const int row = m_table.currentRow();
    LogTable::Batch batch(m_table);
    m_table.setCell(Col::Category, row,
                    upper == u'O' ? QStringLiteral("QRO") : QStringLiteral("QRP"));
    m_lines.scoreLine(row);
    return true;
}

bool GridEditing::validateRow(int r) {
    if (m_table.cell(Col::Call, r).trimmed().isEmpty()) {
        return false;
    }
    // A line that was never stored (the entry row, a blank inserted line) is a QSO of now; a
    // logged line stays where it was logged.
    if (r == m_table.entryRow() || !m_file.isLogged(r)) {
        m_lines.stampQso(r);
    } else {
        m_lines.restampQso(r, m_retimedRow == r);
    }
    m_retimedRow = -1;
    m_lines.storeQso(r);
    return true;
}

bool GridEditing::enter() {
    const int r = m_table.currentRow();
    LogTable::Batch batch(m_table);
    if (!validateRow(r)) {
        m_table.setCurrentCell(static_cast<int>(Col::Call), r);
        m_table.requestEditor();
        m_lines.rescoreAll();
        return false;
    }
    if (r == m_table.entryRow()) {
        m_table.setRowCount(m_table.rowCount() + 1);
        m_table.setCurrentCell(static_cast<int>(Col::Call), m_table.entryRow());
    } else {
        m_table.setCurrentCell(static_cast<int>(Col::Call), r + 1);
    }
    m_table.requestEditor();
    return true;
}

bool GridEditing::arrow(int delta) {
    if (!m_clock.gridArrow(delta)) {
        return false;
    }
    m_retimedRow = m_table.currentRow();
    return true;
}

QString GridEditing::deleteQuestion() const {
    return QStringLiteral("Confirmez la suppression de la ligne %1").arg(m_table.currentRow());
}

void GridEditing::deleteLine(const QDateTime& localNow) {
    const int r = m_table.currentRow();
    {
        LogTable::Batch batch(m_table);
        if (r >= 1 && r < m_table.entryRow()) {
            for (int k = r; k <= m_table.rowCount() - 2; ++k) {
                m_table.copyRow(k + 1, k);
            }
            m_table.setRowCount(m_table.rowCount() - 1);
            m_table.numberRows();
        }
    }
    m_file.rewrite(localNow);
    LogTable::Batch batch(m_table);
    m_lines.rescoreAll();
}

QString GridEditing::insertQuestion() const {
    // The line the blank one is put before, as the delete question names its line.
    return QStringLiteral("Confirmez l'insertion d'une ligne avant la ligne %1")
        .arg(m_table.currentRow());
}

void GridEditing::insertBlankLine(const QDateTime& localNow) {
    const int r = m_table.currentRow();
    if (r < 1) {
        return;
    }
    {
        LogTable::Batch batch(m_table);
        m_table.setRowCount(m_table.rowCount() + 1);
        for (int k = m_table.rowCount() - 1; k >= r + 1; --k) {
            m_table.copyRow(k - 1, k);
        }
        m_table.clearRow(r);
        m_table.numberRows();
    }
    m_file.rewrite(localNow);
}

} // namespace vu
