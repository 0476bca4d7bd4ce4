#include "app/entry_panel.h"

#include "contest_log/bands.h"
#include "contest_log/quick_entry.h"

namespace vu {

QString memberLabelText(const MemberResult& member) {
    return ((member.firstName + QStringLiteral("  --> ZIR: ")).left(51) + member.number).left(55);
}

QString EntryPanel::errorText(int code) {
    return QStringLiteral("Erreur de saisie %1").arg(code);
}

EntryPanel::EntryPanel(LogTable& table, ContestClock& clock, LogLines& lines)
    : m_table(table), m_clock(clock), m_lines(lines) {}

void EntryPanel::setEntryText(const QString& text) {
    m_entryText = text;
    const QString typed = text.section(u' ', 0, 0);
    m_lines.setDupeShown(false);
    if (typed.size() <= 3) {
        return;
    }
    m_lines.setDupeShown(workedOnBand(m_table, typed, m_lines.currentBand()));
    m_memberLabel = memberLabelText(m_lines.lookUpMember(typed));
}

EntryPanel::EnterOutcome EntryPanel::pressEnter() {
    const QString text = m_entryText;
    if (text.trimmed().isEmpty()) {
        return EnterOutcome::Ignored;
    }
    m_memberLabel.clear();
    const EnterOutcome outcome = storeLine(text);
    if (!m_clock.isRealTime()) {
        m_clock.stepTime(+1);
    }
    return outcome;
}

EntryPanel::EnterOutcome EntryPanel::storeLine(const QString& text) {
    const QuickEntry entry = parseQuickEntry(text);
    m_entryError = entry.error;
    m_selectionStart = 0;
    m_selectionLength = 0;
    if (entry.error != EntryOk) {
        if (entry.error == EntryBadToken2) {
            m_errorLabel = errorText(entry.error);
            m_selectionStart = entry.selectionStart;
            m_selectionLength = entry.selectionLength;
        }
        return EnterOutcome::Refused;
    }
    const int r = m_table.entryRow();
    {
        LogTable::Batch batch(m_table);
        m_table.setCell(Col::Call, r, entry.call);
        m_table.setCell(Col::RstSent, r, entry.rstSent);
        m_table.setCell(Col::RstRcvd, r, entry.rstRcvd);
        m_table.setCell(Col::Category, r, entry.category);
        m_lines.setDupeShown(m_lines.stampQso(r));
        if (m_table.currentRow() != r && m_table.currentRow() >= 1) {
            m_lines.setDupeShown(m_lines.scoreLine(m_table.currentRow()));
        }
    }
    LogTable::Batch batch(m_table);
    m_lines.storeQso(r);
    m_table.setRowCount(m_table.rowCount() + 1);
    m_table.setCurrentRow(m_table.entryRow());
    m_table.setCell(Col::Number, m_table.entryRow(), QString::number(m_table.entryRow()));
    m_table.requestEditor();
    m_errorLabel.clear();
    clearEntry();
    return EnterOutcome::Stored;
}

void EntryPanel::bandLeft() {
    if (m_lines.bandIndex() > 0) {
        m_lines.selectBand(m_lines.bandIndex() - 1);
    }
}

void EntryPanel::bandRight() {
    if (m_lines.bandIndex() < 4) {
        m_lines.selectBand(m_lines.bandIndex() + 1);
    }
}

} // namespace vu
