// SDL's key codes as the platform's virtual keys.
#pragma once

#include <SDL.h>

#include <optional>

#include "platform/window/window_types.h"

namespace platform::sdl {

// The virtual key of an SDL key code: letters as their upper-case characters (the key code
// follows the keyboard layout, so Ctrl+A is wherever the layout puts A), digits, F1 and F2 (the
// soft keys), Esc, Enter, space, Tab, Backspace, the arrows, '+' (or the '=' key that has it),
// '-' and '.' and their keypad keys, and both Controls, Shifts and Alts as one key each. Nothing
// for keys the platform has no code for.
std::optional<UINT> VirtualKeyFor(SDL_Keycode key);

}  // namespace platform::sdl
