// Where the device screen goes in a desktop window: scaled to fit, aspect ratio kept, centred
// between black bars; and, the other way, which device pixel a pointer on the window is over.
// Pure arithmetic on sizes, so it is tested without a display.
#pragma once

#include <array>
#include <optional>

#include "platform/display/screen_limits.h"

namespace platform {

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
};

// The device screen placed in a drawable area (the window's pixels, which on a high-density
// display are more than its size in points).
struct Letterbox {
    // The scaled screen, centred; the rest of the drawable area is bars. Empty when the area or
    // the screen has no pixels.
    PixelRect image;
    // The largest whole factor of the screen that fits the area; 0 when even one to one does not
    // fit and the screen has to shrink.
    int wholeFactor = 0;
    // The image is exactly wholeFactor device pixels to a side, so nearest-neighbour scaling
    // makes every device pixel a crisp square. Otherwise the image is not a whole multiple.
    bool exact = false;
};

// The image of `device` in `drawable`, centred (an odd leftover puts the extra bar pixel on the
// right or at the bottom): the largest of the screen's aspect ratio that fits, except that a fit
// just above a whole factor (the factor's image no more than a fifteenth smaller than the fit)
// is shown at that factor. A window a few pixels bigger than an exact multiple is common (window
// managers round sizes, panels take a strip), and a slightly smaller image with crisp pixels
// beats a blurred one that fills them. The web page keeps to the same rule (its layout is
// checked against the same table of sizes as this).
Letterbox FitScreen(ScreenSize drawable, ScreenSize device);

// The black bars around `image` in `drawable`: the strips above and below it across the whole
// width, then those left and right of it; a strip is empty where the image reaches that edge.
// With no image, the strip below covers everything.
std::array<PixelRect, 4> Bars(ScreenSize drawable, const PixelRect& image);

// The first size of the window, in points: `scale` times the device screen. When that does not
// fit `usable` (the desktop without its panels) the largest whole factor that does is taken, and
// when not even one to one fits, the largest size of the screen's aspect ratio that does.
ScreenSize InitialWindowSize(ScreenSize device, int scale, ScreenSize usable);

// A pointer on the window, taken back through the letterbox to the device pixel under it. SDL
// reports the mouse in window points and a finger as a fraction of the window; both are first
// taken to drawable pixels (a high-density display has more pixels than points), then through the
// letterbox to device pixels.

struct DrawablePoint {
    double x;
    double y;
};

// The centre of the window point (x, y), in drawable pixels.
DrawablePoint MouseToDrawable(int x, int y, ScreenSize window, ScreenSize drawable);

// A finger position given as fractions (0 to 1) of the window, in drawable pixels.
DrawablePoint TouchToDrawable(double fractionX, double fractionY, ScreenSize drawable);

struct DevicePoint {
    int x;
    int y;
    // False over the bars: the point is then clamped to the nearest edge pixel of the screen, so
    // a pointer that strays off the image drags along its edge instead of jumping when it comes
    // back.
    bool inside;
};

// The device pixel under `point`, or nothing when there is no image to point at (a window too
// small to show any of the screen) or the position is not a number.
std::optional<DevicePoint> DrawableToDevice(DrawablePoint point, const PixelRect& image,
                                            ScreenSize device);

}  // namespace platform
