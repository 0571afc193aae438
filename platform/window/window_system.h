// Installing the window manager on a back end, and looking at what it shows.
#pragma once

#include <memory>
#include <string>

#include "platform/window/backend.h"
#include "platform/window/cairo_handles.h"

namespace platform {

namespace detail {
class Desktop;
}

// While alive, the platform's window calls work on a desktop shown by `backend` (borrowed; it
// must outlive this). One at a time; a second one replaces the first until it goes. Going away
// frees every window, timer and menu without sending messages.
class WindowSystem {
  public:
    explicit WindowSystem(Backend& backend);
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

  private:
    std::unique_ptr<detail::Desktop> desktop_;
};

// The screen as it stands now: the visible windows composed in z-order, an RGB24 image of the
// screen's size. Null without a window system.
SurfacePtr CaptureScreen();

// CaptureScreen written as a PNG file. On failure returns false and, when `error` is not null,
// says why.
bool WriteScreenshotPng(const std::string& path, std::string* error);

}  // namespace platform
