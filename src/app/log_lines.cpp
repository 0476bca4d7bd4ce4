#include "app/log_lines.h"

#include <algorithm>

namespace vu {

LogLines::LogLines(LogTable& table, ContestFile& file, ContestClock& clock, MemberRoster& roster,
                   Scorer& scorer)
    : m_table(table), m_file(file), m_clock(clock), m_roster(roster), m_scorer(scorer) {}

bool LogLines::scoreLine(int row) {
    m_scorer.scoreLine(m_table, row);
    return m_scorer.board().dupeShown;
}

void LogLines::rescoreAll() {
    m_scorer.computeTotalScore(m_table);
    m_dupeShown = m_scorer.board().dupeShown;
}

void LogLines::selectBand(int column) {
    m_bandIndex = std::clamp(column, 0, 4);
    m_table.setCell(Col::Band, m_table.entryRow(), currentBand());
}

bool LogLines::stampQso(int r) {
    LogTable::Batch batch(m_table);
    m_table.setCell(Col::Number, r, QString::number(r));
    m_table.setCell(Col::Band, r, currentBand());
    m_table.setCell(Col::Date, r, m_clock.logDate());
    m_table.setCell(Col::Time, r, m_clock.logTime());
    fillFromRoster(r);
    return scoreLine(r);
}

bool LogLines::restampQso(int r, bool retime) {
    LogTable::Batch batch(m_table);
    m_table.setCell(Col::Number, r, QString::number(r));
    if (m_table.cell(Col::Band, r).isEmpty()) {
        m_table.setCell(Col::Band, r, currentBand());
    }
    if (retime) {
        m_table.setCell(Col::Date, r, m_clock.logDate());
        m_table.setCell(Col::Time, r, m_clock.logTime());
    }
    fillFromRoster(r);
    return scoreLine(r);
}

void LogLines::fillFromRoster(int r) {
    LogTable::Batch batch(m_table);
    const MemberResult member = lookUpMember(m_table.cell(Col::Call, r));
    m_table.setCell(Col::Member, r, member.number);
    m_table.setCell(Col::FirstName, r, member.firstName);
    for (Col report : {Col::RstSent, Col::RstRcvd}) {
        if (m_table.cell(report, r).isEmpty()) {
            m_table.setCell(report, r, defaultReport());
        }
    }
    if (m_table.cell(Col::Category, r).isEmpty()) {
        m_table.setCell(Col::Category, r, QStringLiteral("QRP"));
    }
}

void LogLines::storeQso(int r) {
    m_file.storeRow(r); // the QSO is on disk from here on
    // A QSO put below the log is scored alone when nothing above it changed; the figures are
    // those of a full rescoring either way.
    m_scorer.scoreNewLine(m_table, r);
    m_dupeShown = m_scorer.board().dupeShown;
}

void LogLines::load(bool takeLastBand) {
    LogTable::Batch batch(m_table);
    m_file.load();
    for (int k = 1; k < m_table.entryRow(); ++k) {
        const QString& call = m_table.cell(Col::Call, k);
        if (!call.isEmpty()) {
            m_table.setCell(Col::FirstName, k, lookUpMember(call).firstName);
        }
    }
    rescoreAll();
    m_scorer.clearHisContinent();
    m_table.setCell(Col::Band, m_table.entryRow(), currentBand());
    const qsizetype band = bandTexts().indexOf(m_table.cell(Col::Band, m_table.rowCount() - 2));
    if (takeLastBand && band >= 0) {
        selectBand(static_cast<int>(band));
    }
    m_table.requestEditor();
}

} // namespace vu
