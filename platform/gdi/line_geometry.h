// The geometry of lines: the platform's one-pixel line (Bresenham, first point drawn, last point
// not) and clipping a segment to a box before it is handed to cairo, whose fixed-point
// coordinates cannot hold the platform's full 32-bit range.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace platform::gdi_detail {

// Calls plot(x, y) for each pixel of the one-pixel line from (x0, y0) towards (x1, y1), the end
// point excluded. Walks max(|dx|, |dy|) steps: callers bound the length.
template <class Plot>
void WalkThinLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, Plot plot) {
    const std::int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1;
    const std::int64_t dy = -(y1 > y0 ? y1 - y0 : y0 - y1);
    const std::int64_t stepX = x0 < x1 ? 1 : -1;
    const std::int64_t stepY = y0 < y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    std::int64_t x = x0;
    std::int64_t y = y0;
    while (x != x1 || y != y1) {
        plot(x, y);
        const std::int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

struct Segment {
    double x0, y0, x1, y1;
};

// Cuts `segment` to the box [left, right] x [top, bottom] (Liang-Barsky). False when nothing of
// it lies inside.
bool ClipSegment(Segment& segment, double left, double top, double right, double bottom);

}  // namespace platform::gdi_detail
