#include "platform/sdl/sdl_backend.h"

#include <cstddef>
#include <stdexcept>
#include <utility>

#include "platform/sdl/letterbox.h"
#include "platform/sdl/wait_time.h"

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
    ReleaseScreenBuffer();
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
        ShowWithFirstFrame();
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
    opening_ = std::thread([this] { ShowWithFirstFrame(); });
}

void SdlBackend::ShowWithFirstFrame() {
    SDL_ShowWindow(window_.get());
    // A black frame, with no screen in it yet: the window's own image is written for the first
    // time here (memory is slowest then) while the program paints its first screen. The
    // window's first expose then has nothing to show again, and the first Present draws the
    // screen.
    Redraw();
}

bool SdlBackend::Open(const SdlOptions& options, std::string* error) {
    ScreenSize usable{0, 0};
    SDL_Rect bounds{};
    if (SDL_GetDisplayUsableBounds(0, &bounds) == 0) {
        usable = {bounds.w, bounds.h - kWindowFrameAllowance};
    }
    const ScreenSize size = sdl::InitialWindowSize(screen_, options.scale, usable);
    // Hidden until the program shows a window of its own (ShowScreen).
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_HIDDEN;
    if (options.fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
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
    renderer_ = sdl::CreateWindowRenderer(window_.get(), error);
    if (!renderer_) {
        return false;
    }
    // SDL_PIXELFORMAT_RGB888 is a 32-bit word 0x00RRGGBB in the machine's byte order, which is
    // how cairo stores an RGB24 pixel: rows are copied as they are.
    screenTexture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                           SDL_TEXTUREACCESS_STREAMING, screen_.width,
                                           screen_.height));
    if (!screenTexture_) {
        return Fail(error, "cannot make the screen texture (" + sdl::SdlError() + ")");
    }
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
    if (SDL_GetRendererOutputSize(renderer_.get(), &view.drawable.width, &view.drawable.height) !=
        0) {
        view.drawable = view.window;
    }
    view.image = sdl::FitScreen(view.drawable, screen_).image;
    return view;
}

void SdlBackend::Handle(const SDL_Event& event, std::vector<InputEvent>& out) {
    switch (translator_.Translate(event, View(), out)) {
        case sdl::WindowAction::Redraw:
            redrawPending_ = true;
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
    // Before the first screen there is nothing to show again: the first Present draws the
    // window.
    if (redrawPending_ && hasScreen_) {
        Redraw();
    }
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

void SdlBackend::Present(cairo_surface_t* screen) {
    Settle();
    if (screen == nullptr || cairo_surface_status(screen) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(screen) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(screen) != CAIRO_FORMAT_RGB24) {
        throw std::invalid_argument("SDL back end: the screen to show must be an RGB24 image");
    }
    const int width = cairo_image_surface_get_width(screen);
    const int height = cairo_image_surface_get_height(screen);
    if (width != screen_.width || height != screen_.height) {
        throw std::invalid_argument("SDL back end: a " + SizeText(width, height) +
                                    " image cannot be shown as the " +
                                    SizeText(screen_.width, screen_.height) + " screen");
    }
    if (!shown_) {
        // Shown without a window of the program's being shown first (a test of the back end).
        shown_ = true;
        SDL_ShowWindow(window_.get());
    }
    if (screen == lockedScreen_.get()) {
        // Composed in the texture itself: nothing to upload.
        ReleaseScreenBuffer();
    } else {
        ReleaseScreenBuffer();
        cairo_surface_flush(screen);
        if (SDL_UpdateTexture(screenTexture_.get(), nullptr, cairo_image_surface_get_data(screen),
                              cairo_image_surface_get_stride(screen)) != 0) {
            throw std::runtime_error("SDL back end: cannot upload the screen (" + sdl::SdlError() +
                                     ")");
        }
    }
    hasScreen_ = true;
    Redraw();
    if (firstFramePresented_) {
        std::function<void()> report = std::move(firstFramePresented_);
        firstFramePresented_ = nullptr;
        report();
    }
}

cairo_surface_t* SdlBackend::ScreenBuffer() {
    Settle();
    if (!lockedScreen_) {
        void* pixels = nullptr;
        int pitch = 0;
        if (SDL_LockTexture(screenTexture_.get(), nullptr, &pixels, &pitch) != 0) {
            return nullptr;
        }
        // The texture's RGB888 pixels are cairo's RGB24 ones (see Open); cairo refuses a pitch
        // it cannot use.
        SurfacePtr image = MakeImageSurfaceOver(static_cast<unsigned char*>(pixels), screen_.width,
                                                screen_.height, pitch);
        if (!image) {
            SDL_UnlockTexture(screenTexture_.get());
            return nullptr;
        }
        lockedScreen_ = std::move(image);
    }
    return lockedScreen_.get();
}

void SdlBackend::ReleaseScreenBuffer() {
    if (lockedScreen_) {
        // Finishing writes out whatever cairo still holds and ends its use of the pixels.
        cairo_surface_finish(lockedScreen_.get());
        lockedScreen_.reset();
        SDL_UnlockTexture(screenTexture_.get());
    }
}

void SdlBackend::Redraw() {
    redrawPending_ = false;
    SDL_Renderer* renderer = renderer_.get();
    sdl::Letterbox box;
    int width = 0;
    int height = 0;
    if (SDL_GetRendererOutputSize(renderer, &width, &height) == 0) {
        box = sdl::FitScreen({width, height}, screen_);
    }
    SDL_Texture* source = hasScreen_ && !box.image.Empty() ? ScaleSource(box) : nullptr;
    SDL_SetRenderTarget(renderer, nullptr);
    // Black bars; where the image fills the window, clearing first would only be overwritten.
    const bool imageFillsWindow = source != nullptr && box.image.x <= 0 && box.image.y <= 0 &&
                                  box.image.x + box.image.width >= width &&
                                  box.image.y + box.image.height >= height;
    if (!imageFillsWindow) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
    if (source != nullptr) {
        const SDL_Rect target{box.image.x, box.image.y, box.image.width, box.image.height};
        SDL_RenderCopy(renderer, source, nullptr, &target);
    }
    SDL_RenderPresent(renderer);
}

SDL_Texture* SdlBackend::ScaleSource(const sdl::Letterbox& box) {
    SDL_Texture* screen = screenTexture_.get();
    if (box.exact || box.wholeFactor < 2) {
        // A whole factor is crisp with nearest neighbour. Between one and two, or shrinking, the
        // image is scaled smoothly: nearest neighbour would make device pixels of uneven sizes,
        // or drop the one-pixel lines of the pitch altogether.
        SDL_SetTextureScaleMode(screen, box.exact ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        return screen;
    }
    // Between two whole factors: each device pixel is first blown up to a whole square, and only
    // that is scaled the last bit smoothly, so the pixels stay sharp and even with soft edges no
    // more than one window pixel wide.
    SDL_Renderer* renderer = renderer_.get();
    if (!wholeTexture_ || wholeTextureFactor_ != box.wholeFactor) {
        wholeTexture_.reset(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                              screen_.width * box.wholeFactor, screen_.height * box.wholeFactor));
        wholeTextureFactor_ = wholeTexture_ ? box.wholeFactor : 0;
    }
    if (!wholeTexture_ || SDL_SetRenderTarget(renderer, wholeTexture_.get()) != 0) {
        SDL_SetTextureScaleMode(screen, SDL_ScaleModeLinear);
        return screen;
    }
    SDL_SetTextureScaleMode(screen, SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer, screen, nullptr, nullptr);
    SDL_SetTextureScaleMode(wholeTexture_.get(), SDL_ScaleModeLinear);
    return wholeTexture_.get();
}

bool SdlBackend::Fullscreen() const {
    Settle();
    return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN) != 0;
}

void SdlBackend::SetFullscreen(bool on) {
    Settle();
    SDL_SetWindowFullscreen(window_.get(), on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    redrawPending_ = true;
}

void SdlBackend::Raise() {
    Settle();
    if ((SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) != 0) {
        SDL_RestoreWindow(window_.get());
    }
    SDL_RaiseWindow(window_.get());
}

}  // namespace platform
