#pragma once

#include "contest_log/contest_clock.h"
#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"
#include "contest_log/member_result.h"

#include <QString>

namespace vu {

// What the entry panel and grid editing need beyond loading: the roster and line scoring.
class EntryServices : public LogServices {
public:
    // Looks a callsign up in the member roster.
    [[nodiscard]] virtual MemberResult lookUpMember(const QString& call) = 0;
    // Scores one row (columns 10 to 12); true when it is a duplicate (the DUPE panel shows).
    virtual bool scoreLine(LogTable& table, int row) = 0;
};

// The member label beside the quick-entry field: first name, "  --> ZIR: ", number, cut to 55.
[[nodiscard]] QString memberLabelText(const MemberResult& member);

// The quick-entry panel of the main window: the texts of its field and labels, and the road of
// one QSO from the typed line to a stored, scored line and a fresh entry row.
class EntryPanel {
public:
    EntryPanel(LogTable& table, ContestFile& file, ContestClock& clock, EntryServices& services);

    [[nodiscard]] const QString& entryText() const { return m_entryText; }
    [[nodiscard]] const QString& memberLabel() const { return m_memberLabel; }
    [[nodiscard]] const QString& errorLabel() const { return m_errorLabel; }
    [[nodiscard]] bool dupeVisible() const { return m_dupeVisible; }
    void setDupeVisible(bool visible) { m_dupeVisible = visible; }
    // The error label's text for an entry error code: "Erreur de saisie " and the code.
    [[nodiscard]] static QString errorText(int code);
    // The entry error code of the last Enter (0 when the line was taken).
    [[nodiscard]] int entryError() const { return m_entryError; }
    // Token 2 to select in the field after a refused line with code 22; length 0 otherwise.
    [[nodiscard]] int selectionStart() const { return m_selectionStart; }
    [[nodiscard]] int selectionLength() const { return m_selectionLength; }

    // Every change of the field's text: the as-you-type duplicate and member check.
    void setEntryText(const QString& text);

    enum class EnterOutcome { Ignored, Refused, Stored };
    // Enter in the field. A store failure (IoError, ConvertError) propagates with the line left
    // in the entry row and the field's text kept.
    EnterOutcome pressEnter();
    // Alt+W: clears the field.
    void clearEntry() { setEntryText(QString()); }
    // Alt+F1 / Alt+F2: the band one column left or right, within "80" to "10".
    void bandLeft();
    void bandRight();
    // Up (+1) or Down (-1) in the field; always consumed.
    bool arrow(int delta) { return m_clock.entryFieldArrow(delta); }

private:
    void validate(const QString& text, EnterOutcome& outcome);

    LogTable& m_table;
    ContestFile& m_file;
    ContestClock& m_clock;
    EntryServices& m_services;
    QString m_entryText;
    QString m_memberLabel = QStringLiteral("-");
    QString m_errorLabel = QStringLiteral("-");
    bool m_dupeVisible = false;
    int m_entryError = 0;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
};

} // namespace vu
