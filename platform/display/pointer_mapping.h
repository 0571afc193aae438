// Where a pointer on the desktop window falls on the device screen.
//
// SDL reports the mouse in window points and a finger as a fraction of the window; both are
// first taken to drawable pixels (a high-density display has more pixels than points), then
// through the letterbox to device pixels.
#pragma once

#include <optional>

#include "platform/display/letterbox.h"

namespace platform {

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
