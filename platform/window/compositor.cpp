// Composing the screen: every visible top-level window from the bottom of the z-order up, each
// with its caption, its client pixels and its children inside its client area.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>

#include "platform/gdi/changed_copy.h"
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
// screen, row by row: a window's pixels are opaque, so composing them is copying, which cairo
// does several times slower for a whole screen. Only what differs from the screen's pixels is
// written, and noted in `damage`. Both are RGB24 images; `clip` lies inside the screen.
void CopyRows(cairo_surface_t* source, POINT origin, RECT clip, cairo_surface_t* screen,
              ScreenDamage& damage) {
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
    const int words = clip.right - clip.left;
    for (int y = clip.top; y < clip.bottom; ++y) {
        const ChangedSpan span =
            CopyChanged(reinterpret_cast<const std::uint32_t*>(
                            from + static_cast<std::ptrdiff_t>(y - origin.y) * fromStride +
                            (clip.left - origin.x) * 4),
                        reinterpret_cast<std::uint32_t*>(
                            to + static_cast<std::ptrdiff_t>(y) * toStride + clip.left * 4),
                        words);
        damage.Add(y, clip.left + span.begin, clip.left + span.end);
    }
    cairo_surface_mark_dirty_rectangle(screen, clip.left, clip.top, clip.right - clip.left,
                                       clip.bottom - clip.top);
}

// `from` less `hole`: up to four rectangles.
void Subtract(const RECT& from, const RECT& hole, std::vector<RECT>& out) {
    const RECT cut = Intersect(from, hole);
    if (IsEmpty(cut)) {
        out.push_back(from);
        return;
    }
    const RECT parts[] = {{from.left, from.top, from.right, cut.top},
                          {from.left, cut.bottom, from.right, from.bottom},
                          {from.left, cut.top, cut.left, cut.bottom},
                          {cut.right, cut.top, from.right, cut.bottom}};
    for (const RECT& part : parts) {
        if (!IsEmpty(part)) {
            out.push_back(part);
        }
    }
}

}  // namespace

SurfacePtr Desktop::ComposeScreen() {
    SurfacePtr screen = MakeImageSurface(screen_.width, screen_.height);
    if (screen) {
        ScreenDamage damage(screen_.width, screen_.height);
        ComposeInto(screen.get(), damage);
    }
    return screen;
}

std::vector<RECT> Desktop::Uncovered() const {
    // The client areas of shown top-level windows with pixels of their own are painted whole;
    // the rest of the screen is black. A game has its window and its menu bar over all of it.
    std::vector<RECT> open{{0, 0, screen_.width, screen_.height}};
    std::vector<RECT> next;
    for (HWND handle : tree_.TopLevels()) {
        const Window* window = Find(handle);
        if (window == nullptr || !window->visible || !window->surface) {
            continue;
        }
        const POINT origin = tree_.ClientOrigin(*window);
        const RECT client{origin.x, origin.y, origin.x + window->ClientWidth(),
                          origin.y + window->ClientHeight()};
        next.clear();
        for (const RECT& part : open) {
            Subtract(part, client, next);
        }
        open.swap(next);
    }
    return open;
}

void Desktop::ComposeInto(cairo_surface_t* screen, ScreenDamage& damage) {
    const bool copyable = IsRgb24Image(screen);
    // Black where no window is.
    const std::vector<RECT> uncovered = Uncovered();
    if (copyable && !uncovered.empty()) {
        cairo_surface_flush(screen);
        unsigned char* data = cairo_image_surface_get_data(screen);
        const int stride = cairo_image_surface_get_stride(screen);
        for (const RECT& part : uncovered) {
            for (int y = part.top; y < part.bottom; ++y) {
                auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) *
                                                                        stride) +
                            part.left;
                const ChangedSpan span = FillChanged(row, part.right - part.left, 0);
                damage.Add(y, part.left + span.begin, part.left + span.end);
            }
        }
        cairo_surface_mark_dirty(screen);
    }
    CairoPtr cr(cairo_create(screen));
    if (!copyable) {
        cairo_set_source_rgb(cr.get(), 0, 0, 0);
        for (const RECT& part : uncovered) {
            cairo_rectangle(cr.get(), part.left, part.top, part.right - part.left,
                            part.bottom - part.top);
            damage.Add(part);
        }
        cairo_fill(cr.get());
    }

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
            damage.Add(Intersect(clip, outer));
        }
        POINT origin = tree_.ClientOrigin(window);
        cairo_rectangle(cr.get(), origin.x, origin.y, window.ClientWidth(), window.ClientHeight());
        cairo_clip(cr.get());
        const RECT client{origin.x, origin.y, origin.x + window.ClientWidth(),
                          origin.y + window.ClientHeight()};
        const RECT inside = Intersect(Intersect(clip, outer), client);
        if (window.surface) {
            if (copyable && IsRgb24Image(window.surface.get())) {
                CopyRows(window.surface.get(), origin, inside, screen, damage);
            } else {
                cairo_set_source_surface(cr.get(), window.surface.get(), origin.x, origin.y);
                cairo_paint(cr.get());
                damage.Add(inside);
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
