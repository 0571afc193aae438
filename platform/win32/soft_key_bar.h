// The soft-key bar on Windows: a child window along the bottom of the device screen, drawn with
// the system's GDI, keeping to platform/display/soft_keys.h as every host does. A drop-down key's
// menu is the system's (TrackPopupMenuEx), whose commands go to the owner. F1 and F2, sent on by
// the owner, press the first and second key.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Makes the bar for `owner` from bar resource `barId` of `instance`: a visible child window, or
// null when the resource is missing or malformed.
HWND CreateSoftKeyBar(HWND owner, HINSTANCE instance, UINT barId);

}  // namespace platform::win32
