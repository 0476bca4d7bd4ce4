#pragma once

#include "app/log_lines.h"

#include <QString>

namespace vu {

// The member label beside the quick-entry field: first name, "  --> ZIR: ", number, cut to 55.
[[nodiscard]] QString memberLabelText(const MemberResult& member);

// The quick-entry panel of the main window: the texts of its field and labels, and the road of
// one QSO from the typed line to a stored, scored line and a fresh entry row.
class EntryPanel {
public:
    EntryPanel(LogTable& table, ContestClock& clock, LogLines& lines);

    [[nodiscard]] const QString& entryText() const { return m_entryText; }
    [[nodiscard]] const QString& memberLabel() const { return m_memberLabel; }
    [[nodiscard]] const QString& errorLabel() const { return m_errorLabel; }
    [[nodiscard]] bool dupeVisible() const { return m_lines.dupeShown(); }
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
    // Parses the line; a valid one is stored as a QSO in the entry row, which moves on.
    EnterOutcome storeLine(const QString& text);

    LogTable& m_table;
    ContestClock& m_clock;
    LogLines& m_lines;
    QString m_entryText;
    QString m_memberLabel = QStringLiteral("-");
    QString m_errorLabel = QStringLiteral("-");
    int m_entryError = 0;
    int m_selectionStart = 0;
    int m_selectionLength = 0;
};

} // namespace vu
