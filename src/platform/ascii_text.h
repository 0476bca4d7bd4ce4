#pragma once

#include <QString>
#include <QStringView>

namespace vu {

// The text in printable ASCII (codes 32 to 126), for files whose readers take nothing else:
// accented letters lose their accents ("Lefèvre" gives "Lefevre"), a few letters and signs
// become their usual spelling ("ß" gives "ss", "Œ" gives "OE", typographic quotes and dashes
// their plain forms), control characters become blanks, and anything else becomes "?".
[[nodiscard]] QString toAsciiText(QStringView text);

// Whether every character of the text is printable ASCII.
[[nodiscard]] bool isPrintableAscii(QStringView text);

// Whether the text is one or more of the digits 0 to 9 and nothing else (a club number, not
// "NM" nor a number holding a hand check's "*").
[[nodiscard]] bool isAllDigits(QStringView text);

} // namespace vu
