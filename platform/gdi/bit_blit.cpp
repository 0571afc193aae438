// Copies between device contexts: rows of words moved as they are, with no record of what they
// changed (the window manager finds that once, as it composes the screen: window/compositor.cpp).
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/gdi/pixel_surface.h"

using platform::gdi_detail::DeviceContext;
using platform::gdi_detail::PixelSurface;
using platform::gdi_detail::Registry;

namespace {

// The part of [start, start + length) that lies in [0, limit) both where it is written and,
// shifted by `offset`, where it is read.
struct Range {
    std::int64_t begin;
    std::int64_t end;
};
Range ClipRange(std::int64_t start, std::int64_t length, std::int64_t offset,
                std::int64_t destLimit, std::int64_t sourceLimit) {
    const std::int64_t begin = std::max({start, std::int64_t{0}, -offset});
    const std::int64_t end = std::min({start + length, destLimit, sourceLimit - offset});
    return {begin, std::max(begin, end)};
}

}  // namespace

BOOL BitBlt(HDC destHandle, int x, int y, int cx, int cy, HDC sourceHandle, int sourceX,
            int sourceY, DWORD rop) {
    Registry& registry = Registry::Get();
    DeviceContext* dest = registry.Find(destHandle);
    DeviceContext* source = registry.Find(sourceHandle);
    if (rop != SRCCOPY || dest == nullptr || source == nullptr || cx < 0 || cy < 0) {
        return FALSE;
    }
    cairo_surface_t* destSurface = registry.PixelsOf(*dest);
    cairo_surface_t* sourceSurface = registry.PixelsOf(*source);
    if (destSurface == nullptr || sourceSurface == nullptr) {
        return FALSE;
    }
    // The source's pending drawing is flushed before the destination view opens (it may be the
    // same surface).
    const platform::ConstPixelRows from = platform::PixelRowsOf(sourceSurface);
    PixelSurface to(destSurface);
    if (!to.Valid() || from.Empty()) {
        return FALSE;
    }

    const std::int64_t offsetX = std::int64_t{sourceX} - x;
    const std::int64_t offsetY = std::int64_t{sourceY} - y;
    const Range columns = ClipRange(x, cx, offsetX, to.Width(), from.width);
    const Range rows = ClipRange(y, cy, offsetY, to.Height(), from.height);
    if (columns.begin == columns.end || rows.begin == rows.end) {
        return TRUE;
    }
    const auto rowBytes = static_cast<std::size_t>(columns.end - columns.begin) * 4;
    to.MarkWritten();
    if (offsetX == 0 && rowBytes == static_cast<std::size_t>(to.Stride()) &&
        from.stride == to.Stride()) {
        // Whole rows laid out alike (a frame copied whole): one block, which memmove moves
        // right even where source and destination overlap.
        std::memmove(to.Row(static_cast<int>(rows.begin)),
                     from.Row(static_cast<int>(rows.begin + offsetY)),
                     rowBytes * static_cast<std::size_t>(rows.end - rows.begin));
        return TRUE;
    }
    // Within one surface the two parts may overlap: copying downwards goes bottom-up, so no row
    // is read after it was overwritten.
    const bool bottomUp = sourceSurface == destSurface && offsetY < 0;
    for (std::int64_t i = 0; i < rows.end - rows.begin; ++i) {
        const auto row = static_cast<int>(bottomUp ? rows.end - 1 - i : rows.begin + i);
        std::memmove(to.Row(row) + columns.begin,
                     from.Row(static_cast<int>(row + offsetY)) + columns.begin + offsetX, rowBytes);
    }
    return TRUE;
}
