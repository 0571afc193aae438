// Sleeping until the X display has something for us, without SDL's own wait.
//
// SDL_WaitEventTimeout sleeps on the display connection too, but every event it takes while
// asleep also makes it send itself a wake-up message through a second connection to the X
// server: a round trip per pointer move. That message is also addressed to our window, and one
// still on its way when the window is destroyed makes Xlib end the process with a BadWindow
// error. Polling the connection ourselves and then letting SDL_PumpEvents read it costs neither.
#pragma once

#include <SDL.h>

#include <optional>

// Xlib's Display, without its header here.
struct _XDisplay;

namespace platform::sdl {

class DisplayWait {
  public:
    // For a window on X11; nothing for SDL's other drivers, which keep SDL's wait.
    static std::optional<DisplayWait> ForWindow(SDL_Window* window);

    // Sleeps until the connection has something to read, `timeoutMs` pass (-1: no limit) or a
    // signal arrives; at once if Xlib has already read events that nobody has taken yet. Sends
    // what Xlib holds back first, so that no reply we wait for is still in our own buffer.
    void Wait(int timeoutMs) const;

  private:
    explicit DisplayWait(_XDisplay* display) : display_(display) {}

    _XDisplay* display_;
};

}  // namespace platform::sdl
