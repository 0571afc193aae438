// What a control shows of its text, with every character one unit wide.
#include "platform/window/control_text.h"

#include <gtest/gtest.h>

namespace platform::detail {
namespace {

double Characters(std::u16string_view text) {
    return static_cast<double>(text.size());
}

using Lines = std::vector<std::u16string>;

TEST(ControlText, MnemonicMarksAreTakenOutButADoubledOrLastOneShows) {
    EXPECT_EQ(WithoutPrefixes(u"&Aceptar"), u"Aceptar");
    EXPECT_EQ(WithoutPrefixes(u"a&b"), u"ab");
    EXPECT_EQ(WithoutPrefixes(u"Tom && Jerry"), u"Tom & Jerry");
    EXPECT_EQ(WithoutPrefixes(u"a&"), u"a&");
    EXPECT_EQ(WithoutPrefixes(u"&"), u"&");
    EXPECT_EQ(WithoutPrefixes(u""), u"");
}

TEST(ControlText, WordsWrapWhereTheNextWouldNotFitAndALongerWordHasALineOfItsOwn) {
    // "uno dos" is exactly 7 wide: it fits in 7, not in 6.
    EXPECT_EQ(WrapWords(u"uno dos tres", 7, Characters), (Lines{u"uno dos", u"tres"}));
    EXPECT_EQ(WrapWords(u"uno dos tres", 6, Characters), (Lines{u"uno", u"dos", u"tres"}));
    EXPECT_EQ(WrapWords(u"uno dos tres", 12, Characters), (Lines{u"uno dos tres"}));
    EXPECT_EQ(WrapWords(u"a larguisima b", 4, Characters), (Lines{u"a", u"larguisima", u"b"}));
    EXPECT_EQ(WrapWords(u"larguisima", 4, Characters), (Lines{u"larguisima"}));
    EXPECT_EQ(WrapWords(u"", 10, Characters), (Lines{u""}));
    EXPECT_EQ(WrapWords(u"a  b", 10, Characters), (Lines{u"a  b"}));
    EXPECT_EQ(WrapWords(u"ab cd", 1, Characters), (Lines{u"ab", u"cd"}));
}

}  // namespace
}  // namespace platform::detail
