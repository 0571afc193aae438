// Copies between device contexts. A frame is two whole-surface copies, so the copy works on rows
// of words directly and a copy of whole same-layout surfaces is one block move.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
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
    cairo_surface_t* destSurface = registry.SurfaceOf(*dest);
    cairo_surface_t* sourceSurface = registry.SurfaceOf(*source);
    if (destSurface == nullptr || sourceSurface == nullptr) {
        return FALSE;
    }
    // Flush the source before the destination view opens (it may be the same surface).
    if (sourceSurface != destSurface) {
        cairo_surface_flush(sourceSurface);
    }
    PixelSurface to(destSurface);
    if (!to.Valid() || !platform::gdi_detail::IsDrawableSurface(sourceSurface)) {
        return FALSE;
    }
    const int sourceWidth = cairo_image_surface_get_width(sourceSurface);
    const int sourceHeight = cairo_image_surface_get_height(sourceSurface);
    const int sourceStride = cairo_image_surface_get_stride(sourceSurface);
    const unsigned char* sourceData = cairo_image_surface_get_data(sourceSurface);
    if (sourceData == nullptr) {
        return FALSE;
    }

    const std::int64_t offsetX = std::int64_t{sourceX} - x;
    const std::int64_t offsetY = std::int64_t{sourceY} - y;
    const Range columns = ClipRange(x, cx, offsetX, to.Width(), sourceWidth);
    const Range rows = ClipRange(y, cy, offsetY, to.Height(), sourceHeight);
    if (columns.begin == columns.end || rows.begin == rows.end) {
        return TRUE;
    }
    const auto rowBytes = static_cast<std::size_t>(columns.end - columns.begin) * 4;
    const auto sourceRow = [&](std::int64_t destY) {
        return sourceData + (destY + offsetY) * sourceStride + (columns.begin + offsetX) * 4;
    };
    const auto destRow = [&](std::int64_t destY) {
        return reinterpret_cast<unsigned char*>(to.Row(static_cast<int>(destY)) + columns.begin);
    };

    const bool wholeRows = columns.begin == 0 && offsetX == 0 && columns.end == to.Width() &&
                           to.Width() == sourceWidth &&
                           cairo_image_surface_get_stride(destSurface) == sourceStride;
    if (wholeRows) {
        // Same layout, full width: the rows are one contiguous block on both sides.
        std::memmove(destRow(rows.begin), sourceRow(rows.begin),
                     static_cast<std::size_t>(rows.end - rows.begin) * sourceStride);
    } else if (sourceSurface == destSurface && offsetY < 0) {
        // Copying downwards within one surface: go bottom-up so no row is read after it was
        // overwritten.
        for (std::int64_t row = rows.end - 1; row >= rows.begin; --row) {
            std::memmove(destRow(row), sourceRow(row), rowBytes);
        }
    } else {
        for (std::int64_t row = rows.begin; row < rows.end; ++row) {
            std::memmove(destRow(row), sourceRow(row), rowBytes);
        }
    }
    to.MarkWritten();
    return TRUE;
}
