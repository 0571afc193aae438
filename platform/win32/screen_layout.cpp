#include "platform/win32/screen_layout.h"

#include <algorithm>

#include "platform/display/density.h"

namespace platform::win32 {

int DefaultScale(int monitorDpi) {
    return std::max(1, monitorDpi / 96);
}

ScreenLayout LayOutScreen(ScreenSize client, ScreenSize device) {
    ScreenLayout layout;
    layout.box = FitScreen(client, device);
    const PixelRect& image = layout.box.image;
    if (image.Empty()) {
        return layout;
    }
    const int barTop = static_cast<int>(
        static_cast<long long>(device.height - MetricsFor(device).MenuBarHeight()) * image.height /
        device.height);
    layout.softKeyBar = {image.x, image.y + barTop, image.x + image.width, image.y + image.height};
    return layout;
}

}  // namespace platform::win32
