#include "platform/display/pointer_mapping.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// The device pixel along one axis, with whether it lies on the screen.
std::pair<int, bool> AlongAxis(double position, int imageStart, int imageExtent, int deviceExtent) {
    const double device = (position - imageStart) * deviceExtent / imageExtent;
    if (device < 0.0) {
        return {0, false};
    }
    if (device >= deviceExtent) {
        return {deviceExtent - 1, false};
    }
    return {static_cast<int>(device), true};
}

}  // namespace

DrawablePoint MouseToDrawable(int x, int y, ScreenSize window, ScreenSize drawable) {
    // A point covers drawable/window pixels along each axis; its centre is what it points at.
    const double scaleX =
        window.width > 0 ? static_cast<double>(drawable.width) / window.width : 1.0;
    const double scaleY =
        window.height > 0 ? static_cast<double>(drawable.height) / window.height : 1.0;
    return {(x + 0.5) * scaleX, (y + 0.5) * scaleY};
}

DrawablePoint TouchToDrawable(double fractionX, double fractionY, ScreenSize drawable) {
    return {fractionX * drawable.width, fractionY * drawable.height};
}

std::optional<DevicePoint> DrawableToDevice(DrawablePoint point, const PixelRect& image,
                                            ScreenSize device) {
    if (image.Empty() || device.width <= 0 || device.height <= 0 || std::isnan(point.x) ||
        std::isnan(point.y)) {
        return std::nullopt;
    }
    const auto [x, insideX] = AlongAxis(point.x, image.x, image.width, device.width);
    const auto [y, insideY] = AlongAxis(point.y, image.y, image.height, device.height);
    return DevicePoint{x, y, insideX && insideY};
}

}  // namespace platform
