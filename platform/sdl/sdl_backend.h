// The desktop back end: the device screen shown in a resizable desktop window through SDL2.
//
// The game draws in device pixels (480 x 640 unless told otherwise); the window shows that screen
// scaled to fit with its aspect ratio kept, between black bars, and maps the pointer back to
// device pixels. A program uses it like this:
//
//     platform::SdlOptions options;
//     options.screen = {240, 320};                  // --screen WxH
//     options.scale = 2;                            // --scale N
//     options.fullscreen = true;                    // --fullscreen
//     options.title = "Tarvel";
//     options.icon = platform::WindowIconFromResource(resources::TarvelIcon(), &error);
//     std::string error;
//     std::unique_ptr<platform::SdlBackend> backend = platform::SdlBackend::Create(options,
//     &error); if (!backend) {                               // no display, or bad options
//         std::fprintf(stderr, "tarvel: %s\n", error.c_str());
//         return 1;
//     }
//     platform::WindowSystem windows(*backend);     // then register the resources, run WinMain
//
// The window's close button (and SIGINT or SIGTERM) arrive as InputKind::CloseRequest. F11 and
// Alt+Enter toggle desktop full screen here and never reach the program.
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/display/letterbox.h"
#include "platform/gdi/cairo_handles.h"
#include "platform/sdl/display_wait.h"
#include "platform/sdl/input_translator.h"
#include "platform/sdl/presenter.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/video_session.h"
#include "platform/window/backend.h"
#include "platform/window/window_icon.h"

namespace platform {

struct SdlOptions {
    // The device screen in pixels: what the game sees.
    ScreenSize screen{480, 640};
    // The window's first size, in device screens; a factor that does not fit the desktop is
    // lowered to the largest that does.
    int scale = 1;
    // Start in desktop full screen.
    bool fullscreen = false;
    // The window title, UTF-8.
    std::string title = "Tarvel";
    std::optional<WindowIcon> icon;
    // Called once, right after the first frame is on the screen (a benchmark measures start-up
    // to there).
    std::function<void()> firstFramePresented;
};

// The display that passed Create's checks could not be opened after all (a DISPLAY that no
// server answers): thrown by the first member that needs the window, its message one line.
class DisplayUnavailable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SdlBackend final : public Backend {
  public:
    // Starts opening the window. Null, with a one-line reason in `error` (when not null), for
    // options out of range or when there is no display to open a window on. SDL's start and the
    // window are made on a thread of their own meanwhile, while the program sets itself up; a
    // display that cannot be reached after all is reported by DisplayUnavailable.
    static std::unique_ptr<SdlBackend> Create(const SdlOptions& options, std::string* error);

    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    ScreenSize Screen() const override { return screen_; }
    Millis Now() override;
    std::vector<InputEvent> WaitForInput(std::optional<Millis> deadline) override;
    // The presenter's screen: the window's own pixels at one to one on the CPU, an image
    // otherwise.
    cairo_surface_t* ScreenBuffer() override;
    // Shows the window if it is not yet, and sends only what `changed` reaches.
    void Present(const ScreenDamage& changed) override;

    bool Fullscreen() const;
    void SetFullscreen(bool on);
    // Shows the window, which is hidden until then, and makes the pixels the first screen goes
    // into. That runs on a thread of its own while the program paints its first screen: mapping
    // a window and sharing its pixels with the display server take round trips to the server,
    // and the program needs nothing of SDL until it presents. SDL is
    // still used by one thread at a time: every other member joins that thread first (Settle).
    // SDL2 asks for video calls on the main thread for the platforms whose windows belong to a
    // thread; X11 and Wayland connections do not.
    void ShowScreen() override;
    // Brings the window to the front (a second start of the program hands over to this one).
    void Raise() override;
    // The SDL window, for whatever else a program needs of it.
    SDL_Window* Window() const {
        Settle();
        return window_.get();
    }

  private:
    explicit SdlBackend(const SdlOptions& options);

    // On the opening thread: SDL's start, the window and, if ShowScreen came meanwhile, showing
    // it.
    void OpenInBackground(const SdlOptions& options);
    bool Open(const SdlOptions& options, std::string* error);
    // Shows the window and makes what the first screen is drawn into.
    void ShowAndPrepare();
    // Waits for the opening thread, if it runs: every use of SDL comes after. Throws
    // DisplayUnavailable if the window could not be opened.
    void Settle() const;
    // Waits for the opening thread without throwing.
    void Join() const;
    std::uint64_t NowMicros() const;
    // The window's size, its drawable's and where the screen lies in it, looked up anew.
    sdl::WindowView View() const;
    // Passes an event's input on to `out` and does what it asks of the window.
    void Handle(const SDL_Event& event, std::vector<InputEvent>& out);
    // Handles the events SDL has queued, without reading the display for more, and shows the
    // screen again if one of them lost it.
    void HandleQueued(std::vector<InputEvent>& out);
    // SetFullscreen once the window is open (also on the opening thread).
    void SetFullscreenNow(bool on);

    // Declared in the order they are made; destroyed the other way round.
    std::unique_ptr<sdl::VideoSession> video_;
    ScreenSize screen_;
    std::uint64_t clockStart_;
    std::uint64_t clockFrequency_;
    sdl::WindowPtr window_;
    // How the screen goes into the window (render_path.h).
    std::unique_ptr<sdl::Presenter> presenter_;
    // Full screen done by moving and sizing the window ourselves, where no window manager does
    // it, and where the window was before.
    bool ownFullscreen_ = false;
    SDL_Rect windowed_{0, 0, 0, 0};
    // The view as of the last event that was not a pointer's motion: every change of the
    // window's size, its display or its presenter comes as an event (or from Create), so the
    // many moves of a pointer take it from here rather than looking it up each.
    sdl::WindowView view_{};
    // Our own sleep on the display, where SDL's can be done without (X11).
    std::optional<sdl::DisplayWait> displayWait_;
    sdl::InputTranslator translator_;
    std::function<void()> firstFramePresented_;
    bool shown_ = false;
    // The opening thread (and ShowScreen's, after it). Joining it changes nothing a caller sees,
    // so const members may.
    mutable std::thread opening_;
    // Between the opening thread and ShowScreen: whether the window is open, why it could not
    // be, and whether it is to be shown as soon as it is.
    std::mutex openingLock_;
    bool opened_ = false;
    std::string openingError_;
    bool showRequested_ = false;
};

}  // namespace platform
