// The calls whose meaning on the pocket computer a desktop does not share, redirected to the
// device screen for the game's code alone (this header is included only through the headers the
// game's program and painters include; platform code calls the real functions).
//
// On the device the main window's client area is the whole screen, "the screen" is the
// display, and a handle with its lowest bit set means "this window and the windows it owns". On
// a desktop the device screen is drawn scaled inside an ordinary window, the display is a
// monitor, and user32 refuses such a handle. The program makes these calls as the device
// defines them; the alternative to redirecting them here would be a second version of the
// program's code for desktops. Macros are the least bad way: each name is redirected only where
// the game's code is compiled, and the device-screen functions say what they answer.
#pragma once

#include <windows.h>

namespace platform::win32 {

// The screen's size in SM_CXSCREEN and SM_CYSCREEN is the device screen's; everything else is the
// system's.
int DeviceGetSystemMetrics(int index);
// The lowest bit of the handle may be set: the window, or the window it has open above it,
// comes forward with the keyboard focus (restored if minimised), also another process's (another
// start of the program), which is asked to bring itself forward.
BOOL DeviceSetForegroundWindow(HWND window);
// For the device screen's main window and its soft-key bar, rectangles on the device screen in
// device pixels; other windows as the system has them.
BOOL DeviceMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL DeviceGetWindowRect(HWND window, RECT* rect);
BOOL DeviceGetClientRect(HWND window, RECT* rect);
// The main window paints into the device screen; ending the paint shows the screen, scaled, in
// the window. Other windows paint as usual.
HDC DeviceBeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL DeviceEndPaint(HWND window, const PAINTSTRUCT* paint);

}  // namespace platform::win32

// The program's entry keeps its device signature; the C runtime's WinMain is the host's.
#define WinMain TarvelWinMain

#define GetSystemMetrics platform::win32::DeviceGetSystemMetrics
#define SetForegroundWindow platform::win32::DeviceSetForegroundWindow
#define MoveWindow platform::win32::DeviceMoveWindow
#define GetWindowRect platform::win32::DeviceGetWindowRect
#define GetClientRect platform::win32::DeviceGetClientRect
#define BeginPaint platform::win32::DeviceBeginPaint
#define EndPaint platform::win32::DeviceEndPaint
