// The shell's own windows as the input router and the shell calls see them: soft-key bars and
// their pop-up menus.
#pragma once

#include "platform/window/desktop.h"

namespace platform::detail {

// Registers the window classes of the soft-key bar and the pop-up menu.
void RegisterShellClasses(Desktop& desktop);

// Makes a soft-key bar along the bottom of the screen for `owner` from the bar resource
// `barId` of `instance` (no buttons when `empty`). Null when the resource is missing or bad.
HWND CreateSoftKeyBar(Desktop& desktop, HWND owner, HINSTANCE instance, WORD barId, bool empty,
                      bool hidden);

// The visible soft-key bar that belongs to a top-level window, or null.
HWND SoftKeyBarOf(Desktop& desktop, HWND topLevel);

// Does what pressing soft key `index` (0 left, 1 right) does: sends its command to the owner or
// opens its pop-up menu.
void PressSoftKey(Desktop& desktop, HWND bar, int index);

// Opens `menu` as a pop-up whose commands go to `notify`, standing on top of `anchor` (screen
// coordinates) and lined up with its right edge when `alignRight`.
HWND OpenPopupMenu(Desktop& desktop, HMENU menu, HWND owner, HWND notify, RECT anchor,
                   bool alignRight);

// A key pressed while a pop-up menu is open: the menu takes every key.
void PopupMenuKey(Desktop& desktop, HWND popup, UINT key);

void RegisterPopupMenuClass(Desktop& desktop);
// Draws a soft-key bar's keys released again (its pop-up has closed).
void ReleaseSoftKeys(Desktop& desktop, HWND bar);

}  // namespace platform::detail
