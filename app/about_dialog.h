// The About box's dialog procedure.
#pragma once

#include "platform/window/winuser.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
