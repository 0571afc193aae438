// Composing the screen: every visible top-level window from the bottom of the z-order up, each
// with its caption, its client pixels and its children inside its client area.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>

#include "platform/window/chrome.h"
#include "platform/window/desktop.h"
#include "platform/window/rect_math.h"

namespace platform::detail {
namespace {

bool IsRgb24Image(cairo_surface_t* surface) {
    return cairo_surface_get_type(surface) == CAIRO_SURFACE_TYPE_IMAGE &&
           cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
}

// Copies the part inside `clip` of `source`, whose top left pixel goes to `origin` on the
// screen: a window's pixels are opaque, so composing them is copying, which cairo
// does several times slower for a whole screen. Both are RGB24 images; `clip` lies inside the
// screen.
void CopyRows(cairo_surface_t* source, POINT origin, RECT clip, cairo_surface_t* screen) {
    const RECT placed{origin.x, origin.y, origin.x + cairo_image_surface_get_width(source),
                      origin.y + cairo_image_surface_get_height(source)};
    clip = Intersect(clip, placed);
    if (IsEmpty(clip)) {
        return;
    }
    cairo_surface_flush(source);
    cairo_surface_flush(screen);
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(screen);
    const int fromStride = cairo_image_surface_get_stride(source);
    const int toStride = cairo_image_surface_get_stride(screen);
    const std::size_t rowBytes = static_cast<std::size_t>(clip.right - clip.left) * 4;
    if (clip.left == 0 && origin.x == 0 && fromStride == toStride &&
        rowBytes == static_cast<std::size_t>(toStride)) {
        // Whole rows of the same layout on both sides: one block, copied at once.
        std::memcpy(to + static_cast<std::ptrdiff_t>(clip.top) * toStride,
                    from + static_cast<std::ptrdiff_t>(clip.top - origin.y) * fromStride,
                    rowBytes * static_cast<std::size_t>(clip.bottom - clip.top));
    } else {
        for (int y = clip.top; y < clip.bottom; ++y) {
            std::memcpy(to + static_cast<std::ptrdiff_t>(y) * toStride + clip.left * 4,
                        from + static_cast<std::ptrdiff_t>(y - origin.y) * fromStride +
                            (clip.left - origin.x) * 4,
                        rowBytes);
        }
    }
    cairo_surface_mark_dirty_rectangle(screen, clip.left, clip.top, clip.right - clip.left,
                                       clip.bottom - clip.top);
}

}  // namespace

SurfacePtr Desktop::ComposeScreen() {
    SurfacePtr screen = MakeImageSurface(screen_.width, screen_.height);
    if (screen) {
        ComposeInto(screen.get());
    }
    return screen;
}

bool Desktop::CoversScreen(const Window& window) const {
    const RECT r = tree_.ScreenRect(window);
    return window.visible && window.captionHeight == 0 && window.surface && r.left <= 0 &&
           r.top <= 0 && r.right >= screen_.width && r.bottom >= screen_.height;
}

void Desktop::ComposeInto(cairo_surface_t* screen) {
    CairoPtr cr(cairo_create(screen));
    // Black where no window is; not needed under a window that covers the whole screen, which is
    // what a full-screen game has all the time.
    const bool covered = std::any_of(tree_.TopLevels().begin(), tree_.TopLevels().end(),
                                     [&](HWND h) { return CoversScreen(*Find(h)); });
    if (!covered) {
        cairo_set_source_rgb(cr.get(), 0, 0, 0);
        cairo_paint(cr.get());
    }

    const bool copyable = IsRgb24Image(screen);
    // `clip`: what the window's parents leave visible of the screen, the same area as the cairo
    // clip; a window draws only there.
    std::function<void(const Window&, const RECT&)> draw = [&](const Window& window,
                                                               const RECT& clip) {
        if (!window.visible) {
            return;
        }
        cairo_save(cr.get());
        RECT outer = tree_.ScreenRect(window);
        cairo_rectangle(cr.get(), outer.left, outer.top, outer.right - outer.left,
                        outer.bottom - outer.top);
        cairo_clip(cr.get());
        if (window.captionHeight > 0) {
            chrome::DrawCaption(cr.get(), window, outer, metrics_);
        }
        POINT origin = tree_.ClientOrigin(window);
        cairo_rectangle(cr.get(), origin.x, origin.y, window.ClientWidth(), window.ClientHeight());
        cairo_clip(cr.get());
        const RECT client{origin.x, origin.y, origin.x + window.ClientWidth(),
                          origin.y + window.ClientHeight()};
        const RECT inside = Intersect(Intersect(clip, outer), client);
        if (window.surface) {
            if (copyable && IsRgb24Image(window.surface.get())) {
                CopyRows(window.surface.get(), origin, inside, screen);
            } else {
                cairo_set_source_surface(cr.get(), window.surface.get(), origin.x, origin.y);
                cairo_paint(cr.get());
            }
        }
        for (HWND child : window.children) {
            if (const Window* c = Find(child)) {
                draw(*c, inside);
            }
        }
        cairo_restore(cr.get());
    };
    const RECT wholeScreen{0, 0, screen_.width, screen_.height};
    for (HWND handle : tree_.TopLevels()) {
        if (const Window* window = Find(handle)) {
            draw(*window, wholeScreen);
        }
    }
    cr.reset();
    cairo_surface_flush(screen);
}

}  // namespace platform::detail
