#include "contest_log/quick_entry_examples.h"

namespace vu {

const std::array<QuickEntryExample, 8>& quickEntryExamples() {
    static const std::array<QuickEntryExample, 8> examples = {{
        {"   D4ERI/P", "  D4ERI/P", "  599", "  599", "  QRP"},
        {"   D4ERI/P   O", "  D4ERI/P", "  599", "  599", "  QRO"},
        {"   D4ERI/P   5   O", "  D4ERI/P", "  559", "  599", "  QRO"},
        {"   D4ERI/P   5   4   O", "  D4ERI/P", "  559", "  549", "  QRO"},
        {"   D4ERI/P   44   55", "  D4ERI/P", "  449", "  559", "  QRP"},
        {"   D4ERI/P   O   3   5", "  D4ERI/P", "  539", "  559", "  QRO"},
        {"   D4ERI/P   2   O   6", "  D4ERI/P", "  529", "  569", "  QRO"},
        {"   D4ERI/P   229   359   O", "  D4ERI/P", "  229", "  359", "  QRO"},
    }};
    return examples;
}

} // namespace vu
