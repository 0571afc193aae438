#include "tests/windows/gdi_display.h"

#include <fstream>

#include "game/match.h"
#include "render/frame_painter.h"
#include "render/pitch_painter.h"

namespace {

// True when `surface` holds a 32-bit bitmap of width x height.
bool HoldsBitmap(HDC surface, std::int32_t width, std::int32_t height) {
    BITMAP bitmap{};
    const HGDIOBJ selected = surface != nullptr ? GetCurrentObject(surface, OBJ_BITMAP) : nullptr;
    return selected != nullptr && GetObjectW(selected, sizeof bitmap, &bitmap) == sizeof bitmap &&
           bitmap.bmWidth == width && bitmap.bmHeight == height && bitmap.bmBitsPixel == 32;
}

// Deletes an off-screen surface and the bitmap it holds for its whole life.
void DeleteSurface(HDC surface) {
    if (surface == nullptr) {
        return;
    }
    const HGDIOBJ bitmap = GetCurrentObject(surface, OBJ_BITMAP);
    DeleteDC(surface);
    DeleteObject(bitmap);
}

// The surfaces, and the brushes the painters leave selected: the background's, and the one made
// last (in the frame surface once a frame has been painted).
void ReleasePaintResources(const PaintResources& resources) {
    const auto takeBrush = [](HDC surface) {
        return surface != nullptr ? SelectObject(surface, GetStockObject(NULL_BRUSH)) : nullptr;
    };
    const HGDIOBJ backgroundBrush = takeBrush(resources.backgroundSurface);
    const HGDIOBJ frameBrush = takeBrush(resources.frameSurface);
    DeleteSurface(resources.frameSurface);
    DeleteSurface(resources.backgroundSurface);
    // Deleting a stock brush does nothing, so the brushes never selected need no exception.
    DeleteObject(backgroundBrush);
    if (frameBrush != backgroundBrush) {
        DeleteObject(frameBrush);
    }
}

// The size of `value`'s text in the score font, made as the frame painter makes it.
SIZE ScoreTextSize(HDC surface, const MatchState& state, int value) {
    const LOGFONTW font = ScoreFont(state.ball.size);
    const HFONT scoreFont = CreateFontIndirectW(&font);
    const HGDIOBJ displaced = SelectObject(surface, scoreFont);
    const std::wstring text = std::to_wstring(value);
    SIZE size{};
    GetTextExtentPoint32W(surface, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(surface, displaced);
    DeleteObject(scoreFont);
    return size;
}

}  // namespace

GdiDisplay::~GdiDisplay() {
    ReleasePaintResources(resources_);
    if (window_ != nullptr) {
        SelectObject(window_, displacedBitmap_);
        DeleteObject(windowBitmap_);
        DeleteDC(window_);
    }
}

bool GdiDisplay::FirstPaint(MatchState& state, std::int32_t width, std::int32_t height,
                            std::string* error) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    const HDC window = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    // Top-down rows, as a picture file stores them.
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = window != nullptr
                               ? CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                               : nullptr;
    if (bitmap == nullptr || bits == nullptr) {
        DeleteDC(window);
        *error = "cannot make a " + size + " 32-bit DIB section for the window";
        return false;
    }

    MatchState started = state;
    started.initialised = 1;
    StartMatch(started, width, height);
    const HGDIOBJ displaced = SelectObject(window, bitmap);
    PaintResources resources{};
    PaintPitchBackground(started, resources, window, 0, 0, width, height);
    if (!HoldsBitmap(resources.frameSurface, width, height) ||
        !HoldsBitmap(resources.backgroundSurface, width, height)) {
        ReleasePaintResources(resources);
        SelectObject(window, displaced);
        DeleteObject(bitmap);
        DeleteDC(window);
        *error = "the painters could not make 32-bit " + size + " off-screen surfaces";
        return false;
    }
    state = started;
    resources_ = resources;
    window_ = window;
    windowBitmap_ = bitmap;
    displacedBitmap_ = displaced;
    pixels_ = static_cast<const std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

bool GdiDisplay::Paint(MatchState& state, const std::string& pngPath, std::string* error) {
    if (textCells_ != nullptr && !pngPath.empty()) {
        WriteTextCells(state, pngPath);
    }
    PaintFrame(state, resources_, window_);
    // The DIB section's memory is read directly: the drawing must be finished first.
    GdiFlush();
    if (pngPath.empty()) {
        return true;
    }
    // A binary PPM, the simplest picture the comparison reads, beside where the PNG would be.
    const std::string path = pngPath + ".ppm";
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width_ << ' ' << height_ << "\n255\n";
    for (std::size_t i = 0; i < static_cast<std::size_t>(width_) * height_; ++i) {
        const char rgb[] = {static_cast<char>(pixels_[i] >> 16), static_cast<char>(pixels_[i] >> 8),
                            static_cast<char>(pixels_[i])};
        out.write(rgb, sizeof rgb);
    }
    out.close();
    if (!out) {
        *error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}

void GdiDisplay::WriteTextCells(const MatchState& state, const std::string& pngPath) {
    *textCells_ << pngPath;
    for (const int player : {kComputerPlayer, kUserPlayer}) {
        const POINT corner = ScoreCorner(player, state.geometry.height);
        const SIZE size =
            ScoreTextSize(resources_.frameSurface, state, state.players[player].score);
        *textCells_ << ' ' << corner.x << ' ' << corner.y << ' ' << size.cx << ' ' << size.cy;
    }
    *textCells_ << '\n';
}
