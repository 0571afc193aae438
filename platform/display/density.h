// The device screen's pixel density, which the sizes of the platform's own chrome (the soft-key
// bar, captions, menus) follow on every host: 96 dots per inch on a screen 240 pixels across its
// shorter side, 192 on one 480 across.
#pragma once

#include "platform/display/screen_limits.h"

namespace platform {

struct Metrics {
    int dpi = 96;

    int Scale(int pixelsAt96) const { return pixelsAt96 * dpi / 96; }
    int MenuBarHeight() const { return Scale(26); }
    int CaptionHeight() const { return Scale(26); }
};

Metrics MetricsFor(ScreenSize screen);

}  // namespace platform
