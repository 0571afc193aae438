#include "platform/gdi/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::gdi_detail::Utf8FromUtf16;

std::string Utf8(std::u16string_view text) {
    return Utf8FromUtf16(text.data(), text.size());
}

TEST(Utf16, EachLengthOfUtf8AtItsEnds) {
    EXPECT_EQ(Utf8(u"A\u007F"), "A\x7F");
    EXPECT_EQ(Utf8(u"\u0080\u07FF"), "\xC2\x80\xDF\xBF");
    EXPECT_EQ(Utf8(u"\u0800\u20AC\uFFFD"), "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBD");
    // Either side of the surrogates: characters of their own.
    const char16_t besideSurrogates[] = {0xD7FF, 0xE000};
    EXPECT_EQ(Utf8FromUtf16(besideSurrogates, 2), "\xED\x9F\xBF\xEE\x80\x80");
    // Surrogate pairs, the last one at the very end of the text.
    EXPECT_EQ(Utf8(u"\U00010000\U0001F600\U0010FFFF"),
              "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF");
}

TEST(Utf16, UnpairedSurrogatesBecomeTheReplacementCharacter) {
    const std::string replacement = "\xEF\xBF\xBD";
    const char16_t highThenLetter[] = {0xD800, u'a'};
    const char16_t lowAlone[] = {0xDFFF};
    const char16_t lastHigh[] = {u'a', 0xDBFF};
    const char16_t lowThenHigh[] = {0xDC00, 0xD800};
    EXPECT_EQ(Utf8FromUtf16(highThenLetter, 2), replacement + "a");
    EXPECT_EQ(Utf8FromUtf16(lowAlone, 1), replacement);
    EXPECT_EQ(Utf8FromUtf16(lastHigh, 2), "a" + replacement);
    EXPECT_EQ(Utf8FromUtf16(lowThenHigh, 2), replacement + replacement);
}

}  // namespace
