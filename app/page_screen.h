// The device screen the web page runs the game on when its address names none, from the size of
// the page's viewport in CSS pixels. The game sizes everything from its screen's width while its
// speeds are fixed in pixels per tick, so it plays as intended only on the device's screens:
// portrait, 240 to 480 pixels wide. The page picks one of those and scales it to the viewport.
#pragma once

#include "platform/display/screen_limits.h"

// The narrowest and widest screen chosen, and the shape of the device's own screens (3:4).
inline constexpr int kPageScreenMinWidth = 240;
inline constexpr int kPageScreenMaxWidth = 480;

// A viewport at least as tall as 3:4 keeps its shape, at its own width where that is 240 to 480
// pixels, else at the nearer of the two (a phone fills its screen, a tablet gets a taller
// screen). A squatter viewport (a laptop, a phone on its side) gets a 3:4 screen as tall as the
// viewport, 320 to 640 pixels. A viewport without an area (not laid out yet) gets 480 x 640.
platform::ScreenSize PageScreenFor(int viewport_width, int viewport_height);
