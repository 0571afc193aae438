// Composing the screen: every visible top-level window from the bottom of the z-order up, each
// with its caption, its client pixels and its children inside its client area.
#include <algorithm>
#include <functional>

#include "platform/window/chrome.h"
#include "platform/window/desktop.h"

namespace platform::detail {

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

    std::function<void(const Window&)> draw = [&](const Window& window) {
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
        if (window.surface) {
            cairo_set_source_surface(cr.get(), window.surface.get(), origin.x, origin.y);
            cairo_paint(cr.get());
        }
        for (HWND child : window.children) {
            if (const Window* c = Find(child)) {
                draw(*c);
            }
        }
        cairo_restore(cr.get());
    };
    for (HWND handle : tree_.TopLevels()) {
        if (const Window* window = Find(handle)) {
            draw(*window);
        }
    }
    cr.reset();
    cairo_surface_flush(screen);
}

}  // namespace platform::detail
