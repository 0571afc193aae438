// The pocket computer's shell calls on Windows, which desktop Windows does not have, done as a
// desktop window that shows the device screen needs them done:
// - SHCreateMenuBar makes the soft-key bar, a child window of hwndParent along the bottom of the
//   device screen, and makes hwndParent the device screen's main window;
// - SHFullScreen accepts any state (a desktop has no task bar of the device's, input-panel
//   button or start icon to hide) and makes the window the main window if none is yet;
// - SHInitDialog sizes the dialog to cover the device screen as the window shows it; the
//   caption's close box stands for the device's OK button, and Escape presses it in a dialog
//   without a Cancel button;
// - SHHandleWMActivate, SHHandleWMSettingChange and SHInitExtraControls have nothing to do.
#pragma once

#include <windows.h>
// After the types it names.
#include "platform/aygshell_declarations.h"
