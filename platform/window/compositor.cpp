// Composing the screen: black where no window is, then every visible top-level window with its
// caption, its client pixels and its children inside its client area, each only where no
// top-level window above it paints. Every surface the platform makes is an RGB24 image, so a
// window's pixels are copied as they are; the captions are drawn with cairo.
#include "platform/window/compositor.h"

#include <algorithm>

#include "platform/window/chrome.h"
#include "platform/window/desktop.h"
#include "platform/window/rect_math.h"

namespace platform::detail {

std::vector<RECT> Subtract(const std::vector<RECT>& from, const RECT& hole) {
    std::vector<RECT> out;
    for (const RECT& part : from) {
        const RECT cut = Intersect(part, hole);
        if (IsEmpty(cut)) {
            out.push_back(part);
            continue;
        }
        const RECT pieces[] = {{part.left, part.top, part.right, cut.top},
                               {part.left, cut.bottom, part.right, part.bottom},
                               {part.left, cut.top, cut.left, cut.bottom},
                               {cut.right, cut.top, part.right, cut.bottom}};
        for (const RECT& piece : pieces) {
            if (!IsEmpty(piece)) {
                out.push_back(piece);
            }
        }
    }
    return out;
}

std::vector<std::vector<RECT>> VisibleParts(const std::vector<Layer>& layers, const RECT& screen) {
    std::vector<std::vector<RECT>> visible(layers.size());
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const RECT onScreen = Intersect(layers[i].bounds, screen);
        if (IsEmpty(onScreen)) {
            continue;
        }
        std::vector<RECT> parts{onScreen};
        for (std::size_t above = i + 1; above < layers.size() && !parts.empty(); ++above) {
            parts = Subtract(parts, layers[above].opaque);
        }
        visible[i] = std::move(parts);
    }
    return visible;
}

std::vector<RECT> Uncovered(const std::vector<Layer>& layers, const RECT& screen) {
    std::vector<RECT> open{screen};
    for (const Layer& layer : layers) {
        open = Subtract(open, layer.opaque);
    }
    return open;
}

void CopyArea(ConstPixelRows source, POINT origin, RECT area, PixelRows screen,
              ScreenDamage& changed) {
    const RECT placed{origin.x, origin.y, origin.x + source.width, origin.y + source.height};
    area = Intersect(Intersect(area, placed), {0, 0, screen.width, screen.height});
    for (int y = area.top; y < area.bottom; ++y) {
        const auto [begin, end] =
            CopyChangedWords(source.Row(y - origin.y) + (area.left - origin.x),
                             screen.Row(y) + area.left, area.right - area.left);
        changed.Add(y, area.left + begin, area.left + end);
    }
}

void FillArea(PixelRows screen, RECT area, std::uint32_t pixel, ScreenDamage& changed) {
    area = Intersect(area, {0, 0, screen.width, screen.height});
    for (int y = area.top; y < area.bottom; ++y) {
        const auto [begin, end] =
            FillChangedWords(screen.Row(y) + area.left, area.right - area.left, pixel);
        changed.Add(y, area.left + begin, area.left + end);
    }
}

SurfacePtr Desktop::ComposeScreen() {
    SurfacePtr screen = MakeImageSurface(screen_.width, screen_.height);
    if (screen) {
        ScreenDamage unused(screen_.width, screen_.height);
        ComposeInto(screen.get(), unused);
    }
    return screen;
}

std::vector<Layer> Desktop::Layers() const {
    std::vector<Layer> layers;
    for (HWND handle : tree_.TopLevels()) {
        const Window* window = Find(handle);
        if (window == nullptr || !window->visible) {
            layers.push_back({});  // covers nothing
            continue;
        }
        const RECT bounds = tree_.ScreenRect(*window);
        RECT opaque = bounds;
        // A window with pixels of its own paints all of itself, caption and client; one without
        // paints only its caption.
        if (!window->surface && window->ClientHeight() > 0) {
            opaque.bottom = opaque.top + window->captionHeight;
        }
        layers.push_back({bounds, opaque});
    }
    return layers;
}

void Desktop::ComposeInto(cairo_surface_t* screen, ScreenDamage& changed) {
    const PixelRows rows = PixelRowsOf(screen);
    if (rows.Empty()) {
        return;
    }
    const RECT wholeScreen{0, 0, rows.width, rows.height};
    const std::vector<Layer> layers = Layers();
    for (const RECT& part : Uncovered(layers, wholeScreen)) {
        FillArea(rows, part, 0, changed);
    }
    cairo_surface_mark_dirty(screen);
    CairoPtr cr(cairo_create(screen));
    const std::vector<std::vector<RECT>> visible = VisibleParts(layers, wholeScreen);
    const std::vector<HWND>& tops = tree_.TopLevels();
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (const Window* window = Find(tops[i]); window != nullptr && !visible[i].empty()) {
            ComposeWindow(*window, wholeScreen, visible[i], {cr.get(), changed});
        }
    }
    cairo_surface_flush(screen);
}

void Desktop::ComposeWindow(const Window& window, const RECT& clip, const std::vector<RECT>& parts,
                            const Composing& into) {
    cairo_t* cr = into.cr;
    if (!window.visible) {
        return;
    }
    const RECT outer = tree_.ScreenRect(window);
    const RECT shown = Intersect(clip, outer);
    if (window.captionHeight > 0) {
        cairo_save(cr);
        for (const RECT& part : parts) {
            const RECT area = Intersect(shown, part);
            cairo_rectangle(cr, area.left, area.top, area.right - area.left,
                            area.bottom - area.top);
        }
        cairo_clip(cr);
        chrome::DrawCaption(cr, window, outer, metrics_);
        cairo_restore(cr);
        // Drawn with cairo, not compared: all of it counts as changed.
        for (const RECT& part : parts) {
            into.changed.Add(Intersect(shown, part));
        }
    }
    const POINT origin = tree_.ClientOrigin(window);
    const RECT client{origin.x, origin.y, origin.x + window.ClientWidth(),
                      origin.y + window.ClientHeight()};
    const RECT inside = Intersect(shown, client);
    cairo_surface_t* screen = cairo_get_target(cr);
    if (const ConstPixelRows source = PixelRowsOf(window.surface.get()); !source.Empty()) {
        const PixelRows rows = PixelRowsOf(screen);
        for (const RECT& part : parts) {
            CopyArea(source, origin, Intersect(inside, part), rows, into.changed);
        }
        cairo_surface_mark_dirty_rectangle(screen, inside.left, inside.top,
                                           inside.right - inside.left, inside.bottom - inside.top);
    }
    for (HWND child : window.children) {
        if (const Window* c = Find(child)) {
            ComposeWindow(*c, inside, parts, into);
        }
    }
}

}  // namespace platform::detail
