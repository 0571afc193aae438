// A window in memory with the match started and the pitch painted, as after the first paint;
// the tests read pixels back from its surfaces. The window starts in a colour the game never
// draws, so that a test sees what was painted into it.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "game/match.h"
#include "platform/gdi/surface_dc.h"
#include "render/frame_painter.h"
#include "render/pitch_painter.h"

class PaintedWindow {
  public:
    static constexpr std::array<int, 3> kUntouched{255, 0, 255};

    PaintedWindow(int width, int height)
        : window_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {
        cairo_t* cr = cairo_create(window_);
        cairo_set_source_rgb(cr, kUntouched[0] / 255.0, kUntouched[1] / 255.0,
                             kUntouched[2] / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
        state.initialised = 1;
        StartMatch(state, width, height);
        const HDC paint = platform::CreateSurfaceDC(window_);
        PaintPitchBackground(state, resources, paint, 0, 0, width, height);
        DeleteDC(paint);
    }
    ~PaintedWindow() {
        DeleteDC(resources.frameSurface);
        DeleteDC(resources.backgroundSurface);
        DeleteObject(resources.currentBrush);
        cairo_surface_destroy(window_);
    }
    PaintedWindow(const PaintedWindow&) = delete;
    PaintedWindow& operator=(const PaintedWindow&) = delete;

    void PaintFrame() {
        const HDC paint = platform::CreateSurfaceDC(window_);
        ::PaintFrame(state, resources, paint);
        DeleteDC(paint);
    }

    // The colour of a window pixel as (r, g, b).
    std::array<int, 3> WindowPixel(int x, int y) const {
        cairo_surface_flush(window_);
        const unsigned char* row =
            cairo_image_surface_get_data(window_) + y * cairo_image_surface_get_stride(window_);
        std::uint32_t word;
        std::memcpy(&word, row + 4 * x, sizeof word);
        return {static_cast<int>((word >> 16) & 0xFF), static_cast<int>((word >> 8) & 0xFF),
                static_cast<int>(word & 0xFF)};
    }

    COLORREF BackgroundPixel(int x, int y) const {
        return GetPixel(resources.backgroundSurface, x, y);
    }

    MatchState state{};
    PaintResources resources{};

  private:
    cairo_surface_t* window_;
};

inline std::array<int, 3> Channels(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}
