// SDL's events converted to input: positions, pointers, buttons and keys, and what is SDL's own.
// The rules applied after the conversion are the input rules' and are tested there.
#include "platform/sdl/input_translator.h"

#include <gtest/gtest.h>

#include "platform/sdl/virtual_keys.h"
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

// Each case on a translator of its own.
TEST(InputTranslator, SdlEventsAsInput) {
    const struct {
        std::vector<SDL_Event> events;
        Lines input;
    } cases[] = {
        // The mouse in device pixels, clamped to the screen's edge over the bars.
        {{MouseMotion(60, 0), MouseMotion(301, 401), MouseButton(SDL_MOUSEBUTTONDOWN, 301, 401),
          MouseMotion(10, 100), MouseButton(SDL_MOUSEBUTTONUP, 599, 700)},
         {"move 0,0", "move 120,200", "down 120,200", "move 0,50", "up 239,319"}},
        // Only the left button is the main one, and SDL's mouse copies of a touch are dropped.
        {{MouseButton(SDL_MOUSEBUTTONDOWN, 100, 100, SDL_BUTTON_RIGHT),
          MouseMotion(200, 200, SDL_TOUCH_MOUSEID),
          MouseButton(SDL_MOUSEBUTTONDOWN, 200, 200, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID)},
         {}},
        // A finger at fractions of the window: 0.5 is drawable 300, device (300 - 60) / 2 = 120;
        // fingers and the mouse are pointers of their own.
        {{Finger(SDL_FINGERDOWN, 7, 0.5f, 0.5f), Finger(SDL_FINGERMOTION, 7, 0.6f, 0.5f),
          Finger(SDL_FINGERDOWN, 2, 0.2f, 0.2f), MouseMotion(300, 300),
          Finger(SDL_FINGERUP, 7, 0.6f, 0.5f)},
         {"down 120,160", "move 150,160", "up 150,160"}},
        // The two Controls are two keys; a key the platform does not know is dropped; a repeat
        // and the loss of the keyboard are told.
        {{KeyEvent(SDL_KEYDOWN, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_RCTRL),
          KeyEvent(SDL_KEYUP, SDLK_LCTRL), KeyEvent(SDL_KEYDOWN, SDLK_F7),
          KeyEvent(SDL_KEYDOWN, SDLK_a), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
          KeyEvent(SDL_KEYDOWN, SDLK_a, 0, 1)},
         {"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11"}},
        // F11, and the keypad's Enter with the right Alt, put the window full screen.
        {{KeyEvent(SDL_KEYDOWN, SDLK_F11), KeyEvent(SDL_KEYUP, SDLK_F11),
          KeyEvent(SDL_KEYDOWN, SDLK_KP_ENTER, KMOD_RALT)},
         {"[toggle]", "[toggle]"}},
        {{WindowEvent(SDL_WINDOWEVENT_EXPOSED), WindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED),
          WindowEvent(SDL_WINDOWEVENT_MOVED), SDL_Event{.type = SDL_QUIT}},
         {"[redraw]", "[redraw]", "close"}},
    };
    for (const auto& c : cases) {
        InputTranslator translator;
        Lines lines;
        for (const SDL_Event& event : c.events) {
            std::vector<InputEvent> out;
            const WindowAction action = translator.Translate(event, kView, out);
            if (action != WindowAction::None) {
                lines.push_back(action == WindowAction::Redraw ? "[redraw]" : "[toggle]");
            }
            for (const std::string& line : Describe(out)) {
                lines.push_back(line);
            }
        }
        EXPECT_EQ(lines, c.input);
    }
}

TEST(VirtualKeyFor, EveryKeyThePlatformKnowsAndNoOther) {
    // Each key's SDL code, then its virtual key.
    const SDL_Keycode known[] = {
        SDLK_a,      'A',       SDLK_z,      'Z',        SDLK_0,         '0',
        SDLK_9,      '9',       SDLK_F1,     VK_TSOFT1,  SDLK_F2,        VK_TSOFT2,
        SDLK_ESCAPE, VK_ESCAPE, SDLK_RETURN, VK_RETURN,  SDLK_KP_ENTER,  VK_RETURN,
        SDLK_SPACE,  VK_SPACE,  SDLK_TAB,    VK_TAB,     SDLK_BACKSPACE, VK_BACK,
        SDLK_LEFT,   VK_LEFT,   SDLK_RIGHT,  VK_RIGHT,   SDLK_UP,        VK_UP,
        SDLK_DOWN,   VK_DOWN,   SDLK_LCTRL,  VK_CONTROL, SDLK_RCTRL,     VK_CONTROL,
        SDLK_LSHIFT, VK_SHIFT,  SDLK_RSHIFT, VK_SHIFT,   SDLK_LALT,      VK_MENU,
        SDLK_RALT,   VK_MENU};
    for (std::size_t i = 0; i < std::size(known); i += 2) {
        EXPECT_EQ(VirtualKeyFor(known[i]), static_cast<UINT>(known[i + 1]))
            << SDL_GetKeyName(known[i]);
    }
    for (SDL_Keycode unknown : {SDLK_F3, SDLK_CAPSLOCK, SDLK_EXCLAIM, SDLK_BACKQUOTE, SDLK_COLON}) {
        EXPECT_FALSE(VirtualKeyFor(unknown).has_value()) << SDL_GetKeyName(unknown);
    }
}

}  // namespace
}  // namespace platform::sdl
