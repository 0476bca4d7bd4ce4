#include "contest_log/quick_entry.h"
#include "contest_log/quick_entry_examples.h"

#include <gtest/gtest.h>

namespace vu {
namespace {

// The reference card must tell the truth: each example logs what it says.
TEST(QuickEntryExamples, EachExampleParsesToWhatItShows) {
    for (const QuickEntryExample& example : quickEntryExamples()) {
        const QuickEntry e = parseQuickEntry(example.typed);
        SCOPED_TRACE(example.typed.toStdString());
        EXPECT_EQ(e.error, 0);
        EXPECT_EQ(e.call, example.call.trimmed());
        EXPECT_EQ(e.rstSent.isEmpty() ? QStringLiteral("599") : e.rstSent,
                  example.rstSent.trimmed());
        EXPECT_EQ(e.rstRcvd.isEmpty() ? QStringLiteral("599") : e.rstRcvd,
                  example.rstRcvd.trimmed());
        EXPECT_EQ(e.category, example.category.trimmed());
    }
}

} // namespace
} // namespace vu
