#include "reports/email_address.h"

#include <gtest/gtest.h>

namespace vu {
namespace {

TEST(EmailAddress, CheckTable) {
    struct Case {
        QString text;
        bool accepted;
    };
    const Case cases[] = {
        {"abc@def.gh", true},
        {"\"john doe\"@example.org", true}, // quoted local part with a blank
        {"a..b@example.org", false},        // two dots in a row
        {"a@1abc.org", false},              // label starting with a digit
        {"a@abc-.org", false},              // label ending with a hyphen
        {"a@ab--cd.org", true},             // two hyphens inside a label
        {"a@example.o", true},              // one-letter last label
        {"john doe@example.org", false},    // blank in an unquoted local part
        {"a@example.org.", false},          // dot as the last character
        {"", false},
        {"a@example", false}, // no domain dot
        {"a@", false},
        {"@example.org", false},
        {".a@example.org", false},
        {"a.@example.org", false},
        {"a.b-c_d+e@x9.example.org", true},
        {"\"a\\\"b\"@x.org", true},    // escaped quote inside quotes
        {"\"a\rb\"@x.org", false},     // carriage return inside quotes
        {"\"a\\\rb\"@x.org", true},    // ... unless escaped
        {"\"a\"b@x.org", false},       // a quoted part ends at an at sign or a dot
        {"\"a\".\"b\".c@x.org", true}, // quoted and plain parts joined by dots
        {"a@-b.org", false},
        {"a@b.c-d.fr", true},
        {"a@b.c@d.fr", false},
        {"a(b)@x.org", false},
        {"a\x7F@x.org", false},
        {"été@exemple.fr", true},  // accented letters are atom characters ...
        {"a@exémple.fr", false},   // ... but not domain letters
        {"a@example.org ", false}, // trailing blank
        {"D4ERI@provider.fr", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isValidEmailAddress(c.text), c.accepted) << c.text.toStdString();
    }
}

} // namespace
} // namespace vu
