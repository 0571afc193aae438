// Direct access to an image surface's pixels, for the figures this layer rasterizes itself
// (rectangles, ellipses, thin lines, pixels, copies). Construction flushes cairo's pending
// drawing; destruction tells cairo that pixels changed behind its back.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>

#include "platform/gdi/pixel_rows.h"
#include "platform/win32_types.h"

namespace platform::gdi_detail {

// An RGB24 word (0x??RRGGBB) from a 0x00BBGGRR colour, and back.
constexpr std::uint32_t PixelFromColour(COLORREF colour) {
    return 0xFF000000u | (std::uint32_t{GetRValue(colour)} << 16) |
           (std::uint32_t{GetGValue(colour)} << 8) | GetBValue(colour);
}
constexpr COLORREF ColourFromPixel(std::uint32_t pixel) {
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}

// True for an image surface this layer can draw into: RGB24 or ARGB32, in a good state.
bool IsDrawableSurface(cairo_surface_t* surface);

class PixelSurface {
  public:
    // `surface` must satisfy IsDrawableSurface; otherwise the view is empty (0 x 0).
    explicit PixelSurface(cairo_surface_t* surface);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    // False when the surface could not be opened for drawing.
    bool Valid() const { return !rows_.Empty(); }
    int Width() const { return rows_.width; }
    int Height() const { return rows_.height; }
    int Stride() const { return rows_.stride; }

    // Row y's words; y must be inside the surface.
    std::uint32_t* Row(int y) const { return rows_.Row(y); }

    // Pixels x0..x1 (inclusive) of row y, clipped to the surface.
    void FillSpan(std::int64_t y, std::int64_t x0, std::int64_t x1, std::uint32_t pixel);
    // Rectangle with the right and bottom edges excluded, clipped to the surface.
    void FillRect(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                  std::uint32_t pixel);
    // False, writing nothing, outside the surface.
    bool Set(std::int64_t x, std::int64_t y, std::uint32_t pixel);
    std::optional<std::uint32_t> Get(std::int64_t x, std::int64_t y) const;

    // For writers going through Row(): tells cairo that pixels changed.
    void MarkWritten() { written_ = true; }

  private:
    cairo_surface_t* surface_ = nullptr;
    PixelRows rows_;
    bool written_ = false;
};

}  // namespace platform::gdi_detail
