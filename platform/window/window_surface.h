// The memory of a window's client pixels.
#pragma once

#include "platform/window/window_tree.h"

namespace platform::detail {

// Gives `window` a client surface of its client area's size, keeping the pixels it had where
// they still lie; a top-level window may grow to `screenHeight` rows without moving them. While
// a paint is open the resize waits for it to close.
void FitSurface(Window& window, int screenHeight);

}  // namespace platform::detail
