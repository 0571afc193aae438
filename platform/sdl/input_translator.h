// SDL's events as the platform's input: each is converted to a RawInput (the pointer's position
// in device pixels, the key's virtual key) and handed to the input rules
// (platform/window/input_rules.h), which decide what the program gets.
//
// What is SDL's own stays here: the left button is the mouse's main one; mouse events that SDL
// makes up from touches are dropped (the finger already gave them); some window events ask for
// the last screen again.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/display/letterbox.h"
#include "platform/window/input_rules.h"

namespace platform::sdl {

// The window as the translator needs it: its size in points and pixels, and the image.
struct WindowView {
    ScreenSize window;
    ScreenSize drawable;
    PixelRect image;
    ScreenSize device;
};

// What the desktop window has to do itself for an event.
enum class WindowAction {
    None,
    // Show the last screen again (uncovered, resized, restored).
    Redraw,
    ToggleFullscreen,
};

class InputTranslator {
  public:
    // Appends the input `event` gives to `out`.
    WindowAction Translate(const SDL_Event& event, const WindowView& view,
                           std::vector<InputEvent>& out);

  private:
    WindowAction Key(const SDL_KeyboardEvent& key, std::vector<InputEvent>& out);

    InputRules rules_;
};

}  // namespace platform::sdl
