#include "platform/sdl/video_session.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace platform::sdl {
namespace {

void SetError(std::string* error, std::string message) {
    if (error != nullptr) {
        *error = std::move(message);
    }
}

bool EnvironmentNames(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

std::string EnvironmentValue(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr ? value : "";
}

// SDL's state goes with its last subsystem.
void QuitIfUnused() {
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) {
        SDL_Quit();
    }
}

void SetHints() {
    // Where there is no GPU (a plain X server, Xvfb, a remote desktop) SDL would show a window
    // surface through OpenGL on Mesa's software rasteriser: several times the CPU time and about
    // a hundred megabytes more memory than sending the pixels to the X server as they are. One
    // 2D image a frame needs nothing more.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A touch is handled as a finger; SDL's mouse copy of it would be a second stylus.
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    // A game left open in a corner should not keep the screen awake; playing is input anyway.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

// On X11, SDL connects to the desktop's message bus, and libdbus keeps a read buffer from that
// until the process ends; the start is exempted from LeakSanitizer so every other leak still
// counts.
bool InitVideo() {
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler notOurLeak;
#endif
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

}  // namespace

std::string SdlError() {
    std::string message = SDL_GetError();
    for (char& c : message) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return message.empty() ? "unknown SDL error" : message;
}

namespace {

// The displays named in the environment, for the message when none can be reached.
std::string DisplaysNamed() {
    std::string displays;
    if (EnvironmentNames("DISPLAY")) {
        displays = "DISPLAY=" + EnvironmentValue("DISPLAY");
    }
    if (EnvironmentNames("WAYLAND_DISPLAY")) {
        displays += (displays.empty() ? "WAYLAND_DISPLAY=" : ", WAYLAND_DISPLAY=") +
                    EnvironmentValue("WAYLAND_DISPLAY");
    }
    return displays;
}

// The drivers named in a comma-separated list.
std::vector<std::string> DriversIn(const std::string& list) {
    std::vector<std::string> drivers;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) {
            drivers.push_back(list.substr(start, comma - start));
        }
        start = comma + 1;
    }
    return drivers;
}

}  // namespace

bool VideoSession::ChooseDriver(std::string* error) {
    SetHints();
    const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (requested != nullptr && *requested != '\0') {
        // Taken as asked for, unless every driver named is a desktop's whose display variable
        // is not set: that cannot start.
        const std::vector<std::string> drivers = DriversIn(requested);
        const bool anyCanStart = std::any_of(drivers.begin(), drivers.end(), [](const auto& d) {
            return (d != "x11" || EnvironmentNames("DISPLAY")) &&
                   (d != "wayland" || EnvironmentNames("WAYLAND_DISPLAY"));
        });
        if (!anyCanStart) {
            SetError(error, "no display to open a window on (SDL_VIDEODRIVER is " +
                                std::string(requested) + ", and its display is not set)");
            return false;
        }
        return true;
    }
    // Only the drivers that can show a window on this desktop: SDL on its own would fall back
    // to its invisible offscreen driver, and a Wayland library complains on stderr where there
    // is no Wayland.
    std::string drivers;
    if (EnvironmentNames("DISPLAY")) {
        drivers = "x11";
    }
    if (EnvironmentNames("WAYLAND_DISPLAY")) {
        drivers += drivers.empty() ? "wayland" : ",wayland";
    }
    if (drivers.empty()) {
        SetError(error,
                 "no display to open a window on (neither DISPLAY nor WAYLAND_DISPLAY is set)");
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    return true;
}

std::unique_ptr<VideoSession> VideoSession::Open(std::string* error) {
    if (!InitVideo()) {
        const std::string displays = DisplaysNamed();
        SetError(error, "no display to open a window on (" +
                            (displays.empty() ? "" : "cannot reach " + displays + ": ") +
                            SdlError() + ")");
        QuitIfUnused();
        return nullptr;
    }
    // Text input (and an input method window) is on by default; the game reads keys only.
    SDL_StopTextInput();
    return std::unique_ptr<VideoSession>(new VideoSession);
}

std::unique_ptr<VideoSession> VideoSession::Start(std::string* error) {
    if (!ChooseDriver(error)) {
        return nullptr;
    }
    return Open(error);
}

std::string VideoSession::ChosenDriver() {
    const char* chosen = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    const std::vector<std::string> drivers = DriversIn(chosen != nullptr ? chosen : "");
    return drivers.empty() ? std::string() : drivers.front();
}

VideoSession::~VideoSession() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    QuitIfUnused();
}

RendererPtr CreateWindowRenderer(SDL_Window* window, std::string* error) {
    // The software renderer: the image is scaled on the CPU and sent to the display as it is. A
    // 2D frame twenty times a second is cheap that way, and it is the cheapest way by far where
    // there is no GPU, since any GPU renderer then runs on Mesa's software rasteriser.
    // SDL_RENDER_DRIVER (SDL's own variable) picks another renderer, e.g. opengl.
    const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool driverNamed = named != nullptr && *named != '\0';
    RendererPtr renderer(SDL_CreateRenderer(window, -1, driverNamed ? 0 : SDL_RENDERER_SOFTWARE));
    if (!renderer) {
        SetError(error, "cannot draw into the window (" + SdlError() + ")");
    }
    return renderer;
}

}  // namespace platform::sdl
