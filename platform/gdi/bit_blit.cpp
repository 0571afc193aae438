// Copies between device contexts. A frame is two whole-surface copies of pictures that mostly
// hold what they are given already (the background over the last frame, the new frame over the
// window's last one), so the copy works on rows of words directly and writes only the part of
// each row that differs.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/gdi/changed_copy.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/pixel_surface.h"
#include "platform/gdi/surface_changes.h"

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
    // The copy notes its own changes, row by row.
    cairo_surface_t* destSurface = registry.PixelsOf(*dest);
    cairo_surface_t* sourceSurface = registry.PixelsOf(*source);
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

    if (sourceSurface == destSurface) {
        // Within one surface the two parts may overlap: copying downwards goes bottom-up, so no
        // row is read after it was overwritten, and each row is moved as a whole.
        platform::NoteAnyChange(destSurface);
        const bool downwards = offsetY < 0;
        for (std::int64_t i = 0; i < rows.end - rows.begin; ++i) {
            const std::int64_t row = downwards ? rows.end - 1 - i : rows.begin + i;
            std::memmove(destRow(row), sourceRow(row), rowBytes);
        }
        to.MarkWritten();
        return TRUE;
    }
    // Copies columns [left, right) of a row where they differ, and notes what it wrote.
    const auto copyRow = [&](std::int64_t row, std::int64_t left, std::int64_t right) {
        left = std::max(left, columns.begin);
        right = std::min(right, columns.end);
        if (row < rows.begin || row >= rows.end || left >= right) {
            return;
        }
        const std::int64_t skip = left - columns.begin;
        const platform::ChangedSpan span = platform::CopyChanged(
            reinterpret_cast<const std::uint32_t*>(sourceRow(row)) + skip,
            reinterpret_cast<std::uint32_t*>(destRow(row)) + skip, static_cast<int>(right - left));
        if (!span.Empty()) {
            platform::NoteChangedRow(destSurface, static_cast<int>(row),
                                     static_cast<int>(left) + span.begin,
                                     static_cast<int>(left) + span.end);
        }
    };
    // A part copied to the same place again (the background over the last frame, the frame over
    // the window): only where either was drawn into since the last such copy can differ.
    const bool inPlace = offsetX == 0 && offsetY == 0;
    const platform::CopiedArea area{static_cast<int>(columns.begin), static_cast<int>(rows.begin),
                                    static_cast<int>(columns.end), static_cast<int>(rows.end)};
    const std::optional<std::vector<platform::ChangedRow>> differ =
        inPlace ? platform::DifferencesFromOriginal(destSurface, sourceSurface, area)
                : std::nullopt;
    if (differ) {
        for (const platform::ChangedRow& row : *differ) {
            copyRow(row.y, row.left, row.right);
        }
    } else {
        for (std::int64_t row = rows.begin; row < rows.end; ++row) {
            copyRow(row, columns.begin, columns.end);
        }
    }
    if (inPlace) {
        platform::NoteCopyOf(destSurface, sourceSurface, area);
    }
    to.MarkWritten();
    return TRUE;
}
