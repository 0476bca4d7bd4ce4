#pragma once

#include <QString>
#include <array>

namespace vu {

// One worked example of the quick-entry syntax as the examples window shows it: what is typed,
// then the callsign, reports and category logged from it (texts with their leading blanks).
struct QuickEntryExample {
    QString typed;
    QString call;
    QString rstSent;
    QString rstRcvd;
    QString category;
};

// The eight examples, in the window's row order.
[[nodiscard]] const std::array<QuickEntryExample, 8>& quickEntryExamples();

} // namespace vu
