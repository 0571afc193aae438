// Opening SDL's video for a window of ours, done the same way by the game and by the benchmark's
// floor program, so that the two pay the same for showing a frame.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

#include "platform/sdl/sdl_handles.h"

namespace platform::sdl {

// SDL's video subsystem, started for as long as this lives.
class VideoSession {
  public:
    // Sets our hints and starts the video subsystem. Without a display to show a window on,
    // returns null and a one-line reason in `error` (when not null), where SDL on its own would
    // run on its invisible "offscreen" driver with nobody seeing the game. A driver named in
    // SDL_VIDEODRIVER is taken as asked for, invisible ones included (tests use them).
    static std::unique_ptr<VideoSession> Start(std::string* error);

    // Start in two halves, for a program that opens its window on a thread of its own while it
    // does other work. ChooseDriver, at once: sets our hints and picks the drivers, failing
    // where there is no display to show a window on, as Start does. Open, after it (on any
    // thread): starts the video subsystem, failing where the display cannot be reached.
    static bool ChooseDriver(std::string* error);
    static std::unique_ptr<VideoSession> Open(std::string* error);
    // The driver SDL is to try first once ChooseDriver has run: "x11", "wayland", or the first
    // one SDL_VIDEODRIVER names.
    static std::string ChosenDriver();

    ~VideoSession();
    VideoSession(const VideoSession&) = delete;
    VideoSession& operator=(const VideoSession&) = delete;

  private:
    VideoSession() = default;
};

// The renderer of the benchmark's floor program, a plain SDL program that shows whole frames:
// SDL's software renderer unless SDL_RENDER_DRIVER names another. (The game itself chooses its
// way in render_path.h.) Null and the reason in `error` when none can be made.
RendererPtr CreateWindowRenderer(SDL_Window* window, std::string* error);

// SDL's last error as one line.
std::string SdlError();

}  // namespace platform::sdl
