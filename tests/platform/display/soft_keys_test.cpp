#include "platform/display/soft_keys.h"

#include <gtest/gtest.h>

#include <array>

namespace platform {
namespace {

TEST(SoftKeyBarResource, ReadsEachButtonsCommandStateStyleLabelAndPopUp) {
    const std::uint16_t words[] = {102,    2,      0xFFFE, 40000, 4,    0x10, 103, 0,
                                   0xFFFF, 0xFFFE, 40001,  0,     0x18, 104,  0,   3};
    const auto bar = ReadSoftKeyBar(words);
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->menu, 102);
    ASSERT_EQ(bar->buttons.size(), 2u);
    const SoftKeyButton& first = bar->buttons[0];
    EXPECT_EQ(first.command, 40000);
    EXPECT_TRUE(first.Enabled());
    EXPECT_FALSE(first.DropsDown()) << "drop-down style without a pop-up";
    EXPECT_EQ(first.labelString, 103);
    const SoftKeyButton& second = bar->buttons[1];
    EXPECT_EQ(second.command, 40001);
    EXPECT_FALSE(second.Enabled());
    EXPECT_TRUE(second.DropsDown());
    EXPECT_EQ(second.labelString, 104);
    EXPECT_EQ(second.popup, 3);
}

TEST(SoftKeyBarResource, WordsCutShortAreRefused) {
    const std::uint16_t noButtons[] = {102, 0};
    EXPECT_TRUE(ReadSoftKeyBar(noButtons).has_value());
    const std::uint16_t cutShort[] = {102, 2, 0xFFFE, 40000, 4, 0x10, 103, 0, 0xFFFF, 0xFFFE};
    EXPECT_FALSE(ReadSoftKeyBar(cutShort).has_value());
    EXPECT_FALSE(ReadSoftKeyBar(std::span(noButtons).first(1)).has_value());
}

TEST(SoftKeyAt, KeysShareTheWidthAsTheyAreDrawn) {
    EXPECT_EQ(SoftKeyAt(0, 0, 480, 26, 2), 0);
    EXPECT_EQ(SoftKeyAt(239, 25, 480, 26, 2), 0);
    EXPECT_EQ(SoftKeyAt(240, 0, 480, 26, 2), 1);
    EXPECT_EQ(SoftKeyAt(479, 0, 480, 26, 2), 1);
    // 100 in three: the second key starts at 33, where it is drawn.
    EXPECT_EQ(SoftKeySpan(1, 3, 100).left, 33);
    EXPECT_EQ(SoftKeyAt(33, 0, 100, 26, 3), 1);
    for (const auto& [x, y] : {std::pair{480, 0}, {-1, 0}, {10, -1}, {10, 26}}) {
        EXPECT_EQ(SoftKeyAt(x, y, 480, 26, 2), -1) << x << "," << y;
    }
    EXPECT_EQ(SoftKeyAt(10, 0, 480, 26, 0), -1);
}

TEST(SoftKeyLook, FollowsTheBarsHeight) {
    const auto look = [](int height) {
        const SoftKeyLook l(height);
        return std::array{l.labelPixels, l.separatorInset, l.separatorWidth};
    };
    EXPECT_EQ(look(26), (std::array{13, 5, 1}));
    EXPECT_EQ(look(52), (std::array{26, 10, 2}));
    EXPECT_EQ(look(1), (std::array{1, 0, 1}));
}

// Keys: 0 plain, 1 disabled, 2 drop-down.
SoftKeys ThreeKeys() {
    return SoftKeys({{40000, 4, 0, 0, SoftKeyButton::kNoPopup},
                     {40001, 0, 0, 0, SoftKeyButton::kNoPopup},
                     {40002, 4, 8, 0, 0}});
}

std::pair<SoftKeyAction::Kind, int> Of(SoftKeyAction action) {
    return {action.kind, action.key};
}

TEST(SoftKeys, APlainKeyIsLitWhileThePointerStaysAndGivesItsCommandWhenReleasedOnIt) {
    SoftKeys keys = ThreeKeys();
    EXPECT_EQ(Of(keys.PointerDown(0)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(keys.Pressed(), 0);
    EXPECT_TRUE(keys.PointerMove(2));
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_FALSE(keys.PointerMove(-1));
    EXPECT_TRUE(keys.PointerMove(0));
    EXPECT_EQ(keys.Pressed(), 0);
    EXPECT_EQ(Of(keys.PointerUp(0)), std::pair(SoftKeyAction::Kind::Command, 0));
    EXPECT_EQ(keys.Pressed(), -1);
    // Released elsewhere: nothing, and a move after it lights nothing.
    keys.PointerDown(0);
    EXPECT_EQ(Of(keys.PointerUp(2)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_FALSE(keys.PointerMove(0));
}

TEST(SoftKeys, ADisabledKeyDoesNothingAndADropDownOpensItsMenuGoingDown) {
    SoftKeys keys = ThreeKeys();
    EXPECT_EQ(Of(keys.PointerDown(1)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(keys.Pressed(), -1);
    EXPECT_EQ(Of(keys.Activate(1)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(Of(keys.PointerDown(-1)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(Of(keys.Activate(3)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(Of(keys.PointerDown(2)), std::pair(SoftKeyAction::Kind::OpenMenu, 2));
    EXPECT_EQ(Of(keys.PointerUp(2)), std::pair(SoftKeyAction::Kind::None, -1));
    EXPECT_EQ(Of(keys.Activate(0)), std::pair(SoftKeyAction::Kind::Command, 0));
    EXPECT_EQ(keys.KeyOfCommand(40002), 2);
    EXPECT_EQ(keys.KeyOfCommand(40003), -1);
}

}  // namespace
}  // namespace platform
