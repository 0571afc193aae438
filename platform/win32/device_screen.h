// The device screen on a Windows desktop: the game's main window is an ordinary desktop window
// whose client area shows the device's screen, scaled to fit between black bars, with the
// soft-key bar along its bottom. The game draws into the screen in device pixels
// (DeviceBeginPaint/DeviceEndPaint), sees the device's rectangles and screen size, and gets
// pointer positions in device pixels; the desktop window can be resized, maximised or put full
// screen (F11, Alt+Enter) without the game knowing.
//
// One device screen per process, configured once by the program's entry before the game starts.
#pragma once

#include <windows.h>

#include "platform/display/letterbox.h"

namespace platform::win32 {

struct DeviceScreenOptions {
    ScreenSize screen{480, 640};
    // The window's first size in device screens; 0 takes the monitor's scaling (two at 192 dpi).
    // Lowered to what fits the monitor's work area.
    int scale = 0;
    bool fullscreen = false;
};

void ConfigureDeviceScreen(const DeviceScreenOptions& options);
ScreenSize DeviceScreenSize();

// The main window, once the shell has been asked to make its soft-key bar or put it full screen;
// null before.
HWND DeviceMainWindow();
// Makes `window` the device screen's main window (again: nothing): gives it a desktop window's
// frame, sizes it to the configured scale, and takes its pointer and key messages to device
// terms before its own procedure sees them.
void AdoptMainWindow(HWND window);
// The soft-key bar made for the main window; it is kept along the image's bottom.
void AttachSoftKeyBar(HWND bar);

// The device screen as the main window shows it, in desktop (screen) coordinates: where a
// full-screen dialog goes.
RECT DeviceScreenOnDesktop();

// Desktop full screen on the main window's monitor, and back.
void SetDesktopFullScreen(bool on);
bool IsDesktopFullScreen();

}  // namespace platform::win32
