// A frame's path from the game's drawing to the display.
//
// 1. Drawing. The game's WM_PAINT (app/main_window.cpp, then PaintFrame in render/) copies its
//    background into a frame picture with BitBlt, draws the bodies and the score into it, and
//    copies the frame into the window's paint DC. Every drawing call (platform/gdi/) writes the
//    pixels of an RGB24 cairo image and nothing else: no layer below the screen keeps a record
//    of where it wrote. The window's client pixels are one such image (Window::surface).
//
// 2. Composing, and finding what changed. EndPaint marks the screen dirty. When the message
//    loop runs out of messages (message_loop.cpp, Desktop::Fetch) it calls PresentIfDirty,
//    below. That borrows the back end's screen (Backend::ScreenBuffer), which still holds the
//    screen shown last, and composes the new one over it (compositor.cpp, ComposeInto): black
//    where no window is, then each top-level window's visible parts (VisibleParts): its caption
//    drawn with cairo, its client pixels copied row by row (CopyArea), its children inside it.
//    The copy and the fill write only from the first pixel of a row that differs to the last
//    (CopyChangedWords, FillChangedWords in screen_damage.h) and note those spans in the
//    frame's ScreenDamage: the one record of what changed anywhere in the platform. Comparing
//    with the screen shown cannot miss a change, whoever made it, and a window painted again
//    the same reports nothing.
//
// 3. Showing. Backend::Present(changed) shows the borrowed screen, sending only the bands of
//    changed rows (ScreenDamage::Bands) where that saves work: the SDL window's pixels scaled
//    and updated by rectangle (sdl/surface_presenter.cpp) or uploaded to a texture that the GPU
//    scales (sdl/renderer_presenter.cpp); the page's canvas (web/web_backend.cpp); an image in
//    memory for the tests (window/headless_backend.cpp). A back end whose display has lost what
//    it showed (a new window, an expose, the first frame) sends the whole screen instead.
#include "platform/window/desktop.h"

namespace platform::detail {

void Desktop::PresentIfDirty() {
    if (!screenDirty_) {
        return;
    }
    cairo_surface_t* screen = backend_.ScreenBuffer();
    if (screen == nullptr) {
        return;  // no memory for it: tried again when the loop next runs out of work
    }
    screenDirty_ = false;
    firstScreenPresented_ = true;
    ScreenDamage changed(screen_.width, screen_.height);
    ComposeInto(screen, changed);
    backend_.Present(changed);
}

}  // namespace platform::detail
