// Installing the window manager on a back end, and looking at what it shows.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/backend.h"

struct SHACTIVATEINFO;

namespace platform {

namespace detail {
class Desktop;
}

// A timer message as the loop takes it: the time it was due (a slot of its period's grid) and
// the time it was taken, in the back end's milliseconds.
struct TimerTaken {
    HWND window;
    UINT_PTR id;
    Millis due;
    Millis taken;
};

// A call of the shell's start-up, full-screen, activation or setting-change helper as the helper
// got it.
// On the device those manage the task bar and the input panel, which this build does not have, so
// what they were given is all there is to see of them.
struct ShellHelperCall {
    enum class Helper { kInitExtraControls, kFullScreen, kActivate, kSettingChange };
    Helper helper;
    HWND window;
    WPARAM wParam;               // activation and setting change
    LPARAM lParam;               // activation and setting change
    const SHACTIVATEINFO* info;  // activation and setting change
    DWORD flags;                 // full screen: the state; activation: the flags
};

// While alive, the platform's window calls work on a desktop shown by `backend` (borrowed; it
// must outlive this). One at a time; a second one replaces the first until it goes. Going away
// frees every window, timer and menu without sending messages.
class WindowSystem {
  public:
    // A desktop of this process alone: FindWindowW and SetForegroundWindow see its windows only.
    explicit WindowSystem(Backend& backend);
    // A desktop shared with the other processes of this user that name the same `desktop` (the
    // display the back end shows on, say "x11 :0"): FindWindowW finds their top-level windows
    // by class and title, and SetForegroundWindow on what it returns asks that process to bring
    // its window to the front (see platform/window/desktop_sharing.h).
    WindowSystem(Backend& backend, std::string desktop);
    ~WindowSystem();
    WindowSystem(const WindowSystem&) = delete;
    WindowSystem& operator=(const WindowSystem&) = delete;

    // Calls `observer` for every timer message the loop takes: a benchmark's view of how
    // regularly the timers tick. An empty function stops it.
    void ObserveTimers(std::function<void(const TimerTaken&)> observer);
    // Calls `observer` for every call of the shell helpers above. An empty function stops it.
    void ObserveShellHelpers(std::function<void(const ShellHelperCall&)> observer);
    // While `refuse` holds, every window creation fails as it would on a device out of memory:
    // the tests' way to see what a program does then.
    void RefuseWindowCreation(bool refuse);

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
