// The window manager for one screen and one user-interface thread. It owns the windows
// (window_tree.h), the message queue (message_queue.h), the timers (timer_table.h), the menus
// (menu_table.h), the input routing (input_router.h) and what the screen shows (compositor.h),
// and keeps focus, activation and the open pop-up menu itself. The platform calls of winuser.h
// and aygshell.h work on the desktop that a WindowSystem has installed.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/display/density.h"
#include "platform/window/backend.h"
#include "platform/window/compositor.h"
#include "platform/window/desktop_sharing.h"
#include "platform/window/input_router.h"
#include "platform/window/menu_table.h"
#include "platform/window/message_queue.h"
#include "platform/window/timer_table.h"
#include "platform/window/window_system.h"
#include "platform/window/window_tree.h"

namespace platform::detail {

using platform::Metrics;
using platform::MetricsFor;

struct CreateParams {
    DWORD exStyle = 0;
    LPCWSTR className = nullptr;
    LPCWSTR title = nullptr;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
    HINSTANCE instance = nullptr;
    LPVOID param = nullptr;
    // Set for the shell's own windows (soft-key bars, pop-up menus): never activated, and taking
    // input only while their owner does.
    bool shellWindow = false;
};

enum class FetchResult { Message, Quit, Nothing };

using TimerObserver = std::function<void(const TimerTaken&)>;
using ShellHelperObserver = std::function<void(const ShellHelperCall&)>;

class Desktop {
  public:
    // With `sharedName`, the desktop is shared with the processes of the same user that give the
    // same name (see desktop_sharing.h).
    explicit Desktop(Backend& backend, std::optional<std::string> sharedName = std::nullopt);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The installed desktop, or null when no WindowSystem is alive.
    static Desktop* Current();

    Backend& backend() { return backend_; }
    const Metrics& metrics() const { return metrics_; }
    ScreenSize screen() const { return screen_; }
    WindowTree& tree() { return tree_; }
    TimerTable& timers() { return timers_; }
    MenuTable& menus() { return menus_; }
    MessageQueue& queue() { return queue_; }
    Window* Find(HWND handle) const { return tree_.Find(handle); }
    Millis Now() { return backend_.Now(); }

    // Windows.
    HWND Create(const CreateParams& params);
    bool Destroy(HWND handle);
    // The rectangle in screen coordinates (top-level) or parent client coordinates (child).
    bool Move(HWND handle, RECT rect, bool repaint);
    bool Show(HWND handle, bool show, bool activate);
    bool Enable(HWND handle, bool enable);
    void Activate(HWND handle);
    // Activates a top-level window (or the one a child belongs to) and puts it on top; with
    // `ownedPopup`, the last of its visible owned windows that can be active takes the
    // activation instead (an open dialog stays in front of its owner). False for a window that
    // is not there or not visible.
    bool BringToForeground(HWND handle, bool ownedPopup);
    HWND Active() const { return active_; }
    HWND Focus() const { return focus_; }
    void SetFocus(HWND handle);

    // Painting and the composed screen.
    void Invalidate(Window& window, const RECT* rect, bool erase);
    void Validate(Window& window);
    // Opens and closes a paint of a window's client surface (resizes wait until it closes).
    RECT BeginSurfacePaint(Window& window, bool* erase);
    void EndSurfacePaint(HWND handle);
    // A new image of the screen as it stands.
    SurfacePtr ComposeScreen();
    // The same, drawn over all of an RGB24 image of the screen's size, writing only what differs
    // from what it holds, and adding that to `changed` (compositor.cpp).
    void ComposeInto(cairo_surface_t* screen, ScreenDamage& changed);
    // Composes the screen into the back end's and shows it, when it changed since it was last
    // shown (compositor.cpp).
    void PresentIfChanged();

    // Messages.
    LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    bool Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    void PostQuit(int exitCode) { queue_.PostQuit(exitCode); }
    // The loop's one way to its messages, and to its sleep (message_loop.cpp).
    FetchResult Fetch(MSG& msg, HWND window, UINT first, UINT last, bool remove, bool wait);
    LRESULT Dispatch(const MSG& msg);
    bool KeyDown(UINT key) const { return input_.KeyDown(key); }
    POINT LastPointer() const { return input_.LastPointer(); }

    // The one pop-up menu that can be open.
    HWND OpenPopup() const { return openPopup_; }

    // Other processes' windows; null when the desktop is this process's alone.
    DesktopSharing* sharing() { return sharing_.get(); }

    void ObserveTimers(TimerObserver observer) { timerObserver_ = std::move(observer); }
    void ObserveShellHelpers(ShellHelperObserver observer) { shellObserver_ = std::move(observer); }
    void ShellHelperCalled(const ShellHelperCall& call) {
        if (shellObserver_) {
            shellObserver_(call);
        }
    }
    void RefuseWindowCreation(bool refuse) { refuseCreation_ = refuse; }

    void SetOpenPopup(HWND popup) { openPopup_ = popup; }
    void ClosePopup();

  private:
    // A window of `windowClass` as `p` describes it, placed but not yet in the tree; null when
    // its parent is not there.
    std::unique_ptr<Window> NewWindow(const CreateParams& p, const WindowClass& windowClass) const;
    void Forget(HWND handle);
    HWND NextToActivate(HWND leaving) const;
    // A message stamped with the time and the pointer's place.
    MSG Stamped(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    // What the loop looks through for its next message (message_loop.cpp).
    bool TakeInput(MSG& msg, const MessageFilter& filter, bool remove);
    bool TakeTimer(MSG& msg, const MessageFilter& filter, bool remove);
    // Requests from other processes, and the longest a wait may last while serving them.
    void ServeOtherProcesses();
    std::optional<Millis> WaitDeadline(std::optional<Millis> nextTimer);

    Backend& backend_;
    ScreenSize screen_;
    Metrics metrics_;
    WindowTree tree_;
    TimerTable timers_;
    MenuTable menus_;
    MessageQueue queue_;
    InputRouter input_{*this};
    ShownScreen shown_;

    HWND active_ = nullptr;
    HWND focus_ = nullptr;
    HWND openPopup_ = nullptr;
    std::unique_ptr<DesktopSharing> sharing_;
    std::optional<Millis> nextServe_;
    TimerObserver timerObserver_;
    ShellHelperObserver shellObserver_;
    bool refuseCreation_ = false;
    Desktop* previous_ = nullptr;
};

}  // namespace platform::detail
