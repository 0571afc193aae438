// SDL's events converted to input: positions, pointers, buttons and keys, and what is SDL's own.
// The rules applied after the conversion are the input rules' and are tested there.
#include "platform/sdl/input_translator.h"

#include <gtest/gtest.h>

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

// The input the events give, with the window's own actions among it as "[toggle]" and
// "[redraw]", on a translator of its own.
Lines Translated(std::initializer_list<SDL_Event> events, const WindowView& view = kView) {
    InputTranslator translator;
    Lines lines;
    for (const SDL_Event& event : events) {
        std::vector<InputEvent> out;
        const WindowAction action = translator.Translate(event, view, out);
        if (action != WindowAction::None) {
            lines.push_back(action == WindowAction::Redraw ? "[redraw]" : "[toggle]");
        }
        for (const std::string& line : Describe(out)) {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST(InputTranslator, PointersInDevicePixels) {
    EXPECT_EQ(Translated({MouseMotion(60, 0), MouseMotion(301, 401),
                          MouseButton(SDL_MOUSEBUTTONDOWN, 301, 401), MouseMotion(303, 405),
                          MouseButton(SDL_MOUSEBUTTONUP, 303, 405)}),
              (Lines{"move 0,0", "move 120,200", "down 120,200", "move 121,202", "up 121,202"}));
    // Over the bars: clamped to the screen's edge, and off the screen.
    EXPECT_EQ(Translated({MouseMotion(10, 100), MouseMotion(599, 700),
                          MouseButton(SDL_MOUSEBUTTONDOWN, 20, 100),
                          MouseButton(SDL_MOUSEBUTTONUP, 20, 100)}),
              (Lines{"move 0,50", "move 239,319"}));
    EXPECT_EQ(Translated({MouseMotion(5, 5), MouseButton(SDL_MOUSEBUTTONDOWN, 5, 5)},
                         {{0, 0}, {0, 0}, {0, 0, 0, 0}, {240, 320}}),
              Lines{})
        << "no image, no pointer";
    // Only the left button counts, and SDL's mouse copies of a touch are dropped.
    EXPECT_EQ(Translated(
                  {MouseButton(SDL_MOUSEBUTTONDOWN, 100, 100, SDL_BUTTON_RIGHT),
                   MouseMotion(200, 200, SDL_TOUCH_MOUSEID),
                   MouseButton(SDL_MOUSEBUTTONDOWN, 200, 200, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID)}),
              Lines{});
    // A finger at fractions of the window: 0.5 is drawable 300, device (300 - 60) / 2 = 120.
    EXPECT_EQ(
        Translated({Finger(SDL_FINGERDOWN, 7, 0.5f, 0.5f), Finger(SDL_FINGERMOTION, 7, 0.6f, 0.5f),
                    Finger(SDL_FINGERUP, 7, 0.6f, 0.5f)}),
        (Lines{"down 120,160", "move 150,160", "up 150,160"}));
    // Fingers and the mouse are pointers of their own.
    EXPECT_EQ(
        Translated({Finger(SDL_FINGERDOWN, 1, 0.5f, 0.5f), Finger(SDL_FINGERDOWN, 2, 0.2f, 0.2f),
                    MouseMotion(300, 300), Finger(SDL_FINGERUP, 2, 0.3f, 0.3f),
                    Finger(SDL_FINGERUP, 1, 0.5f, 0.5f)}),
        (Lines{"down 120,160", "up 120,160"}));
}

TEST(InputTranslator, KeysAndWhatIsTheWindowsOwn) {
    // The two controls are two keys of one virtual key; a key with none is dropped.
    EXPECT_EQ(Translated({KeyEvent(SDL_KEYDOWN, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_RCTRL),
                          KeyEvent(SDL_KEYUP, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_F7)}),
              (Lines{"key-down 0x11"}));
    // Losing the keyboard releases; a repeat after it does not put the key down again.
    EXPECT_EQ(Translated({KeyEvent(SDL_KEYDOWN, SDLK_a), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
                          KeyEvent(SDL_KEYDOWN, SDLK_a, 0, 1)}),
              (Lines{"key-down 0x41", "key-up 0x41"}));
    // F11 is the window's, its repeats and release too; a held F11 whose release went to
    // another window is the window's again when pressed.
    EXPECT_EQ(
        Translated({KeyEvent(SDL_KEYDOWN, SDLK_F11), KeyEvent(SDL_KEYDOWN, SDLK_F11, 0, 1),
                    KeyEvent(SDL_KEYUP, SDLK_F11), KeyEvent(SDL_KEYDOWN, SDLK_F11),
                    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), KeyEvent(SDL_KEYDOWN, SDLK_F11)}),
        (Lines{"[toggle]", "[toggle]", "[toggle]"}));
    // Alt+Enter: Alt is passed on (the platform tracks it for accelerators), Enter is not.
    EXPECT_EQ(
        Translated({KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
                    KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
                    KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_LALT), KeyEvent(SDL_KEYUP, SDLK_LALT)}),
        (Lines{"key-down 0x12", "[toggle]", "key-up 0x12"}));
    // Enter alone is a key like any other (it closes the About box); Alt added to an Enter
    // held already does not make it the window's.
    EXPECT_EQ(
        Translated({KeyEvent(SDL_KEYDOWN, SDLK_RETURN), KeyEvent(SDL_KEYDOWN, SDLK_LALT, KMOD_LALT),
                    KeyEvent(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT),
                    KeyEvent(SDL_KEYUP, SDLK_RETURN, KMOD_LALT)}),
        (Lines{"key-down 0x0D", "key-down 0x12", "key-up 0x0D"}));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    EXPECT_EQ(
        Translated({WindowEvent(SDL_WINDOWEVENT_EXPOSED), WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED),
                    WindowEvent(SDL_WINDOWEVENT_MOVED), quit}),
        (Lines{"[redraw]", "[redraw]", "close"}));
}

TEST(InputTranslator, CtrlAIsWhatTheHeadlessBackEndSendsForIt) {
    HeadlessBackend headless;
    headless.PressControlKey('A');
    const Lines expected = Describe(headless.WaitForInput(0));
    EXPECT_EQ(
        Translated({KeyEvent(SDL_KEYDOWN, SDLK_LCTRL, KMOD_LCTRL),
                    KeyEvent(SDL_KEYDOWN, SDLK_a, KMOD_LCTRL),
                    KeyEvent(SDL_KEYUP, SDLK_a, KMOD_LCTRL), KeyEvent(SDL_KEYUP, SDLK_LCTRL)}),
        expected);
    EXPECT_EQ(expected, (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11"}));
}

TEST(VirtualKeyFor, EveryKeyThePlatformKnowsAndNoOther) {
    const std::pair<SDL_Keycode, UINT> known[] = {{SDLK_a, 'A'},
                                                  {SDLK_z, 'Z'},
                                                  {SDLK_0, '0'},
                                                  {SDLK_9, '9'},
                                                  {SDLK_F1, VK_TSOFT1},
                                                  {SDLK_F2, VK_TSOFT2},
                                                  {SDLK_ESCAPE, VK_ESCAPE},
                                                  {SDLK_RETURN, VK_RETURN},
                                                  {SDLK_KP_ENTER, VK_RETURN},
                                                  {SDLK_SPACE, VK_SPACE},
                                                  {SDLK_TAB, VK_TAB},
                                                  {SDLK_BACKSPACE, VK_BACK},
                                                  {SDLK_LEFT, VK_LEFT},
                                                  {SDLK_RIGHT, VK_RIGHT},
                                                  {SDLK_UP, VK_UP},
                                                  {SDLK_DOWN, VK_DOWN},
                                                  {SDLK_LCTRL, VK_CONTROL},
                                                  {SDLK_RCTRL, VK_CONTROL},
                                                  {SDLK_LSHIFT, VK_SHIFT},
                                                  {SDLK_RSHIFT, VK_SHIFT},
                                                  {SDLK_LALT, VK_MENU},
                                                  {SDLK_RALT, VK_MENU}};
    for (const auto& [code, virtualKey] : known) {
        EXPECT_EQ(VirtualKeyFor(code), virtualKey) << SDL_GetKeyName(code);
    }
    for (SDL_Keycode unknown : {SDLK_F3, SDLK_CAPSLOCK, SDLK_EXCLAIM, SDLK_BACKQUOTE, SDLK_COLON}) {
        EXPECT_FALSE(VirtualKeyFor(unknown).has_value()) << SDL_GetKeyName(unknown);
    }
}

}  // namespace
}  // namespace platform::sdl
