// The soft-key bar on Windows: a child window along the bottom of the device screen with one key
// per button of the bar resource (menu number, button count, then per button: image, command,
// state, style, label string, 0, pop-up index). A plain key sends its command to the owner when
// released over it; a drop-down key opens its pop-up menu (TrackPopupMenuEx), whose commands go to
// the owner. F1 and F2, sent on by the owner, press the first and second key.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

namespace platform::win32 {

struct SoftKeyButton {
    WORD command;
    WORD state;
    WORD style;
    WORD labelString;
    WORD popup;  // index into the bar's menu, or 0xFFFF for none
};

struct SoftKeyBarResource {
    WORD menu;
    std::vector<SoftKeyButton> buttons;
};

// The bar resource's words read, or nothing when they are cut short or name no buttons.
std::optional<SoftKeyBarResource> ReadSoftKeyBar(std::span<const WORD> words);

// The key under client x of a bar `width` wide with `count` keys of equal width; -1 outside.
int SoftKeyAt(int x, int width, int count);

// Makes the bar for `owner` from bar resource `barId` of `instance`: a visible child window, or
// null when the resource is missing or malformed.
HWND CreateSoftKeyBar(HWND owner, HINSTANCE instance, UINT barId);

}  // namespace platform::win32
