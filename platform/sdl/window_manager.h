// Whether a window manager will make our window full screen when asked. On X11 that is a window
// manager following the desktop conventions (EWMH) that lists the full-screen state; without one
// (a bare X server, a kiosk session) SDL's request goes unanswered while SDL already takes the
// window for full screen, so the window stays small and the picture is laid out for the screen.
#pragma once

#include <SDL.h>

namespace platform::sdl {

// True where the window system itself does full screen (Wayland, SDL's own drivers) or an X
// window manager says it supports it; false on an X display with no such window manager.
bool WindowManagerDoesFullscreen(SDL_Window* window);

}  // namespace platform::sdl
