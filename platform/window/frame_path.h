// A frame's path from the game's drawing to the display, and its last step.
//
// 1. Drawing. The game's WM_PAINT (render/frame_painter.cpp, PaintFrame) copies its background
//    into a frame picture with BitBlt, draws the bodies and the score into it, and copies the
//    frame into the window's paint DC. Every drawing call (platform/gdi/) writes the pixels of
//    an RGB24 cairo image and nothing else: no layer below the screen keeps a record of where
//    it wrote. The window's client pixels are one such image (Window::surface, desktop.cpp).
//
// 2. Composing. EndPaint marks the screen dirty. When the message loop runs out of messages
//    (message_loop.cpp, Desktop::Fetch) it calls Desktop::PresentIfDirty, which composes the
//    whole screen into an image the desktop keeps (compositor.cpp, Desktop::ComposeInto): black
//    where no window is, then each top-level window's visible parts (VisibleParts): its caption
//    drawn with cairo, its client pixels copied row by row (CopyArea), its children inside it.
//
// 3. Finding what changed: here, once. PresentComposed borrows the back end's screen image
//    (Backend::ScreenBuffer), which holds the screen shown last, and copies the composed screen
//    into it row by row, writing only from the first pixel that differs to the last
//    (CopyChangedRows, screen_damage.h). Those spans are the frame's ScreenDamage: the only
//    record of what changed anywhere in the platform. Comparing costs a read of two screens, less
//    than the copy it replaces, and it cannot miss a change nor report one that is not there.
//
// 4. Showing. Backend::Present(changed) shows the borrowed image, sending only the bands of
//    changed rows (ScreenDamage::Bands) where that saves work: the SDL window's pixels scaled
//    and updated by rectangle (sdl/surface_presenter.cpp) or uploaded to a texture that the GPU
//    scales (sdl/renderer_presenter.cpp); the page's canvas (web/web_backend.cpp); an image in
//    memory for the tests (window/headless_backend.cpp). A back end whose display has lost what
//    it showed (a new window, an expose) sends the whole image instead.
#pragma once

#include <cairo.h>

#include "platform/window/backend.h"

namespace platform {

// Shows `composed`, an RGB24 image of the screen's size, on `backend`: copies what differs into
// the back end's screen image and presents those changes. Throws std::invalid_argument for an
// image of another size or format, std::runtime_error when the back end has no screen image.
void PresentComposed(Backend& backend, cairo_surface_t* composed);

}  // namespace platform
