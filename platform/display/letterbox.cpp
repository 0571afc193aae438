#include "platform/display/letterbox.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace platform {

Letterbox FitScreen(ScreenSize drawable, ScreenSize device) {
    if (drawable.width <= 0 || drawable.height <= 0 || device.width <= 0 || device.height <= 0) {
        return {};
    }
    // In integers: a fit worked out in doubles can land one pixel short of an exact multiple.
    const long long areaW = drawable.width;
    const long long areaH = drawable.height;
    const long long screenW = device.width;
    const long long screenH = device.height;
    long long width = areaW;
    long long height = areaH;
    if (areaW * screenH <= areaH * screenW) {
        height = areaW * screenH / screenW;
    } else {
        width = areaH * screenW / screenH;
    }
    Letterbox box;
    box.wholeFactor = static_cast<int>(std::min(areaW / screenW, areaH / screenH));
    // At most a fifteenth of the fit given up, on each side.
    if (box.wholeFactor > 0 && box.wholeFactor * screenW * 15 >= width * 14) {
        box.exact = true;
        width = box.wholeFactor * screenW;
        height = box.wholeFactor * screenH;
    }
    box.image = {static_cast<int>((areaW - width) / 2), static_cast<int>((areaH - height) / 2),
                 static_cast<int>(width), static_cast<int>(height)};
    return box;
}

std::array<PixelRect, 4> Bars(ScreenSize drawable, const PixelRect& image) {
    const int below = image.y + image.height;
    const int right = image.x + image.width;
    return {{{0, 0, drawable.width, image.y},
             {0, below, drawable.width, drawable.height - below},
             {0, image.y, image.x, image.height},
             {right, image.y, drawable.width - right, image.height}}};
}

ScreenSize InitialWindowSize(ScreenSize device, int scale, ScreenSize usable) {
    if (device.width <= 0 || device.height <= 0) {
        return {0, 0};
    }
    const long long wanted = std::max(scale, 1);
    if (usable.width <= 0 || usable.height <= 0) {
        return {static_cast<int>(std::min<long long>(device.width * wanted, INT_MAX)),
                static_cast<int>(std::min<long long>(device.height * wanted, INT_MAX))};
    }
    const long long fitting =
        std::min<long long>({wanted, usable.width / device.width, usable.height / device.height});
    if (fitting >= 1) {
        return {static_cast<int>(device.width * fitting),
                static_cast<int>(device.height * fitting)};
    }
    const PixelRect shrunk = FitScreen(usable, device).image;
    return {std::max(shrunk.width, 1), std::max(shrunk.height, 1)};
}

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
