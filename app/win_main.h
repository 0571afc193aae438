// The program's entry point: one instance per user, the main window, the message loop.
#pragma once

#include "platform/window/winuser.h"

// Runs the program to its end and returns its exit code.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);

// Creates and shows the main window; false when the program already runs or the window cannot be
// made.
BOOL InitInstance(HINSTANCE instance, int showCommand);

// Registers the main window's class; the atom, or 0 on failure.
ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className);
