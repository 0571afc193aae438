#include "platform/window/window_surface.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/gdi/image_memory.h"
#include "platform/gdi/pixel_rows.h"

namespace platform::detail {
namespace {

// A window whose rows stay where they are (the same width, and room for the new height): only
// the image over them is new. Rows it uncovers start black, whatever an earlier, taller size
// left there. Finishing the old image leaves anything that still holds it unable to draw.
void ReuseRows(Window& window, int width, int height, int stride) {
    const int oldHeight = cairo_image_surface_get_height(window.surface.get());
    cairo_surface_finish(window.surface.get());
    window.surface.reset();
    window.surface = MakeImageSurfaceOver(window.pixels.get(), width, height, stride);
    if (window.surface && height > oldHeight) {
        const PixelRows rows = PixelRowsOf(window.surface.get());
        for (int y = oldHeight; y < height; ++y) {
            std::fill(rows.Row(y), rows.Row(y) + width, 0u);
        }
        cairo_surface_mark_dirty(window.surface.get());
    }
}

// New memory, zeroed by the allocator, with the old pixels copied where they were; uncovered
// pixels start black until painted, and a window resized before its first paint has nothing to
// keep. A top-level window gets room for the screen's height, which it may well grow to; the
// pages of the rows it has now are mapped at once, as they are about to be painted, and the
// rest only if it grows (a soft-key bar never does).
void MoveToNewRows(Window& window, int width, int height, int stride, int screenHeight) {
    const std::size_t needed = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    std::size_t capacity = needed;
    if (!window.IsChild() && height < screenHeight) {
        capacity = static_cast<std::size_t>(stride) * static_cast<std::size_t>(screenHeight);
    }
    std::unique_ptr<unsigned char, FreeRelease> pixels(
        static_cast<unsigned char*>(std::calloc(capacity, 1)));
    if (pixels) {
        MapPagesNow(pixels.get(), needed);
    }
    SurfacePtr fresh = pixels ? MakeImageSurfaceOver(pixels.get(), width, height, stride) : nullptr;
    if (!fresh) {
        window.surface.reset();
        window.pixels.reset();
        window.pixelCapacity = 0;
        return;
    }
    if (cairo_surface_t* old = window.surface.get()) {
        if (window.surfaceDrawn) {
            const ConstPixelRows from = PixelRowsOf(old);
            const PixelRows to = PixelRowsOf(fresh.get());
            const auto rowBytes = static_cast<std::size_t>(std::min(width, from.width)) * 4;
            for (int y = 0; y < std::min(height, from.height); ++y) {
                std::memcpy(to.Row(y), from.Row(y), rowBytes);
            }
            cairo_surface_mark_dirty(fresh.get());
        }
        // The old image goes before the memory under it.
        cairo_surface_finish(old);
    }
    window.surface = std::move(fresh);
    window.pixels = std::move(pixels);
    window.pixelCapacity = capacity;
}

}  // namespace

void FitSurface(Window& window, int screenHeight) {
    if (window.paintsOpen > 0) {
        window.resizePending = true;
        return;
    }
    window.resizePending = false;
    const int width = window.ClientWidth();
    const int height = window.ClientHeight();
    cairo_surface_t* old = window.surface.get();
    if (old != nullptr && cairo_image_surface_get_width(old) == width &&
        cairo_image_surface_get_height(old) == height) {
        return;
    }
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    if (width <= 0 || height <= 0 || stride <= 0) {
        window.surface.reset();
        return;
    }
    const std::size_t needed = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    if (old != nullptr && cairo_image_surface_get_width(old) == width &&
        needed <= window.pixelCapacity) {
        ReuseRows(window, width, height, stride);
    } else {
        MoveToNewRows(window, width, height, stride, screenHeight);
    }
}

}  // namespace platform::detail
