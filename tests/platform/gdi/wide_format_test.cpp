#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/gdi/wide_format.h"

namespace {

template <class... Args>
std::u16string Format(const char16_t* format, Args... args) {
    WCHAR buffer[1100];
    const int written = wsprintfW(buffer, format, args...);
    EXPECT_EQ(written, static_cast<int>(std::u16string(buffer).size()));
    return buffer;
}

TEST(WideFormatTest, DecimalsIncludingNegativesAndTheExtremes) {
    EXPECT_EQ(Format(u"%d", 0), u"0");
    EXPECT_EQ(Format(u"%d", 10), u"10");
    EXPECT_EQ(Format(u"%d", -7), u"-7");
    EXPECT_EQ(Format(u"%d", INT_MAX), u"2147483647");
    EXPECT_EQ(Format(u"%d", INT_MIN), u"-2147483648");
    EXPECT_EQ(Format(u"%i|%u", -1, 4294967295u), u"-1|4294967295");
    WCHAR buffer[16];
    EXPECT_EQ(wsprintfW(buffer, u"%d", 12345), 5);
}

TEST(WideFormatTest, StringsCharactersAndPercent) {
    EXPECT_EQ(Format(u"%s!", u"gol"), u"gol!");
    EXPECT_EQ(Format(u"%ls/%hs/%S", u"a", "b", "c"), u"a/b/c");
    EXPECT_EQ(Format(u"%c%hc", static_cast<int>(u'\u00f1'), 'x'), u"\u00f1x");
    EXPECT_EQ(Format(u"100%%"), u"100%");
    EXPECT_EQ(Format(u"%s", static_cast<const WCHAR*>(nullptr)), u"(null)");
    EXPECT_EQ(Format(u"%.2s", u"abc"), u"ab");
}

TEST(WideFormatTest, WidthsFlagsAndHex) {
    EXPECT_EQ(Format(u"[%5d]", -42), u"[  -42]");
    EXPECT_EQ(Format(u"[%-5d]", 42), u"[42   ]");
    EXPECT_EQ(Format(u"[%05d]", -42), u"[-0042]");
    EXPECT_EQ(Format(u"[%.3d]", 7), u"[007]");
    EXPECT_EQ(Format(u"%x %X %#x %#x", 255u, 255u, 255u, 0u), u"ff FF 0xff 0");
    EXPECT_EQ(Format(u"[%4s]", u"ab"), u"[  ab]");
    EXPECT_EQ(Format(u"[%.0d|%.0d|%.0s]", 0, 5, u"abc"), u"[|5|]");
    EXPECT_EQ(Format(u"[%12d]", 5), u"[           5]");
}

TEST(WideFormatTest, UnknownConversionsFailWithAnEmptyString) {
    WCHAR buffer[32] = u"unchanged";
    EXPECT_EQ(wsprintfW(buffer, u"score %f", 1.0), -1);
    EXPECT_EQ(buffer[0], u'\0');
    std::u16string(u"unchanged").copy(buffer, 9);
    EXPECT_EQ(wsprintfW(buffer, u"trailing %"), -1);
    EXPECT_EQ(buffer[0], u'\0');
    EXPECT_EQ(wsprintfW(buffer, nullptr), -1);
    EXPECT_EQ(wsprintfW(nullptr, u"%d", 1), -1);
}

TEST(WideFormatTest, OutputStopsAtThePlatformLimitOf1024Characters) {
    std::u16string longText(2000, u'x');
    WCHAR buffer[1100];
    buffer[1023] = u'?';
    buffer[1024] = u'?';
    EXPECT_EQ(wsprintfW(buffer, u"%s", longText.c_str()), 1023);
    EXPECT_EQ(buffer[1022], u'x');
    EXPECT_EQ(buffer[1023], u'\0');
    EXPECT_EQ(buffer[1024], u'?');
}

}  // namespace
