#include "platform/sdl/display_wait.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <poll.h>

namespace platform::sdl {

std::optional<DisplayWait> DisplayWait::ForWindow(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) {
        return std::nullopt;
    }
    return DisplayWait(info.info.x11.display);
}

void DisplayWait::Wait(int timeoutMs) const {
    XFlush(display_);
    if (XEventsQueued(display_, QueuedAlready) > 0) {
        return;
    }
    pollfd connection{ConnectionNumber(display_), POLLIN, 0};
    // An interrupted poll ends the wait too: SDL turns SIGINT and SIGTERM into a quit event on
    // the next pump.
    poll(&connection, 1, timeoutMs);
}

}  // namespace platform::sdl
