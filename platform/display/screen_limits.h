// The device screen's size and the limits every back end that shows one keeps to: plain values,
// shared by the command line, the web page's address and each desktop host.
#pragma once

namespace platform {

struct ScreenSize {
    int width;
    int height;
};

// The sizes a device screen may have, each side, on every back end that shows one.
inline constexpr int kMinScreenSide = 32;
inline constexpr int kMaxScreenSide = 4096;

// The largest first scale of a desktop window, in device screens.
inline constexpr int kMaxWindowScale = 16;

}  // namespace platform
