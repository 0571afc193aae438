#include "platform/sdl/window_manager.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <vector>

namespace platform::sdl {
namespace {

// The values of a 32-bit property of `window`, empty when it has none of `type`.
std::vector<unsigned long> PropertyValues(Display* display, Window window, Atom property,
                                          Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format,
                           &count, &remaining, &data) == Success &&
        actualType == type && format == 32 && data != nullptr) {
        // Xlib hands 32-bit properties over as longs.
        const auto* longs = reinterpret_cast<const unsigned long*>(data);
        values.assign(longs, longs + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return values;
}

// A window manager is running when the root names a check window that names itself too (a
// manager that died leaves the root's property behind, pointing at nothing of its own).
bool HasConventionalWindowManager(Display* display, Window root) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    const std::vector<unsigned long> named = PropertyValues(display, root, check, XA_WINDOW);
    if (named.empty()) {
        return false;
    }
    // The check window may be gone: its errors are ours to ignore.
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const std::vector<unsigned long> itself =
        PropertyValues(display, static_cast<Window>(named.front()), check, XA_WINDOW);
    XSync(display, False);
    XSetErrorHandler(previous);
    return !itself.empty() && itself.front() == named.front();
}

}  // namespace

bool WindowManagerDoesFullscreen(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11 || info.info.x11.display == nullptr) {
        return true;
    }
    Display* display = info.info.x11.display;
    const Window root = DefaultRootWindow(display);
    if (!HasConventionalWindowManager(display, root)) {
        return false;
    }
    const Atom supported = XInternAtom(display, "_NET_SUPPORTED", False);
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    for (unsigned long atom : PropertyValues(display, root, supported, XA_ATOM)) {
        if (atom == fullscreen) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::sdl
