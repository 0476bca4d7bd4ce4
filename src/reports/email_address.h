#pragma once

#include <QString>

namespace vu {

// Whether a text is an e-mail address the report can be sent from or to: a local part of atoms
// joined by dots or in quotation marks, an at sign, and a domain of at least two labels that
// start with a letter and do not end with a hyphen.
[[nodiscard]] bool isValidEmailAddress(const QString& text);

} // namespace vu
