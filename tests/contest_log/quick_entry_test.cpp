#include "contest_log/quick_entry.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>

namespace vu {
namespace {

struct Case {
    const char* typed;
    const char* sent;
    const char* rcvd;
    const char* category;
    int error;
};

// Reports as the parser leaves them: empty when not given (the entry flow fills in 599).
const Case kCases[] = {
    {"D4ERI/P", "", "", "QRP", 0},
    {"D4ERI/P O", "", "", "QRO", 0},
    {"D4ERI/P 5 O", "559", "599", "QRO", 0},
    {"D4ERI/P 5 4 O", "559", "549", "QRO", 0},
    {"D4ERI/P 44 55", "449", "559", "QRP", 0},
    {"D4ERI/P O 3 5", "539", "559", "QRO", 0},
    {"D4ERI/P 2 O 6", "529", "569", "QRO", 0},
    {"D4ERI/P 229 359 O", "229", "359", "QRO", 0},
    {"D4ERI/P O 579", "", "579", "QRO", 0},
    {"D4ERI/P 0 57", "579", "", "QRP", 0},
    {"D4ERI/P 7", "579", "599", "QRP", 0},
    {"D4ERI/P 65", "", "", "QRP", 0},
    {"D4ERI/P X", "", "", "QRP", 22},
    {"D4ERI/P 5 X", "559", "599", "QRP", 33},
    {"D4ERI/P 5 7 AB", "559", "579", "QRP", 23},
    {"D4ERI/P 5999", "", "", "QRP", 32},
    {"D4ERI/P X 5 AB", "559", "", "QRP", 23},
    // Beyond the fourth token nothing counts; blanks and case do not matter.
    {"D4ERI/P 5 5 5 5", "559", "559", "QRP", 0},
    {"  d4eri/p   5    o  ", "559", "599", "QRO", 0},
    // Token 2 out of range is ignored; tokens 3 and 4 out of range are errors.
    {"D4ERI/P 10", "", "", "QRP", 0},
    {"D4ERI/P 590", "", "", "QRP", 0},
    {"D4ERI/P 591", "591", "599", "QRP", 0},
    {"D4ERI/P 5 60", "559", "599", "QRP", 23},
    {"D4ERI/P 5 5 0", "559", "559", "QRP", 23},
    {"D4ERI/P 5 0", "559", "599", "QRP", 33},
    {"D4ERI/P 5 5 5999", "559", "559", "QRP", 33},
    {"D4ERI/P 5 5999", "559", "599", "QRP", 33},
    {"D4ERI/P 229 3", "229", "539", "QRP", 0},
    {"D4ERI/P O O O", "", "", "QRO", 0},
    // The numeric test takes signs and hexadecimal forms.
    {"D4ERI/P -5", "", "", "QRP", 0},
    {"D4ERI/P $1F", "", "", "QRP", 0},
    {"D4ERI/P 0x1", "", "", "QRP", 0},
    {"D4ERI/P $FF", "$FF", "599", "QRP", 0},
    {"D4ERI/P 5 $F", "559", "$F9", "QRP", 0},
    {"D4ERI/P +5", "", "", "QRP", 0},
    {"D4ERI/P A5", "", "", "QRP", 23},
    {"", "", "", "QRP", 0},
};

TEST(QuickEntry, ParsesTheTableOfEntries) {
    for (const Case& c : kCases) {
        const QuickEntry e = parseQuickEntry(QString::fromLatin1(c.typed));
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(e.rstSent, QLatin1String(c.sent));
        EXPECT_EQ(e.rstRcvd, QLatin1String(c.rcvd));
        EXPECT_EQ(e.category, QLatin1String(c.category));
        EXPECT_EQ(e.error, c.error);
        if (*c.typed != '\0' && *c.typed != ' ') {
            EXPECT_EQ(e.call, QStringLiteral("D4ERI/P"));
        }
    }
}

TEST(QuickEntry, SelectsToken2AsIfOneBlankFollowedTheCallsign) {
    const QuickEntry single = parseQuickEntry(QStringLiteral("D4ERI/P X"));
    EXPECT_EQ(single.error, 22);
    EXPECT_EQ(single.selectionStart, 8);
    EXPECT_EQ(single.selectionLength, 1);
    const QuickEntry spaced = parseQuickEntry(QStringLiteral("D4ERI/P    XY"));
    EXPECT_EQ(spaced.selectionStart, 8);
    EXPECT_EQ(spaced.selectionLength, 2);
}

TEST(QuickEntry, NumericTestFollowsTheIntegerConversion) {
    struct N {
        const char* token;
        std::optional<int> value;
    };
    const N cases[] = {{"5", 5},
                       {"-12", -12},
                       {"+7", 7},
                       {"$1F", 31},
                       {"x10", 16},
                       {"0X1a", 26},
                       {"-$10", -16},
                       {"O", std::nullopt},
                       {"", std::nullopt},
                       {"$", std::nullopt},
                       {"-", std::nullopt},
                       {"1 2", std::nullopt},
                       {"99999999999", std::nullopt},
                       {"0x", std::nullopt},
                       {"2147483647", 2147483647},
                       {"-2147483648", -2147483647 - 1}};
    for (const N& c : cases) {
        EXPECT_EQ(numericValue(QString::fromLatin1(c.token)), c.value) << c.token;
    }
}

// A line end or tab typed or pasted into the line would split the report lines of the callsign.
TEST(QuickEntry, ControlCharactersNeverReachTheFields) {
    struct Control {
        QString typed;
        const char* call;
        const char* sent;
        const char* rcvd;
    };
    const Control cases[] = {
        {QStringLiteral("DL1ABC\t5\t7"), "DL1ABC", "559", "579"},
        {QStringLiteral("DL1ABC\t\t 5"), "DL1ABC", "559", "599"},
        {QStringLiteral("DL1\rABC 5\r\n"), "DL1ABC", "559", "599"},
        {QStringLiteral("\nDL1ABC\x0b 4\x1b 7"), "DL1ABC", "549", "579"},
        {QString::fromLatin1("DL1A\0BC 5", 10), "DL1ABC", "559", "599"},
        {QStringLiteral("DL1ABC\x7f"), "DL1ABC", "", ""},
    };
    for (const Control& c : cases) {
        const QuickEntry e = parseQuickEntry(c.typed);
        SCOPED_TRACE(c.call);
        EXPECT_EQ(e.error, 0);
        EXPECT_EQ(e.call, QLatin1String(c.call));
        EXPECT_EQ(e.rstSent, QLatin1String(c.sent));
        EXPECT_EQ(e.rstRcvd, QLatin1String(c.rcvd));
    }
}

TEST(QuickEntry, TakesAnyTextWithoutCrashing) {
    EXPECT_EQ(parseQuickEntry(QString(100000, u'A')).call.size(), 100000);
    EXPECT_EQ(parseQuickEntry(QStringLiteral("\t\x01 F5ÉÀ 5\x7f 9")).call, QStringLiteral("F5ÉÀ"));
    QRandomGenerator rng(7);
    for (int i = 0; i < 2000; ++i) {
        QString text;
        const int length = rng.bounded(0, 40);
        for (int j = 0; j < length; ++j) {
            text += QChar(static_cast<char16_t>(rng.bounded(0, 0x3000)));
        }
        const QuickEntry e = parseQuickEntry(text);
        EXPECT_TRUE(e.error == 0 || e.error == 22 || e.error == 23 || e.error == 32 ||
                    e.error == 33);
        for (const QString& field : {e.call, e.rstSent, e.rstRcvd}) {
            EXPECT_FALSE(std::any_of(field.begin(), field.end(),
                                     [](QChar ch) { return ch.unicode() < 0x20; }));
        }
    }
}

} // namespace
} // namespace vu
