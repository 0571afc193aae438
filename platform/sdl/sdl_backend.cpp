#include "platform/sdl/sdl_backend.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "platform/display/letterbox.h"
#include "platform/sdl/render_path.h"
#include "platform/sdl/wait_time.h"
#include "platform/sdl/window_manager.h"

namespace platform {
namespace {

bool Fail(std::string* error, std::string message) {
    if (error != nullptr) {
        *error = std::move(message);
    }
    return false;
}

std::string SizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

bool CheckOptions(const SdlOptions& options, std::string* error) {
    const ScreenSize screen = options.screen;
    if (screen.width < kMinScreenSide || screen.width > kMaxScreenSide ||
        screen.height < kMinScreenSide || screen.height > kMaxScreenSide) {
        return Fail(error, "screen size " + SizeText(screen.width, screen.height) +
                               " is out of range: each side must be " +
                               std::to_string(kMinScreenSide) + " to " +
                               std::to_string(kMaxScreenSide) + " pixels");
    }
    if (options.scale < 1 || options.scale > kMaxWindowScale) {
        return Fail(error, "window scale " + std::to_string(options.scale) +
                               " is out of range: it must be 1 to " +
                               std::to_string(kMaxWindowScale));
    }
    if (options.icon) {
        const WindowIcon& icon = *options.icon;
        if (icon.width <= 0 || icon.height <= 0 || icon.width > 1024 || icon.height > 1024 ||
            icon.rgba.size() != static_cast<std::size_t>(icon.width) * icon.height * 4) {
            return Fail(error, "window icon: " + std::to_string(icon.rgba.size()) +
                                   " bytes do not make a " + SizeText(icon.width, icon.height) +
                                   " RGBA picture");
        }
    }
    return true;
}

// Room left for the window's title bar and frame when its first size is fitted to the desktop;
// SDL cannot tell their size before the window is on the screen.
constexpr int kWindowFrameAllowance = 32;

}  // namespace

std::unique_ptr<SdlBackend> SdlBackend::Create(const SdlOptions& options, std::string* error) {
    if (!CheckOptions(options, error) || !sdl::VideoSession::ChooseDriver(error)) {
        return nullptr;
    }
    std::unique_ptr<SdlBackend> backend(new SdlBackend(options));
    SdlBackend* opening = backend.get();
    backend->opening_ = std::thread([opening, options] { opening->OpenInBackground(options); });
    return backend;
}

SdlBackend::SdlBackend(const SdlOptions& options)
    : screen_(options.screen),
      clockStart_(SDL_GetPerformanceCounter()),
      clockFrequency_(SDL_GetPerformanceFrequency()),
      firstFramePresented_(options.firstFramePresented) {}

SdlBackend::~SdlBackend() {
    Join();
}

void SdlBackend::OpenInBackground(const SdlOptions& options) {
    std::string error;
    video_ = sdl::VideoSession::Open(&error);
    const bool open = video_ != nullptr && Open(options, &error);
    bool show = false;
    {
        std::lock_guard<std::mutex> guard(openingLock_);
        opened_ = open;
        openingError_ = open ? std::string() : error;
        show = open && showRequested_;
    }
    if (show) {
        ShowAndPrepare();
    }
}

void SdlBackend::Join() const {
    if (opening_.joinable()) {
        opening_.join();
    }
}

void SdlBackend::Settle() const {
    Join();
    if (!openingError_.empty()) {
        throw DisplayUnavailable(openingError_);
    }
}

void SdlBackend::ShowScreen() {
    if (shown_) {
        return;
    }
    shown_ = true;
    {
        std::lock_guard<std::mutex> guard(openingLock_);
        if (!opened_) {
            // Still opening (the opening thread shows it when done), or it failed.
            showRequested_ = true;
            return;
        }
    }
    Join();
    opening_ = std::thread([this] { ShowAndPrepare(); });
}

void SdlBackend::ShowAndPrepare() {
    SDL_ShowWindow(window_.get());
    // The window's pixels are made here, while the program paints its first screen; the first
    // Present draws them.
    presenter_->Prepare();
}

bool SdlBackend::Open(const SdlOptions& options, std::string* error) {
    ScreenSize usable{0, 0};
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) == 0) {
        usable = {bounds.w, bounds.h - kWindowFrameAllowance};
    }
    const ScreenSize size = InitialWindowSize(screen_, options.scale, usable);
    // Hidden until the program shows a window of its own (ShowScreen).
    const Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
    window_.reset(SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, size.width, size.height, flags));
    if (!window_) {
        return Fail(error, "cannot open a window (" + sdl::SdlError() + ")");
    }
    if (options.icon) {
        const WindowIcon& icon = *options.icon;
        // SDL copies the pixels; the surface only borrows them for the call.
        sdl::SdlSurfacePtr surface(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint8_t*>(icon.rgba.data()), icon.width, icon.height, 32,
            icon.width * 4, SDL_PIXELFORMAT_RGBA32));
        if (!surface) {
            return Fail(error, "cannot make the window icon (" + sdl::SdlError() + ")");
        }
        SDL_SetWindowIcon(window_.get(), surface.get());
    }
    displayWait_ = sdl::DisplayWait::ForWindow(window_.get());
    const char* requested = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const std::string driver = requested != nullptr ? requested : "";
    const sdl::RenderChoice choice = sdl::ChooseRenderPath(
        driver, driver.empty() ? sdl::ProbeGlRenderer(window_.get()) : std::nullopt);
    if (choice.path == sdl::RenderPath::Renderer) {
        presenter_ = sdl::RendererPresenter::Create(window_.get(), screen_, choice.driver, error);
        if (!presenter_) {
            return false;
        }
    } else {
        presenter_ = std::make_unique<sdl::SurfacePresenter>(window_.get(), screen_);
    }
    if (options.fullscreen) {
        SetFullscreenNow(true);
    }
    view_ = View();
    return true;
}

std::uint64_t SdlBackend::NowMicros() const {
    return sdl::TicksToMicros(SDL_GetPerformanceCounter() - clockStart_, clockFrequency_);
}

Millis SdlBackend::Now() {
    return NowMicros() / 1000;
}

sdl::WindowView SdlBackend::View() const {
    sdl::WindowView view{{0, 0}, {0, 0}, {}, screen_};
    SDL_GetWindowSize(window_.get(), &view.window.width, &view.window.height);
    view.drawable = presenter_->Drawable();
    if (view.drawable.width <= 0 || view.drawable.height <= 0) {
        view.drawable = view.window;
    }
    view.image = FitScreen(view.drawable, screen_).image;
    return view;
}

void SdlBackend::Handle(const SDL_Event& event, std::vector<InputEvent>& out) {
    if (event.type != SDL_MOUSEMOTION && event.type != SDL_FINGERMOTION) {
        view_ = View();
    }
    switch (translator_.Translate(event, view_, out)) {
        case sdl::WindowAction::Redraw:
            presenter_->DisplayLost();
            break;
        case sdl::WindowAction::ToggleFullscreen:
            SetFullscreen(!Fullscreen());
            break;
        case sdl::WindowAction::None:
            break;
    }
}

void SdlBackend::HandleQueued(std::vector<InputEvent>& out) {
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        Handle(event, out);
    }
    presenter_->RestoreIfLost();
}

std::vector<InputEvent> SdlBackend::WaitForInput(std::optional<Millis> deadline) {
    Settle();
    std::vector<InputEvent> input;
    // What SDL made of its own calls (a window event of going full screen) is queued already.
    HandleQueued(input);
    // Reading the display's connection is most of what a wake costs, so it is read once a look,
    // after the sleep.
    for (bool first = true; input.empty(); first = false) {
        std::optional<int> timeout;
        if (deadline) {
            timeout = sdl::WaitTimeoutMs(NowMicros(), *deadline);
            if (!timeout) {
                if (first) {
                    SDL_PumpEvents();
                    HandleQueued(input);
                }
                break;
            }
        }
        if (displayWait_) {
            displayWait_->Wait(timeout.value_or(-1));
            SDL_PumpEvents();
        } else {
            SDL_Event event;
            if ((timeout ? SDL_WaitEventTimeout(&event, *timeout) : SDL_WaitEvent(&event)) != 0) {
                Handle(event, input);
            } else if (!timeout) {
                // SDL could not wait; don't spin.
                SDL_Delay(10);
            }
        }
        // Window events (an expose, a resize) wake the wait without giving input; the wait then
        // goes on until the deadline.
        HandleQueued(input);
    }
    return input;
}

void SdlBackend::Present(const ScreenDamage& changed) {
    Settle();
    if (!shown_) {
        // Shown without a window of the program's being shown first (a test of the back end).
        shown_ = true;
        SDL_ShowWindow(window_.get());
    }
    presenter_->Present(changed);
    if (firstFramePresented_) {
        std::function<void()> report = std::move(firstFramePresented_);
        firstFramePresented_ = nullptr;
        report();
    }
}

cairo_surface_t* SdlBackend::ScreenBuffer() {
    Settle();
    return presenter_->ScreenBuffer();
}

bool SdlBackend::Fullscreen() const {
    Settle();
    return ownFullscreen_ || (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlBackend::SetFullscreen(bool on) {
    Settle();
    SetFullscreenNow(on);
}

void SdlBackend::SetFullscreenNow(bool on) {
    SDL_Window* window = window_.get();
    presenter_->DisplayLost();
    if (ownFullscreen_) {
        if (!on) {
            SDL_SetWindowSize(window, windowed_.w, windowed_.h);
            SDL_SetWindowPosition(window, windowed_.x, windowed_.y);
            ownFullscreen_ = false;
        }
        return;
    }
    if (!on || sdl::WindowManagerDoesFullscreen(window)) {
        SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        return;
    }
    // No window manager to ask: the window covers its display itself (and goes back to where and
    // how big it was after). SDL then knows the window's real size, as it is told of each change.
    SDL_Rect display{};
    if (SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) != 0) {
        return;
    }
    SDL_GetWindowPosition(window, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window, &windowed_.w, &windowed_.h);
    SDL_SetWindowPosition(window, display.x, display.y);
    SDL_SetWindowSize(window, display.w, display.h);
    ownFullscreen_ = true;
}

void SdlBackend::Raise() {
    Settle();
    if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0) {
        SDL_RestoreWindow(window_.get());
    }
    SDL_RaiseWindow(window_.get());
}

}  // namespace platform
