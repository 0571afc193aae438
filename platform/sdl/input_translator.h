// SDL's events as the platform's input: pointer positions in device pixels, keys as virtual keys.
//
// Pointer: the mouse steers whether or not a button is held (on a desktop, holding a button to
// steer tires the hand), and its left button is the stylus touching down and lifting. A finger
// is the stylus itself; only the first finger down counts, later ones are ignored until it
// lifts. Moves over the bars are clamped to the screen's edge; a press on the bars does nothing,
// and neither does the release that ends it. Mouse events that SDL makes up from touches are
// dropped (the finger already gave them).
//
// Keys: pressed keys go down and up once each (auto-repeat is dropped, or a held Ctrl+A would
// open the About box again and again); the two Controls are one VK_CONTROL (likewise Shift and
// Alt), down while either is held. F11 and Alt+Enter belong to the desktop window (full screen)
// and are not passed on. When the window loses the keyboard every held key is released, since
// their real releases go to another window.
#pragma once

#include <SDL.h>

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/display/pointer_mapping.h"
#include "platform/window/backend.h"

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
    void MouseMove(const SDL_MouseMotionEvent& motion, const WindowView& view,
                   std::vector<InputEvent>& out);
    void MouseButton(const SDL_MouseButtonEvent& button, const WindowView& view,
                     std::vector<InputEvent>& out);
    void Finger(const SDL_TouchFingerEvent& finger, Uint32 type, const WindowView& view,
                std::vector<InputEvent>& out);
    WindowAction Key(const SDL_KeyboardEvent& key, std::vector<InputEvent>& out);
    void ReleaseKeys(std::vector<InputEvent>& out);
    bool VirtualKeyHeld(UINT virtualKey) const;

    bool mouseDown_ = false;
    std::optional<SDL_FingerID> finger_;
    // Keys reported down and not yet up, with their virtual keys.
    std::map<SDL_Keycode, UINT> heldKeys_;
    // F11 and Alt+Enter taken for the window: their releases are not passed on either.
    std::set<SDL_Keycode> windowKeys_;
};

}  // namespace platform::sdl
