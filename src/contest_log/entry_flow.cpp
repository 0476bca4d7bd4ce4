#include "contest_log/entry_flow.h"

#include "contest_log/bands.h"
#include "contest_log/quick_entry.h"

namespace vu {

QString memberLabelText(const MemberResult& member) {
    return ((member.firstName + QStringLiteral("  --> ZIR: ")).left(51) + member.number).left(55);
}

QString EntryPanel::errorText(int code) {
    return QStringLiteral("Erreur de saisie %1").arg(code);
}

EntryPanel::EntryPanel(LogTable& table, ContestFile& file, ContestClock& clock,
                       EntryServices& services)
    : m_table(table), m_file(file), m_clock(clock), m_services(services) {}

void EntryPanel::setEntryText(const QString& text) {
    m_entryText = text;
    const QString typed = text.section(u' ', 0, 0);
    m_dupeVisible = false;
    if (typed.size() <= 3) {
        return;
    }
    m_dupeVisible = workedOnBand(m_table, typed, m_file.currentBand());
    m_memberLabel = memberLabelText(m_services.lookUpMember(typed));
}

EntryPanel::EnterOutcome EntryPanel::pressEnter() {
    const QString text = m_entryText;
    if (text.trimmed().isEmpty()) {
        return EnterOutcome::Ignored;
    }
    m_memberLabel.clear();
    EnterOutcome outcome = EnterOutcome::Refused;
    validate(text, outcome);
    if (!m_clock.isRealTime()) {
        m_clock.stepTime(+1);
    }
    return outcome;
}

void EntryPanel::validate(const QString& text, EnterOutcome& outcome) {
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
        return;
    }
    const int r = m_table.entryRow();
    {
        LogTable::Batch batch(m_table);
        const auto orDefault = [](const QString& report) {
            return report.isEmpty() ? defaultReport() : report;
        };
        m_table.setCell(Col::Number, r, QString::number(r));
        m_table.setCell(Col::Band, r, m_file.currentBand());
        m_table.setCell(Col::Date, r, m_clock.logDate());
        m_table.setCell(Col::Time, r, m_clock.logTime());
        m_table.setCell(Col::Call, r, entry.call);
        m_table.setCell(Col::RstSent, r, orDefault(entry.rstSent));
        m_table.setCell(Col::RstRcvd, r, orDefault(entry.rstRcvd));
        const MemberResult member = m_services.lookUpMember(entry.call);
        m_table.setCell(Col::Member, r, member.number);
        m_table.setCell(Col::Category, r, entry.category);
        m_table.setCell(Col::FirstName, r, member.firstName);
        m_dupeVisible = m_services.scoreLine(m_table, r);
        if (m_table.currentRow() != r && m_table.currentRow() >= 1) {
            m_dupeVisible = m_services.scoreLine(m_table, m_table.currentRow());
        }
    }
    m_file.storeRow(r); // the QSO is on disk from here on
    LogTable::Batch batch(m_table);
    m_services.computeTotalScore(m_table);
    m_table.setRowCount(m_table.rowCount() + 1);
    m_table.setCurrentRow(m_table.entryRow());
    m_file.numberRow(m_table.entryRow());
    m_errorLabel.clear();
    clearEntry();
    outcome = EnterOutcome::Stored;
}

void EntryPanel::bandLeft() {
    if (m_file.bandIndex() > 0) {
        m_file.selectBand(m_file.bandIndex() - 1);
    }
}

void EntryPanel::bandRight() {
    if (m_file.bandIndex() < 4) {
        m_file.selectBand(m_file.bandIndex() + 1);
    }
}

} // namespace vu
