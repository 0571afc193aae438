// What the screen shows: when to compose it, composing it, and handing it to the back end. This
// is where a frame ends; the whole of one, and of a pointer move, is below. Files are of
// platform/ unless named otherwise; the back end named is the SDL one.
//
// One tick of the game, from the timer to the pixels (10 files, 11 when the picture is scaled;
// the drawing's own in gdi/ apart):
//  1. The game's first paint sets its timer: SetTimer (window_api.cpp) -> TimerTable::Set
//     (timer_table.cpp). Timers are never queued.
//  2. WinMain's GetMessageW (window_api.cpp) calls Desktop::Fetch (message_loop.cpp), which takes
//     posted messages, then the quit request, then input, then a paint, then a due timer: here
//     Desktop::TakeTimer -> TimerTable::TakeDue makes the WM_TIMER. With nothing due Fetch
//     presents (step 6) and sleeps in Backend::WaitForInput until the timer's deadline.
//  3. DispatchMessageW (window_api.cpp) -> Desktop::Dispatch -> Desktop::Send (message_loop.cpp)
//     call the game's window procedure (app/main_window.cpp), which runs the tick and calls
//     InvalidateRect (window_api.cpp) -> Desktop::Invalidate (desktop.cpp): the window's invalid
//     rectangle grows. Nothing is queued.
//  4. The next Fetch finds the invalid window (FindPaint, message_loop.cpp) and makes a WM_PAINT.
//     The game's OnPaint calls BeginPaint (default_window_proc.cpp) -> Desktop::BeginSurfacePaint
//     (desktop.cpp), which validates the window, and gets a DC over the window's client pixels,
//     an RGB24 cairo image (Window::surface) from CreateSurfaceDC (gdi/surface_dc.cpp).
//     PaintFrame (render/) draws into it with BitBlt and the figures (gdi/): they write pixels
//     and nothing else; no layer below the screen keeps a record of where it wrote.
//  5. EndPaint (default_window_proc.cpp) -> Desktop::EndSurfacePaint (desktop.cpp) tells
//     ShownScreen the pixels were painted: the one place the screen is marked as changed.
//     Moving, showing, hiding, raising or destroying a window marks nothing: ShownScreen compares
//     the windows' places, order and caption buttons (SceneOf) with those composed last.
//  6. With no message left, Fetch calls Desktop::PresentIfChanged, below. It borrows the back
//     end's screen (Backend::ScreenBuffer), which still holds the screen shown last, and composes
//     the new one over it (Desktop::ComposeInto): black where no window is, then each top-level
//     window's visible parts (VisibleParts, using window_tree.cpp for places): its caption drawn
//     into an image of its own and its client pixels, each copied row by row (CopyArea), and its
//     children inside it. The copy and the fill write only from the first pixel of a row that
//     differs to the last (CopyChangedWords, FillChangedWords in screen_damage.cpp) and note
//     those spans in the frame's ScreenDamage, the one record of what changed anywhere in the
//     platform. It cannot miss a change, whoever made it, and a window or caption drawn again the
//     same reports nothing.
//  7. Backend::Present(changed): SdlBackend::Present (sdl/sdl_backend.cpp) -> SurfacePresenter::
//     Present (sdl/surface_presenter.cpp) scales the bands of changed rows (ScreenDamage::Bands)
//     into the window's pixels (ScreenScaler::Scale, sdl/screen_scaler.cpp; at one to one the
//     screen was composed into them already) and sends those rectangles to the display
//     (SDL_UpdateWindowSurfaceRects). The other presenter (sdl/renderer_presenter.cpp) uploads
//     the bands to a texture that the GPU scales; the page (web/web_backend.cpp) converts them to
//     RGBA for its canvas; the tests' back end (headless_backend.cpp) notes the bands. A display
//     that lost what it showed (the first frame, an expose, a resize) is sent all of it.
//  Files: window_api, timer_table, message_loop, desktop, default_window_proc, compositor,
//  window_tree, screen_damage (window/); sdl_backend, surface_presenter (sdl/); and
//  screen_scaler (sdl/) when the window is not one to one. The wait adds sdl/wait_time.cpp and,
//  on X11, sdl/display_wait.cpp; on a shared desktop Fetch also serves other processes' requests
//  once a period (desktop_sharing.cpp).
//
// One pointer move, from the host's event to the stylus (8 files):
//  1. Fetch's Backend::WaitForInput: SdlBackend::WaitForInput -> Handle (sdl/sdl_backend.cpp)
//     takes the SDL_MOUSEMOTION with the window's view (its size, its drawable's, and where the
//     screen lies in it), kept from the last event that was not a motion: a resize, a change of
//     display or presenter always comes as one, so a move looks nothing up.
//  2. InputTranslator::Translate (sdl/input_translator.cpp) maps it to the device screen
//     (MouseToDrawable, DrawableToDevice in display/letterbox.cpp, the letterbox taken
//     backwards) and hands it to InputRules::Apply (input_rules.cpp), the rules every back end
//     follows (which pointer is the stylus, a move off the screen following its edge), which
//     makes an InputEvent of it.
//  3. Fetch queues the events (MessageQueue::Accept, message_loop.cpp). Input is routed when it
//     is taken, so it reaches the window under the pointer at that moment: Desktop::TakeInput
//     takes the oldest event, moves not taken yet collapsing into the newest (TakeRaw), and
//     InputRouter::Route -> RoutePointer (input_router.cpp) finds the window: the one that holds
//     the pointer since a press, else the topmost under it that takes input (WindowTree::WindowAt
//     and TakesInput, window_tree.cpp), and queues a WM_MOUSEMOVE in its client coordinates
//     (MessageQueue::AddRouted), taken at once (TakeRouted).
//  4. GetMessageW returns it; DispatchMessageW (window_api.cpp) -> Desktop::Dispatch -> Send
//     (message_loop.cpp) call the game's window procedure (app/main_window.cpp), whose
//     WM_MOUSEMOVE moves the stylus (OnStylusMove, game/). The next tick draws it.
//  Files: sdl_backend, input_translator (sdl/); letterbox (display/); input_rules,
//  message_loop, input_router, window_tree, window_api (window/).
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

namespace {

void AddToScene(const WindowTree& tree, const Window& window, Scene& scene) {
    if (!window.visible) {
        return;
    }
    scene.push_back({window.handle, tree.ScreenRect(window), window.surface != nullptr,
                     window.captionOkPressed});
    for (HWND child : window.children) {
        if (const Window* c = tree.Find(child)) {
            AddToScene(tree, *c, scene);
        }
    }
}

}  // namespace

Scene SceneOf(const WindowTree& tree) {
    Scene scene;
    for (HWND handle : tree.TopLevels()) {
        if (const Window* window = tree.Find(handle)) {
            AddToScene(tree, *window, scene);
        }
    }
    return scene;
}

std::optional<Scene> ShownScreen::Outdated(const WindowTree& tree) const {
    Scene scene = SceneOf(tree);
    if (!painted_ && scene == last_) {
        return std::nullopt;
    }
    return scene;
}

void ShownScreen::Presented(Scene scene) {
    last_ = std::move(scene);
    painted_ = false;
    presented_ = true;
}

SurfacePtr Desktop::ComposeScreen() {
    SurfacePtr screen = MakeImageSurface(screen_.width, screen_.height);
    if (screen) {
        ScreenDamage unused(screen_.width, screen_.height);
        ComposeInto(screen.get(), unused);
    }
    return screen;
}

namespace {

// The top-level windows as composing sees them, bottom first.
std::vector<Layer> LayersOf(const WindowTree& tree) {
    std::vector<Layer> layers;
    for (HWND handle : tree.TopLevels()) {
        const Window* window = tree.Find(handle);
        if (window == nullptr || !window->visible) {
            layers.push_back({});  // covers nothing
            continue;
        }
        const RECT bounds = tree.ScreenRect(*window);
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

// What a composition draws with, and where it notes what it changed.
struct Composing {
    const WindowTree& tree;
    const Metrics& metrics;
    PixelRows screen;
    ScreenDamage& changed;
};

// A caption is drawn into an image of its own and copied as a window's pixels are: one drawn
// again the same changes nothing on the screen and reports nothing.
void ComposeCaption(const Window& window, const RECT& outer, const RECT& shown,
                    const std::vector<RECT>& parts, const Composing& into) {
    const int width = outer.right - outer.left;
    SurfacePtr caption = MakeImageSurface(width, window.captionHeight);
    if (!caption) {
        return;
    }
    {
        CairoPtr cr(cairo_create(caption.get()));
        chrome::DrawCaption(cr.get(), window, {0, 0, width, window.captionHeight}, into.metrics);
    }
    cairo_surface_flush(caption.get());
    const ConstPixelRows source = PixelRowsOf(caption.get());
    for (const RECT& part : parts) {
        CopyArea(source, {outer.left, outer.top}, Intersect(shown, part), into.screen,
                 into.changed);
    }
}

// Draws `window` and its children where it lies inside `clip` and `parts` of the screen (the
// visible parts of its top-level window).
void ComposeWindow(const Window& window, const RECT& clip, const std::vector<RECT>& parts,
                   const Composing& into) {
    if (!window.visible) {
        return;
    }
    const RECT outer = into.tree.ScreenRect(window);
    const RECT shown = Intersect(clip, outer);
    if (window.captionHeight > 0) {
        ComposeCaption(window, outer, shown, parts, into);
    }
    const POINT origin = into.tree.ClientOrigin(window);
    const RECT client{origin.x, origin.y, origin.x + window.ClientWidth(),
                      origin.y + window.ClientHeight()};
    const RECT inside = Intersect(shown, client);
    if (const ConstPixelRows source = PixelRowsOf(window.surface.get()); !source.Empty()) {
        for (const RECT& part : parts) {
            CopyArea(source, origin, Intersect(inside, part), into.screen, into.changed);
        }
    }
    for (HWND child : window.children) {
        if (const Window* c = into.tree.Find(child)) {
            ComposeWindow(*c, inside, parts, into);
        }
    }
}

}  // namespace

void Desktop::ComposeInto(cairo_surface_t* screen, ScreenDamage& changed) {
    const PixelRows rows = PixelRowsOf(screen);
    if (rows.Empty()) {
        return;
    }
    // Written as memory: whatever cairo holds back is written first, and told of it after.
    cairo_surface_flush(screen);
    const RECT wholeScreen{0, 0, rows.width, rows.height};
    const std::vector<Layer> layers = LayersOf(tree_);
    for (const RECT& part : Uncovered(layers, wholeScreen)) {
        FillArea(rows, part, 0, changed);
    }
    const std::vector<std::vector<RECT>> visible = VisibleParts(layers, wholeScreen);
    const std::vector<HWND>& tops = tree_.TopLevels();
    const Composing into{tree_, metrics_, rows, changed};
    for (std::size_t i = 0; i < tops.size(); ++i) {
        if (const Window* window = Find(tops[i]); window != nullptr && !visible[i].empty()) {
            ComposeWindow(*window, wholeScreen, visible[i], into);
        }
    }
    cairo_surface_mark_dirty(screen);
}

// Out of line: the page's stack instrumentation leaves it out (web/CMakeLists.txt), and it must
// stay a function of its own for that.
[[gnu::noinline]] void Desktop::PresentIfChanged() {
    std::optional<Scene> scene = shown_.Outdated(tree_);
    if (!scene) {
        return;
    }
    cairo_surface_t* screen = backend_.ScreenBuffer();
    if (screen == nullptr) {
        return;  // no memory for it: tried again when the loop next runs out of work
    }
    shown_.Presented(std::move(*scene));
    ScreenDamage changed(screen_.width, screen_.height);
    ComposeInto(screen, changed);
    backend_.Present(changed);
}

}  // namespace platform::detail
