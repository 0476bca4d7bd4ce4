#pragma once

#include <QString>
#include <optional>

namespace vu {

// Entry error codes of a quick-entry line.
enum EntryError : int {
    EntryOk = 0,
    EntryBadToken2 = 22, // token 2: one character, neither "O" nor a digit
    EntryBadReport = 23, // a report that is not numeric or out of range
    EntryToken2TooLong = 32,
    EntryBadToken3 = 33, // token 3 of one bad character; token 3 or 4 too long
};

// What one quick-entry line says about a QSO.
struct QuickEntry {
    QString call;
    QString rstSent; // empty when not given ("599" is filled in by the entry flow)
    QString rstRcvd;
    QString category = QStringLiteral("QRP");
    int error = EntryOk;
    // Where token 2 stands, for highlighting it: len1 + 1 as if one blank followed the callsign.
    int selectionStart = 0;
    int selectionLength = 0;
};

// The integer conversion's test: optional sign, then decimal digits, or "$", "x", "X", "0x", "0X"
// followed by hexadecimal digits. Returns the value, or nothing when the token is not numeric.
[[nodiscard]] std::optional<int> numericValue(const QString& token);

// Parses the text of the quick-entry field.
[[nodiscard]] QuickEntry parseQuickEntry(const QString& text);

} // namespace vu
