#include "tools/headless_display.h"

#include "game/match.h"
#include "platform/gdi/surface_dc.h"
#include "render/frame_painter.h"
#include "render/pitch_painter.h"

namespace {

bool HasSize(HDC surface, std::int32_t width, std::int32_t height) {
    cairo_surface_t* pixels = platform::SurfaceOfDC(surface);
    return pixels != nullptr && cairo_image_surface_get_width(pixels) == width &&
           cairo_image_surface_get_height(pixels) == height;
}

// Deletes an off-screen surface with the bitmap it holds, seen by swapping a stand-in into it.
void DeleteSurface(HDC surface) {
    const HBITMAP standIn = CreateCompatibleBitmap(surface, 1, 1);
    const HGDIOBJ bitmap = SelectObject(surface, standIn);
    DeleteDC(surface);
    DeleteObject(standIn);
    DeleteObject(bitmap);
}

// What the program releases when its loop ends (the surfaces and the brush made last), and also
// what it leaves to the end of the process: the bitmaps and the brush left in the background.
// A simulator run is not a process; tests and the fuzzer run many in one.
void ReleasePaintResources(const PaintResources& resources) {
    const HGDIOBJ backgroundBrush =
        SelectObject(resources.backgroundSurface, GetStockObject(NULL_BRUSH));
    DeleteSurface(resources.frameSurface);
    DeleteSurface(resources.backgroundSurface);
    DeleteObject(resources.currentBrush);
    if (backgroundBrush != resources.currentBrush) {
        DeleteObject(backgroundBrush);
    }
}

// A paint device context for the window, released when the paint ends.
class WindowPaint {
  public:
    explicit WindowPaint(cairo_surface_t* window) : dc_(platform::CreateSurfaceDC(window)) {}
    ~WindowPaint() { DeleteDC(dc_); }
    WindowPaint(const WindowPaint&) = delete;
    WindowPaint& operator=(const WindowPaint&) = delete;
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
};

}  // namespace

HeadlessDisplay::~HeadlessDisplay() {
    if (window_ == nullptr) {
        return;
    }
    ReleasePaintResources(resources_);
}

bool HeadlessDisplay::FirstPaint(MatchState& state, std::int32_t width, std::int32_t height,
                                 std::string* error) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    // The off-screen surfaces have the window's size, so a window they cannot have is refused
    // before anything is allocated.
    if (width > platform::kMaxBitmapSide || height > platform::kMaxBitmapSide ||
        std::int64_t{width} * height > platform::kMaxBitmapPixels) {
        *error = "a " + size + " window is too large to paint (at most " +
                 std::to_string(platform::kMaxBitmapSide) + " pixels a side and " +
                 std::to_string(platform::kMaxBitmapPixels) + " pixels in all)";
        return false;
    }
    std::unique_ptr<cairo_surface_t, SurfaceRelease> window(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(window.get()) != CAIRO_STATUS_SUCCESS) {
        *error = "cannot make a " + size +
                 " window surface: " + cairo_status_to_string(cairo_surface_status(window.get()));
        return false;
    }

    MatchState started = state;
    started.initialised = 1;
    StartMatch(started, width, height);
    PaintResources resources{};
    {
        WindowPaint paint(window.get());
        PaintPitchBackground(started, resources, paint.dc(), 0, 0, width, height);
    }
    if (!HasSize(resources.frameSurface, width, height) ||
        !HasSize(resources.backgroundSurface, width, height)) {
        ReleasePaintResources(resources);
        *error = "cannot make the " + size + " off-screen surfaces";
        return false;
    }
    state = started;
    resources_ = resources;
    window_ = std::move(window);
    return true;
}

bool HeadlessDisplay::Paint(MatchState& state, const std::string& pngPath, std::string* error) {
    {
        WindowPaint paint(window_.get());
        PaintFrame(state, resources_, paint.dc());
    }
    if (pngPath.empty()) {
        return true;
    }
    std::string reason;
    if (!platform::WritePng(window_.get(), pngPath.c_str(), &reason)) {
        *error = reason;
        return false;
    }
    return true;
}
