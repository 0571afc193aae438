// Composing the screen: every visible top-level window from the bottom of the z-order up, each
// with its caption, its client pixels and its children inside its client area.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

#include "platform/gdi/changed_copy.h"
#include "platform/gdi/surface_changes.h"
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
// screen: a window's pixels are opaque, so composing them is copying, which cairo does several
// times slower for a whole screen. Over a screen that holds the last one (`compare`), only what
// differs is written; otherwise all of it, whole rows of the same layout as one block (on the
// web page each large copy is a trip out to the page's script). What was written is noted in
// `damage`. Both are RGB24 images; `clip` lies inside the screen.
void CopyRows(cairo_surface_t* source, POINT origin, RECT clip, cairo_surface_t* screen,
              bool compare, ScreenDamage& damage) {
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
    const std::size_t rowBytes = static_cast<std::size_t>(words) * 4;
    if (!compare) {
        if (clip.left == 0 && origin.x == 0 && fromStride == toStride &&
            rowBytes == static_cast<std::size_t>(toStride)) {
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
        damage.Add(clip);
        cairo_surface_mark_dirty_rectangle(screen, clip.left, clip.top, words,
                                           clip.bottom - clip.top);
        return;
    }
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

// Copies the rows that `changes` lists of `source` (the rows drawn into since the screen last
// had them), as CopyRows does.
void CopyChangedRows(cairo_surface_t* source, POINT origin, RECT clip,
                     const std::vector<ChangedRow>& changes, cairo_surface_t* screen,
                     ScreenDamage& damage) {
    const unsigned char* from = cairo_image_surface_get_data(source);
    unsigned char* to = cairo_image_surface_get_data(screen);
    const int fromStride = cairo_image_surface_get_stride(source);
    const int toStride = cairo_image_surface_get_stride(screen);
    for (const ChangedRow& row : changes) {
        const int y = origin.y + row.y;
        const int left = std::max<int>(origin.x + row.left, clip.left);
        const int right = std::min<int>(origin.x + row.right, clip.right);
        if (y < clip.top || y >= clip.bottom || left >= right) {
            continue;
        }
        const ChangedSpan span = CopyChanged(
            reinterpret_cast<const std::uint32_t*>(
                from + static_cast<std::ptrdiff_t>(row.y) * fromStride + (left - origin.x) * 4),
            reinterpret_cast<std::uint32_t*>(to + static_cast<std::ptrdiff_t>(y) * toStride +
                                             left * 4),
            right - left);
        damage.Add(y, left + span.begin, left + span.end);
    }
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const RECT& x, const RECT& y) {
        return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
    });
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
        ComposeInto(screen.get(), damage, false);
    }
    return screen;
}

RECT Desktop::OpaqueArea(const Window& window) const {
    if (!window.visible) {
        return {0, 0, 0, 0};
    }
    RECT outer = tree_.ScreenRect(window);
    // A window with pixels of its own paints all of itself, caption and client; one without
    // paints only its caption.
    if (!window.surface && window.ClientHeight() > 0) {
        outer.bottom = outer.top + window.captionHeight;
    }
    return outer;
}

std::vector<RECT> Desktop::Uncovered() const {
    std::vector<RECT> open{{0, 0, screen_.width, screen_.height}};
    std::vector<RECT> next;
    for (HWND handle : tree_.TopLevels()) {
        if (const Window* window = Find(handle)) {
            const RECT opaque = OpaqueArea(*window);
            next.clear();
            for (const RECT& part : open) {
                Subtract(part, opaque, next);
            }
            open.swap(next);
        }
    }
    return open;
}

void Desktop::ComposeInto(cairo_surface_t* screen, ScreenDamage& damage, bool incremental) {
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
                if (incremental) {
                    const ChangedSpan span = FillChanged(row, part.right - part.left, 0);
                    damage.Add(y, part.left + span.begin, part.left + span.end);
                } else {
                    std::fill(row, row + (part.right - part.left), 0u);
                    damage.Add(y, part.left, part.right);
                }
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

    // Each top-level window (with its children) draws only where no top-level window above it
    // lies: every pixel of the screen is written by one window at most, so a window whose part
    // of the screen is what it was last time needs only the rows drawn into it since copied,
    // when the screen is the one composed last time (the back end's own, written by nothing
    // else).
    const bool sameScreen = incremental && screen == composedScreen_;
    std::map<HWND, ComposedWindow> lastParts;
    if (incremental) {
        lastParts.swap(composedParts_);
        composedScreen_ = screen;
    }
    const RECT wholeScreen{0, 0, screen_.width, screen_.height};
    const std::vector<HWND>& tops = tree_.TopLevels();
    std::vector<std::vector<RECT>> visibleParts(tops.size());
    std::vector<RECT> above;
    for (std::size_t i = tops.size(); i-- > 0;) {
        const Window* window = Find(tops[i]);
        if (window == nullptr || !window->visible) {
            continue;
        }
        std::vector<RECT> parts{Intersect(tree_.ScreenRect(*window), wholeScreen)};
        std::vector<RECT> next;
        for (const RECT& hole : above) {
            next.clear();
            for (const RECT& part : parts) {
                Subtract(part, hole, next);
            }
            parts.swap(next);
        }
        visibleParts[i] = std::move(parts);
        above.push_back(OpaqueArea(*window));
    }

    // `clip`: what the window's parents leave visible of the screen; `parts`: what the windows
    // above its top-level window leave of that. A window draws only there.
    std::function<void(const Window&, const RECT&, const std::vector<RECT>&)> draw =
        [&](const Window& window, const RECT& clip, const std::vector<RECT>& parts) {
            if (!window.visible || parts.empty()) {
                return;
            }
            cairo_save(cr.get());
            for (const RECT& part : parts) {
                cairo_rectangle(cr.get(), part.left, part.top, part.right - part.left,
                                part.bottom - part.top);
            }
            cairo_clip(cr.get());
            RECT outer = tree_.ScreenRect(window);
            cairo_rectangle(cr.get(), outer.left, outer.top, outer.right - outer.left,
                            outer.bottom - outer.top);
            cairo_clip(cr.get());
            if (window.captionHeight > 0) {
                chrome::DrawCaption(cr.get(), window, outer, metrics_);
                for (const RECT& part : parts) {
                    damage.Add(Intersect(Intersect(clip, outer), part));
                }
            }
            POINT origin = tree_.ClientOrigin(window);
            cairo_rectangle(cr.get(), origin.x, origin.y, window.ClientWidth(),
                            window.ClientHeight());
            cairo_clip(cr.get());
            const RECT client{origin.x, origin.y, origin.x + window.ClientWidth(),
                              origin.y + window.ClientHeight()};
            const RECT inside = Intersect(Intersect(clip, outer), client);
            if (window.surface && copyable && IsRgb24Image(window.surface.get())) {
                const bool alone = window.parent == nullptr && window.children.empty();
                const auto last = lastParts.find(window.handle);
                std::optional<std::vector<ChangedRow>> changes;
                if (alone && sameScreen && last != lastParts.end() &&
                    SameRects(last->second.parts, parts)) {
                    changes = ChangesSince(window.surface.get(), last->second.standing);
                }
                const bool asBefore = changes.has_value();
                for (const RECT& part : parts) {
                    const RECT area = Intersect(inside, part);
                    if (asBefore) {
                        CopyChangedRows(window.surface.get(), origin, area, *changes, screen,
                                        damage);
                    } else {
                        CopyRows(window.surface.get(), origin, area, screen, incremental, damage);
                    }
                }
                if (alone && incremental) {
                    composedParts_[window.handle] = {parts, Track(window.surface.get())};
                }
            } else if (window.surface) {
                cairo_set_source_surface(cr.get(), window.surface.get(), origin.x, origin.y);
                cairo_paint(cr.get());
                for (const RECT& part : parts) {
                    damage.Add(Intersect(inside, part));
                }
            }
            for (HWND child : window.children) {
                if (const Window* c = Find(child)) {
                    draw(*c, inside, parts);
                }
            }
            cairo_restore(cr.get());
        };
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (const Window* window = Find(tops[i])) {
            draw(*window, wholeScreen, visibleParts[i]);
        }
    }
    cr.reset();
    cairo_surface_flush(screen);
}

}  // namespace platform::detail
