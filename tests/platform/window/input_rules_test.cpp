#include "platform/window/input_rules.h"

#include <gtest/gtest.h>

#include "tests/platform/window/input_description.h"

namespace platform {
namespace {

using testing::Describe;
using Lines = std::vector<std::string>;

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

TEST_F(InputRulesTest, AnyPointerSteersWhileNoneIsDown) {
    // A hovering mouse, and a move off the screen at the edge it was clamped to.
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerMove, kMouse, 10, 20),
                    Pointer(RawInputKind::PointerMove, kMouse, 0, 319, false),
                    Pointer(RawInputKind::PointerMove, kFinger, 30, 40)}),
              (Lines{"move 10,20", "move 0,319", "move 30,40"}));
}

TEST_F(InputRulesTest, TheFirstPointerDownIsTheStylusUntilItLifts) {
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerDown, kFinger, 50, 60),
                    // Neither another finger nor the mouse presses, steers or lifts meanwhile.
                    Pointer(RawInputKind::PointerDown, kOtherFinger, 70, 80),
                    Pointer(RawInputKind::PointerMove, kOtherFinger, 71, 81),
                    Pointer(RawInputKind::PointerMove, kMouse, 72, 82),
                    Pointer(RawInputKind::PointerDown, kMouse, 72, 82),
                    Pointer(RawInputKind::PointerUp, kMouse, 72, 82),
                    Pointer(RawInputKind::PointerUp, kOtherFinger, 72, 82),
                    // The stylus steers off the screen too, along its edge.
                    Pointer(RawInputKind::PointerMove, kFinger, 239, 61, false),
                    Pointer(RawInputKind::PointerUp, kFinger, 52, 62),
                    // Once it lifted, another pointer may be the stylus.
                    Pointer(RawInputKind::PointerDown, kMouse, 90, 100),
                    Pointer(RawInputKind::PointerMove, kMouse, 91, 101),
                    Pointer(RawInputKind::PointerUp, kMouse, 92, 102)}),
              (Lines{"down 50,60", "move 239,61", "up 52,62", "down 90,100", "move 91,101",
                     "up 92,102"}));
}

TEST_F(InputRulesTest, ACancelledStylusLifts) {
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerDown, kFinger, 90, 100),
                    Pointer(RawInputKind::PointerCancel, kFinger, 91, 101, true, false),
                    Pointer(RawInputKind::PointerDown, kOtherFinger, 5, 6)}),
              (Lines{"down 90,100", "up 91,101", "down 5,6"}));
}

TEST_F(InputRulesTest, PressesOffTheScreenOrWithOtherButtonsDoNothing) {
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerDown, kMouse, 0, 10, false),
                    Pointer(RawInputKind::PointerUp, kMouse, 0, 10, false),
                    Pointer(RawInputKind::PointerDown, kMouse, 10, 10, true, false),
                    Pointer(RawInputKind::PointerUp, kMouse, 10, 10, true, false),
                    // Still no stylus: the mouse hovers.
                    Pointer(RawInputKind::PointerMove, kMouse, 12, 13)}),
              (Lines{"move 12,13"}));
    // Another button's release does not lift the stylus; a press dragged off the screen still
    // ends, at the edge.
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerDown, kMouse, 20, 50),
                    Pointer(RawInputKind::PointerUp, kMouse, 20, 50, true, false),
                    Pointer(RawInputKind::PointerUp, kMouse, 239, 50, false)}),
              (Lines{"down 20,50", "up 239,50"}));
}

TEST_F(InputRulesTest, WithNoScreenToPointAtOnlyAReleaseComesThrough) {
    const RawInput nowhere{.kind = RawInputKind::PointerMove, .pointer = kMouse};
    RawInput down = nowhere;
    down.kind = RawInputKind::PointerDown;
    RawInput up = nowhere;
    up.kind = RawInputKind::PointerUp;
    EXPECT_EQ(Feed({nowhere, down, up}), Lines{});
    // A window shrunk to nothing while pressed: the release still ends the press.
    EXPECT_EQ(Feed({Pointer(RawInputKind::PointerDown, kMouse, 20, 50), nowhere, up}),
              (Lines{"down 20,50", "up 0,0"}));
}

TEST_F(InputRulesTest, KeysGoDownAndUpOnce) {
    EXPECT_EQ(Feed({Key(RawInputKind::KeyUp, 1, 'A'),  // pressed before we had the keyboard
                    Key(RawInputKind::KeyDown, 2, 'B'), Key(RawInputKind::KeyDown, 2, 'B', true),
                    Key(RawInputKind::KeyDown, 2, 'B'), Key(RawInputKind::KeyUp, 2, 'B'),
                    Key(RawInputKind::KeyUp, 2, 'B')}),
              (Lines{"key-down 0x42", "key-up 0x42"}));
    EXPECT_FALSE(rules.KeyHeld(2));
}

TEST_F(InputRulesTest, KeysWithOneVirtualKeyAreOneKeyHeldWhileEitherIs) {
    constexpr std::int64_t kLeftControl = 100;
    constexpr std::int64_t kRightControl = 101;
    EXPECT_EQ(Feed({Key(RawInputKind::KeyDown, kLeftControl, 0x11),
                    Key(RawInputKind::KeyDown, kRightControl, 0x11),
                    Key(RawInputKind::KeyUp, kLeftControl, 0x11)}),
              (Lines{"key-down 0x11"}));
    EXPECT_TRUE(rules.KeyHeld(kRightControl));
    EXPECT_FALSE(rules.KeyHeld(kLeftControl));
    EXPECT_EQ(Feed({Key(RawInputKind::KeyUp, kRightControl, 0x11)}), (Lines{"key-up 0x11"}));
}

TEST_F(InputRulesTest, LosingTheKeyboardReleasesEachHeldKeyOnce) {
    EXPECT_EQ(
        Feed({Key(RawInputKind::KeyDown, 100, 0x11),
              Key(RawInputKind::KeyDown, 101, 0x11),
              Key(RawInputKind::KeyDown, 'A', 'A'),
              {RawInputKind::FocusLost},
              // A key still held down goes on repeating, and does not come back down by it.
              Key(RawInputKind::KeyDown, 'A', 'A', true),
              // Their real releases come later, if at all, and are not passed on twice.
              Key(RawInputKind::KeyUp, 'A', 'A'),
              Key(RawInputKind::KeyUp, 100, 0x11),
              // Pressed again, a key goes down again.
              Key(RawInputKind::KeyDown, 'A', 'A')}),
        (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11", "key-down 0x41"}));
}

TEST_F(InputRulesTest, FullScreenKeysAreTheWindowsWithTheirRepeatsAndReleases) {
    using enum InputRules::WindowKey;
    const auto take = [this](RawInputKind kind, std::int64_t key, std::uint32_t virtualKey,
                             bool alt = false, bool repeat = false) {
        return rules.TakeWindowKey(Key(kind, key, virtualKey, repeat), alt);
    };
    EXPECT_EQ(take(RawInputKind::KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    EXPECT_EQ(take(RawInputKind::KeyDown, 1, kVirtualKeyF11, false, true), Taken);
    EXPECT_EQ(take(RawInputKind::KeyUp, 1, kVirtualKeyF11), Taken);
    EXPECT_EQ(take(RawInputKind::KeyUp, 1, kVirtualKeyF11), No);
    // A release that went elsewhere: pressed again after the keyboard came back, it toggles.
    EXPECT_EQ(take(RawInputKind::KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    Feed({{RawInputKind::FocusLost}});
    EXPECT_EQ(take(RawInputKind::KeyDown, 1, kVirtualKeyF11), ToggleFullScreen);
    // Enter with Alt; Enter alone, or held when Alt went down, is the program's.
    EXPECT_EQ(take(RawInputKind::KeyDown, 2, kVirtualKeyEnter), No);
    Feed({Key(RawInputKind::KeyDown, 2, kVirtualKeyEnter)});
    EXPECT_EQ(take(RawInputKind::KeyDown, 2, kVirtualKeyEnter, true), No);
    EXPECT_EQ(take(RawInputKind::KeyDown, 3, kVirtualKeyEnter, true), ToggleFullScreen);
    EXPECT_EQ(take(RawInputKind::KeyDown, 4, 'A', true), No);
}

TEST_F(InputRulesTest, ACloseRequestIsPassedOn) {
    EXPECT_EQ(Feed({{RawInputKind::CloseRequest}}), (Lines{"close"}));
}

}  // namespace
}  // namespace platform
