#include "platform/display/density.h"

#include <algorithm>

namespace platform {

Metrics MetricsFor(ScreenSize screen) {
    const int shortSide = std::min(screen.width, screen.height);
    return Metrics{std::max(1, 96 * shortSide / 240)};
}

}  // namespace platform
