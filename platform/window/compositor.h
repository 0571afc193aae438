// Composing the screen, in three small pieces: which parts of each top-level window the screen
// shows (VisibleParts, a pure function of where the windows lie), where each window's pixels come
// from (its client surface, placed at its client origin), and the copy of those pixels into the
// screen's rows (CopyArea), which writes only what differs from the screen shown last and says
// where that was. Desktop::ComposeInto puts them together; frame_path.cpp tells the whole
// frame's way to the display.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/pixel_rows.h"
#include "platform/win32_types.h"
#include "platform/window/screen_damage.h"

namespace platform::detail {

// One top-level window as composing sees it: where it lies on the screen, and what of that it
// paints over whatever lies below (all of it; its caption alone when it has no pixels of its own;
// nothing when hidden).
struct Layer {
    RECT bounds;
    RECT opaque;
};

// `from` less `hole`, as rectangles that do not overlap.
std::vector<RECT> Subtract(const std::vector<RECT>& from, const RECT& hole);

// For each of `layers` (bottom first), the parts of it inside `screen` that no layer above
// paints over. A window draws only there, so no pixel is written by two windows' pixels.
std::vector<std::vector<RECT>> VisibleParts(const std::vector<Layer>& layers, const RECT& screen);

// The parts of `screen` that no layer paints (black on the screen).
std::vector<RECT> Uncovered(const std::vector<Layer>& layers, const RECT& screen);

// Copies the part `area` (screen coordinates) of `source`, whose top left pixel lies at
// `origin` on the screen, into `screen`, and adds the pixels that differed to `changed`; what
// lies outside either is left alone.
void CopyArea(ConstPixelRows source, POINT origin, RECT area, PixelRows screen,
              ScreenDamage& changed);

// Sets the pixels of `area` of `screen` to `pixel`, adding those that differed to `changed`;
// what lies outside the screen is left alone.
void FillArea(PixelRows screen, RECT area, std::uint32_t pixel, ScreenDamage& changed);

}  // namespace platform::detail
