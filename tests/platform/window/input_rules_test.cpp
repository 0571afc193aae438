#include "platform/window/input_rules.h"

#include <gtest/gtest.h>

#include "tests/platform/window/input_description.h"

namespace platform {
namespace {

using testing::Describe;
using Lines = std::vector<std::string>;
using enum RawInputKind;

constexpr PointerId kMouse{true, 0};
constexpr PointerId kFinger{false, 7};
constexpr PointerId kOtherFinger{false, 8};

RawInput Pointer(RawInputKind kind, PointerId pointer, int x, int y, bool inside = true,
                 bool mainButton = true) {
    return {.kind = kind,
            .pointer = pointer,
            .at = DevicePoint{x, y, inside},
            .mainButton = mainButton};
}

RawInput Down(PointerId pointer, int x, int y, bool inside = true, bool mainButton = true) {
    return Pointer(PointerDown, pointer, x, y, inside, mainButton);
}
RawInput Move(PointerId pointer, int x, int y, bool inside = true) {
    return Pointer(PointerMove, pointer, x, y, inside);
}
RawInput Up(PointerId pointer, int x, int y, bool inside = true, bool mainButton = true) {
    return Pointer(PointerUp, pointer, x, y, inside, mainButton);
}

RawInput Key(RawInputKind kind, std::int64_t key, std::uint32_t virtualKey, bool repeat = false) {
    return {.kind = kind, .key = key, .virtualKey = virtualKey, .repeat = repeat};
}

class InputRulesTest : public ::testing::Test {
  protected:
    Lines Feed(std::initializer_list<RawInput> events) {
        std::vector<InputEvent> out;
        for (const RawInput& event : events) {
            rules.Apply(event, out);
        }
        return Describe(out);
    }

    InputRules rules;
};

TEST_F(InputRulesTest, AnyPointerSteersUntilOneIsDownWhichIsTheStylusUntilItLiftsOrIsCancelled) {
    // A hovering mouse, and a move off the screen at the edge it was clamped to.
    EXPECT_EQ(Feed({Move(kMouse, 10, 20), Move(kMouse, 0, 319, false), Move(kFinger, 30, 40)}),
              (Lines{"move 10,20", "move 0,319", "move 30,40"}));
    EXPECT_EQ(Feed({Down(kFinger, 50, 60),
                    // Neither another finger nor the mouse presses, steers or lifts meanwhile.
                    Down(kOtherFinger, 70, 80), Move(kOtherFinger, 71, 81), Move(kMouse, 72, 82),
                    Down(kMouse, 72, 82), Up(kMouse, 72, 82), Up(kOtherFinger, 72, 82),
                    // The stylus steers off the screen too, along its edge.
                    Move(kFinger, 239, 61, false), Up(kFinger, 52, 62),
                    // Once it lifted, another pointer may be the stylus.
                    Down(kMouse, 90, 100), Move(kMouse, 91, 101), Up(kMouse, 92, 102)}),
              (Lines{"down 50,60", "move 239,61", "up 52,62", "down 90,100", "move 91,101",
                     "up 92,102"}));
    // A cancelled stylus lifts.
    EXPECT_EQ(Feed({Down(kFinger, 90, 100), Pointer(PointerCancel, kFinger, 91, 101, true, false),
                    Down(kOtherFinger, 5, 6)}),
              (Lines{"down 90,100", "up 91,101", "down 5,6"}));
}

TEST_F(InputRulesTest, PressesOffTheScreenOrWithOtherButtonsDoNothing) {
    EXPECT_EQ(Feed({Down(kMouse, 0, 10, false), Up(kMouse, 0, 10, false),
                    Down(kMouse, 10, 10, true, false), Up(kMouse, 10, 10, true, false),
                    // Still no stylus: the mouse hovers.
                    Move(kMouse, 12, 13)}),
              (Lines{"move 12,13"}));
    // Another button's release does not lift the stylus; a press dragged off the screen still
    // ends, at the edge.
    EXPECT_EQ(
        Feed({Down(kMouse, 20, 50), Up(kMouse, 20, 50, true, false), Up(kMouse, 239, 50, false)}),
        (Lines{"down 20,50", "up 239,50"}));
}

TEST_F(InputRulesTest, WithNoScreenToPointAtOnlyAReleaseComesThrough) {
    const RawInput nowhere{.kind = PointerMove, .pointer = kMouse};
    const RawInput down{.kind = PointerDown, .pointer = kMouse};
    const RawInput up{.kind = PointerUp, .pointer = kMouse};
    EXPECT_EQ(Feed({nowhere, down, up}), Lines{});
    // A window shrunk to nothing while pressed: the release still ends the press.
    EXPECT_EQ(Feed({Down(kMouse, 20, 50), nowhere, up}), (Lines{"down 20,50", "up 0,0"}));
}

TEST_F(InputRulesTest, KeysGoDownAndUpOnce) {
    EXPECT_EQ(Feed({Key(KeyUp, 1, 'A'),  // pressed before we had the keyboard
                    Key(KeyDown, 2, 'B'), Key(KeyDown, 2, 'B', true), Key(KeyDown, 2, 'B'),
                    Key(KeyUp, 2, 'B'), Key(KeyUp, 2, 'B')}),
              (Lines{"key-down 0x42", "key-up 0x42"}));
    EXPECT_FALSE(rules.KeyHeld(2));
}

TEST_F(InputRulesTest, KeysWithOneVirtualKeyAreOneKeyHeldWhileEitherIs) {
    constexpr std::int64_t kLeftControl = 100;
    constexpr std::int64_t kRightControl = 101;
    EXPECT_EQ(Feed({Key(KeyDown, kLeftControl, 0x11), Key(KeyDown, kRightControl, 0x11),
                    Key(KeyUp, kLeftControl, 0x11)}),
              (Lines{"key-down 0x11"}));
    EXPECT_TRUE(rules.KeyHeld(kRightControl));
    EXPECT_FALSE(rules.KeyHeld(kLeftControl));
    EXPECT_EQ(Feed({Key(KeyUp, kRightControl, 0x11)}), (Lines{"key-up 0x11"}));
}

TEST_F(InputRulesTest, LosingTheKeyboardReleasesEachHeldKeyOnce) {
    EXPECT_EQ(
        Feed({Key(KeyDown, 100, 0x11),
              Key(KeyDown, 101, 0x11),
              Key(KeyDown, 'A', 'A'),
              {FocusLost},
              // A key still held down goes on repeating, and does not come back down by it.
              Key(KeyDown, 'A', 'A', true),
              // Their real releases come later, if at all, and are not passed on twice.
              Key(KeyUp, 'A', 'A'),
              Key(KeyUp, 100, 0x11),
              // Pressed again, a key goes down again.
              Key(KeyDown, 'A', 'A')}),
        (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11", "key-down 0x41"}));
}

TEST_F(InputRulesTest, FullScreenKeysAreTheWindowsWithTheirRepeatsAndReleases) {
    using enum InputRules::WindowKey;
    const auto take = [this](RawInputKind kind, std::int64_t key, std::uint32_t virtualKey,
                             bool alt = false, bool repeat = false) {
        return rules.TakeWindowKey(Key(kind, key, virtualKey, repeat), alt);
    };
    EXPECT_EQ(take(KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    EXPECT_EQ(take(KeyDown, 1, kVirtualKeyF11, false, true), Taken);
    EXPECT_EQ(take(KeyUp, 1, kVirtualKeyF11), Taken);
    EXPECT_EQ(take(KeyUp, 1, kVirtualKeyF11), No);
    // A release that went elsewhere: pressed again after the keyboard came back, it toggles.
    EXPECT_EQ(take(KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    Feed({{FocusLost}});
    EXPECT_EQ(take(KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    // Enter with Alt; Enter alone, or held when Alt went down, is the program's.
    EXPECT_EQ(take(KeyDown, 2, kVirtualKeyEnter), No);
    Feed({Key(KeyDown, 2, kVirtualKeyEnter)});
    EXPECT_EQ(take(KeyDown, 2, kVirtualKeyEnter, true), No);
    EXPECT_EQ(take(KeyDown, 3, kVirtualKeyEnter, true), ToggleFullScreen);
    EXPECT_EQ(take(KeyDown, 4, 'A', true), No);
}

TEST_F(InputRulesTest, ACloseRequestIsPassedOn) {
    EXPECT_EQ(Feed({{CloseRequest}}), (Lines{"close"}));
}

}  // namespace
}  // namespace platform
