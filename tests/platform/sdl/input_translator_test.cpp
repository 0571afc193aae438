#include "platform/sdl/input_translator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sdl/virtual_keys.h"
#include "platform/window/headless_backend.h"
#include "sdl_event_builders.h"
#include "tests/platform/window/input_description.h"

namespace platform::sdl {
namespace {

using platform::testing::Describe;
using testing::Finger;
using testing::KeyEvent;
using testing::MouseButton;
using testing::MouseMotion;
using testing::WindowEvent;
using Lines = std::vector<std::string>;

// A 240 x 320 screen at factor 2 in a 600 x 640 window: bars 60 pixels wide left and right.
const WindowView kView{{600, 640}, {600, 640}, {60, 0, 480, 640}, {240, 320}};

class InputTranslatorTest : public ::testing::Test {
  protected:
    // Translates the events in order; the input they gave, written out.
    Lines Feed(std::initializer_list<SDL_Event> events, const WindowView& view = kView) {
        std::vector<InputEvent> out;
        for (const SDL_Event& event : events) {
            actions.push_back(translator.Translate(event, view, out));
        }
        return Describe(out);
    }

    InputTranslator translator;
    std::vector<WindowAction> actions;
};

TEST_F(InputTranslatorTest, CtrlAIsWhatTheHeadlessBackEndSendsForIt) {
    HeadlessBackend headless;
    headless.PressControlKey('A');
    const Lines expected = Describe(headless.WaitForInput(0));

    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL),
                    KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_LCTRL),
                    KeyEvent(SDL_KEYUP, SDLK_a, KMOD_LCTRL), KeyEvent(SDL_KEYUP, SDLK_LCTRL)}),
              expected);
    EXPECT_EQ(expected, (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11"}));
}

TEST_F(InputTranslatorTest, TheTwoControlsAreTwoKeysWithOneVirtualKey) {
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_RCTRL),
                    KeyEvent(SDL_KEYUP, SDLK_LCTRL)}),
              (Lines{"key-down 0x11"}));
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_q), KeyEvent(SDL_KEYUP, SDLK_RCTRL)}),
              (Lines{"key-down 0x51", "key-up 0x11"}));
}

TEST_F(InputTranslatorTest, RepeatsAndKeysWithNoVirtualKeyAreDropped) {
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_F1), KeyEvent(SDL_KEYDOWN, SDLK_F1, 0, 1),
                    KeyEvent(SDL_KEYDOWN, SDLK_F1, 0, 1), KeyEvent(SDL_KEYUP, SDLK_F1),
                    // Released without having gone down here (pressed in another window).
                    KeyEvent(SDL_KEYUP, SDLK_ESCAPE),
                    // A key the platform has no code for.
                    KeyEvent(SDL_KEYDOWN, SDLK_F7), KeyEvent(SDL_KEYUP, SDLK_F7)}),
              (Lines{"key-down 0x70", "key-up 0x70"}));
}

TEST_F(InputTranslatorTest, FullScreenKeysStayWithTheWindow) {
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_F11), KeyEvent(SDL_KEYUP, SDLK_F11)}), Lines{});
    EXPECT_EQ(actions, (std::vector{WindowAction::ToggleFullscreen, WindowAction::None}));
    actions.clear();

    // Alt+Enter: Alt is passed on (the platform tracks it for accelerators), Enter is not.
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
                    KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
                    KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_LALT), KeyEvent(SDL_KEYUP, SDLK_LALT)}),
              (Lines{"key-down 0x12", "key-up 0x12"}));
    EXPECT_EQ(actions[1], WindowAction::ToggleFullscreen);

    // Enter alone is a key like any other (it closes the About box), and Alt added to an Enter
    // held already does not make it the window's.
    actions.clear();
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_RETURN), KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
                    KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
                    KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_LALT), KeyEvent(SDL_KEYUP, SDLK_LALT)}),
              (Lines{"key-down 0x0D", "key-down 0x12", "key-up 0x0D", "key-up 0x12"}));
    EXPECT_EQ(std::count(actions.begin(), actions.end(), WindowAction::ToggleFullscreen), 0);

    // A held F11 whose release went to another window is the window's again when next pressed.
    actions.clear();
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_F11), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                    KeyEvent(SDL_KEYDOWN, SDLK_F11)}),
              Lines{});
    EXPECT_EQ(actions, (std::vector{WindowAction::ToggleFullscreen, WindowAction::None,
                                    WindowAction::ToggleFullscreen}));
}

TEST_F(InputTranslatorTest, LosingTheKeyboardReleasesHeldKeys) {
    EXPECT_EQ(Feed({KeyEvent(SDL_KEYDOWN, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_RCTRL),
                    KeyEvent(SDL_KEYDOWN, SDLK_a), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                    // Their real releases come later, if at all, and are not passed on twice.
                    KeyEvent(SDL_KEYUP, SDLK_a), KeyEvent(SDL_KEYUP, SDLK_LCTRL)}),
              (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11"}));
}

TEST_F(InputTranslatorTest, TheMouseIsAPointerInDevicePixels) {
    EXPECT_EQ(
        Feed({MouseMotion(60, 0), MouseMotion(301, 401), MouseButton(SDL_MOUSEBUTTONDOWN, 301, 401),
              MouseMotion(303, 405), MouseButton(SDL_MOUSEBUTTONUP, 303, 405)}),
        (Lines{"move 0,0", "move 120,200", "down 120,200", "move 121,202", "up 121,202"}));
    // Over the bars: the screen's edge, and off the screen, so a press there does nothing.
    EXPECT_EQ(
        Feed({MouseMotion(10, 100), MouseMotion(599, 700),
              MouseButton(SDL_MOUSEBUTTONDOWN, 20, 100), MouseButton(SDL_MOUSEBUTTONUP, 20, 100)}),
        (Lines{"move 0,50", "move 239,319"}));
}

TEST_F(InputTranslatorTest, OnlyTheLeftButtonOfARealMouseCounts) {
    EXPECT_EQ(Feed({MouseButton(SDL_MOUSEBUTTONDOWN, 100, 100, SDL_BUTTON_RIGHT),
                    MouseButton(SDL_MOUSEBUTTONUP, 100, 100, SDL_BUTTON_RIGHT),
                    // SDL's mouse copies of a touch.
                    MouseMotion(200, 200, SDL_TOUCH_MOUSEID),
                    MouseButton(SDL_MOUSEBUTTONDOWN, 200, 200, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID),
                    MouseButton(SDL_MOUSEBUTTONUP, 200, 200, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID)}),
              Lines{});
}

TEST_F(InputTranslatorTest, AFingerIsTheStylus) {
    // Fractions of the 600 x 640 window: 0.5 is drawable 300, device (300 - 60) / 2 = 120.
    EXPECT_EQ(Feed({Finger(SDL_FINGERDOWN, 7, 0.5f, 0.5f), Finger(SDL_FINGERMOTION, 7, 0.6f, 0.5f),
                    Finger(SDL_FINGERUP, 7, 0.6f, 0.5f)}),
              (Lines{"down 120,160", "move 150,160", "up 150,160"}));
}

TEST_F(InputTranslatorTest, FingersAndTheMouseAreDifferentPointers) {
    EXPECT_EQ(Feed({Finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f), Finger(SDL_FINGERDOWN, 2, 0.2f, 0.2f),
                    Finger(SDL_FINGERMOTION, 2, 0.3f, 0.3f), MouseMotion(300, 300),
                    Finger(SDL_FINGERUP, 2, 0.3f, 0.3f), Finger(SDL_FINGERUP, 1, 0.5f, 0.5f)}),
              (Lines{"down 120,160", "up 120,160"}));
}

TEST_F(InputTranslatorTest, NoImageNoPointer) {
    const WindowView collapsed{{0, 0}, {0, 0}, {0, 0, 0, 0}, {240, 320}};
    EXPECT_EQ(Feed({MouseMotion(5, 5), MouseButton(SDL_MOUSEBUTTONDOWN, 5, 5)}, collapsed),
              Lines{});
}

TEST_F(InputTranslatorTest, WindowEventsAskForARedrawAndQuitForAClose) {
    EXPECT_EQ(Feed({WindowEvent(SDL_WINDOWEVENT_EXPOSED), WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED),
                    WindowEvent(SDL_WINDOWEVENT_MOVED)}),
              Lines{});
    EXPECT_EQ(actions,
              (std::vector{WindowAction::Redraw, WindowAction::Redraw, WindowAction::None}));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Feed({quit}), (Lines{"close"}));
}

TEST(VirtualKeyFor, LettersDigitsAndThePlatformsKeys) {
    EXPECT_EQ(VirtualKeyFor(SDLK_a), UINT{'A'});
    EXPECT_EQ(VirtualKeyFor(SDLK_z), UINT{'Z'});
    EXPECT_EQ(VirtualKeyFor(SDLK_0), UINT{'0'});
    EXPECT_EQ(VirtualKeyFor(SDLK_9), UINT{'9'});
    EXPECT_EQ(VirtualKeyFor(SDLK_F1), VK_TSOFT1);
    EXPECT_EQ(VirtualKeyFor(SDLK_F2), VK_TSOFT2);
    EXPECT_EQ(VirtualKeyFor(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFor(SDLK_KP_ENTER), VK_RETURN);
    EXPECT_EQ(VirtualKeyFor(SDLK_RSHIFT), VK_SHIFT);
    EXPECT_FALSE(VirtualKeyFor(SDLK_F3).has_value());
    EXPECT_FALSE(VirtualKeyFor(SDLK_CAPSLOCK).has_value());
    EXPECT_FALSE(VirtualKeyFor(SDLK_EXCLAIM).has_value());
}

}  // namespace
}  // namespace platform::sdl
