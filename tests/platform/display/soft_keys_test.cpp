#include "platform/display/soft_keys.h"

#include <gtest/gtest.h>

#include <array>

namespace platform {
namespace {

TEST(SoftKeyBarResource, ReadsEachButtonAndRefusesWordsCutShort) {
    const std::uint16_t words[] = {102, 2,      0xFFFE, 40000, 4,    0x10, 103, 0,
                                   2,   0xFFFE, 40001,  0,     0x18, 104,  0,   3};
    const auto bar = ReadSoftKeyBar(words);
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->menu, 102);
    ASSERT_EQ(bar->buttons.size(), 2u);
    const auto fields = [](const SoftKeyButton& b) {
        return std::array<int, 5>{b.command, b.labelString, b.popup, b.Enabled(), b.DropsDown()};
    };
    // A pop-up without the drop-down style does not drop down.
    EXPECT_EQ(fields(bar->buttons[0]), (std::array<int, 5>{40000, 103, 2, true, false}));
    EXPECT_EQ(fields(bar->buttons[1]), (std::array<int, 5>{40001, 104, 3, false, true}));
    const std::uint16_t noButtons[] = {102, 0};
    EXPECT_TRUE(ReadSoftKeyBar(noButtons).has_value());
    EXPECT_FALSE(ReadSoftKeyBar(std::span(words).first(15)).has_value());
    EXPECT_FALSE(ReadSoftKeyBar(std::span(words).first(1)).has_value());
}

TEST(SoftKeyAt, KeysShareTheWidthAsTheyAreDrawn) {
    EXPECT_EQ(SoftKeyAt(239, 25, 480, 26, 2), 0);
    EXPECT_EQ(SoftKeyAt(240, 0, 480, 26, 2), 1);
    // 100 in three: the second key starts at 33, where it is drawn.
    EXPECT_EQ(SoftKeySpan(1, 3, 100).left, 33);
    EXPECT_EQ(SoftKeyAt(33, 0, 100, 26, 3), 1);
    for (const auto& [x, y] : {std::pair{480, 0}, {-1, 0}, {10, -1}, {10, 26}}) {
        EXPECT_EQ(SoftKeyAt(x, y, 480, 26, 2), -1) << x << "," << y;
    }
}

TEST(SoftKeyLook, FollowsTheBarsHeight) {
    const auto look = [](int height) {
        const SoftKeyLook l(height);
        return std::array{l.labelPixels, l.separatorInset, l.separatorWidth};
    };
    EXPECT_EQ(look(26), (std::array{13, 5, 1}));
    EXPECT_EQ(look(130), (std::array{65, 25, 5}));
    EXPECT_EQ(look(50), (std::array{25, 9, 1}));
    EXPECT_EQ(look(1), (std::array{1, 0, 1}));
}

// Keys: 0 plain (drop-down style without a pop-up), 1 disabled, 2 drop-down.
SoftKeys ThreeKeys() {
    return SoftKeys({{40000, 4, 8, 0, SoftKeyButton::kNoPopup},
                     {40001, 0, 0, 0, SoftKeyButton::kNoPopup},
                     {40002, 4, 8, 0, 0}});
}

using Kind = SoftKeyAction::Kind;
std::pair<Kind, int> Of(SoftKeyAction action) {
    return {action.kind, action.key};
}

TEST(SoftKeys, APlainKeyIsLitWhileThePointerStaysAndGivesItsCommandWhenReleasedOnIt) {
    SoftKeys keys = ThreeKeys();
    EXPECT_EQ(Of(keys.PointerDown(0)), std::pair(Kind::None, -1));
    EXPECT_EQ(keys.Pressed(), 0);
    EXPECT_TRUE(keys.PointerMove(2));
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_FALSE(keys.PointerMove(-1));
    EXPECT_TRUE(keys.PointerMove(0));
    EXPECT_EQ(Of(keys.PointerUp(0)), std::pair(Kind::Command, 0));
    EXPECT_EQ(keys.Pressed(), -1);
    // Released elsewhere: nothing, and a move after it lights nothing.
    keys.PointerDown(0);
    EXPECT_EQ(Of(keys.PointerUp(2)), std::pair(Kind::None, -1));
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_FALSE(keys.PointerMove(0));
}

TEST(SoftKeys, ADisabledKeyDoesNothingAndADropDownOpensItsMenuGoingDown) {
    SoftKeys keys = ThreeKeys();
    for (int key : {1, -1, 3}) {
        EXPECT_EQ(Of(keys.PointerDown(key)), std::pair(Kind::None, -1)) << key;
        EXPECT_EQ(Of(keys.Activate(key)), std::pair(Kind::None, -1)) << key;
    }
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_EQ(Of(keys.PointerDown(2)), std::pair(Kind::OpenMenu, 2));
    EXPECT_EQ(Of(keys.PointerUp(2)), std::pair(Kind::None, -1));
    EXPECT_EQ(Of(keys.Activate(0)), std::pair(Kind::Command, 0));
    EXPECT_EQ(keys.KeyOfCommand(40002), 2);
    EXPECT_EQ(keys.KeyOfCommand(40003), -1);
}

}  // namespace
}  // namespace platform
