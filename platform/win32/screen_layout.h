// Where the device screen and its soft-key bar go in the main window's client area, and the
// scale a window starts at: plain arithmetic on sizes, apart from the window procedure so that
// the unit tests reach all of it.
#pragma once

#include <windows.h>

#include "platform/display/letterbox.h"

namespace platform::win32 {

// The scale a window starts at when none is asked for: whole device screens per monitor
// pixel-density step of 96 dpi, at least one.
int DefaultScale(int monitorDpi);

// Where each part of the device screen lies in a client area of `client` pixels.
struct ScreenLayout {
    Letterbox box;
    // The soft-key bar's strip in client pixels (the bottom of the image).
    RECT softKeyBar{};
};
ScreenLayout LayOutScreen(ScreenSize client, ScreenSize device);

}  // namespace platform::win32
