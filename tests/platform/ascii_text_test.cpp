#include "platform/ascii_text.h"

#include <gtest/gtest.h>

namespace vu {
namespace {

TEST(AsciiText, TransliteratesToPrintableAscii) {
    const struct {
        QString text;
        QString ascii;
    } cases[] = {
        {"D4ERI/P 599", "D4ERI/P 599"},
        {"Lefèvre", "Lefevre"},
        {"Jérôme Hélène Çà Ñandú", "Jerome Helene Ca Nandu"},
        {"Łukasz Straße Œuvre Ærø Þór", "Lukasz Strasse OEuvre AEro THor"},
        {"“quoted” ‘single’ – dash … ½", "\"quoted\" 'single' - dash ... 1/2"},
        {"ﬁn² no\u00A0break", "fin2 no break"},
        {"tab\there\r\nend\x7F", "tab here  end "},
        {"日本 😀", "?? ?"},
        {"", ""},
    };
    for (const auto& c : cases) {
        const QString ascii = toAsciiText(c.text);
        EXPECT_EQ(ascii, c.ascii) << c.text.toStdString();
        EXPECT_TRUE(isPrintableAscii(ascii)) << c.text.toStdString();
    }
    EXPECT_FALSE(isPrintableAscii(u"é"));
    EXPECT_FALSE(isPrintableAscii(u"a\tb"));
}

TEST(AsciiText, ClubNumbersAreDigitsOnly) {
    EXPECT_TRUE(isAllDigits(u"123"));
    for (const char16_t* text : {u"", u"NM", u"12*", u"-1", u"١٢"}) {
        EXPECT_FALSE(isAllDigits(text)) << QString::fromUtf16(text).toStdString();
    }
}

} // namespace
} // namespace vu
