// Identifiers of the game's embedded resources and of the commands its menus and keys send.
#pragma once

#include "platform/win32_types.h"

namespace resources {

inline constexpr WORD kLanguageSpanishSpain = 3082;  // 0x0C0A

// Strings.
inline constexpr UINT IDS_APP_TITLE = 1;     // window title
inline constexpr UINT IDS_WINDOW_CLASS = 2;  // window class name
inline constexpr UINT IDS_OK = 103;          // left soft key
inline constexpr UINT IDS_HELP = 104;        // right soft key

inline constexpr WORD IDI_TARVEL = 101;      // icon group
inline constexpr WORD IDR_MENU = 102;        // menu and soft-key bar
inline constexpr WORD IDD_ABOUTBOX = 105;    // About dialog
inline constexpr WORD IDC_ACCELERATORS = 2;  // accelerator table

// Controls of the About dialog.
inline constexpr WORD IDC_ABOUT_ICON = 201;
inline constexpr WORD IDC_ABOUT_VERSION = 202;
inline constexpr WORD IDC_ABOUT_LINE2 = 203;

}  // namespace resources

// Commands, under the names the window procedure uses.
inline constexpr WORD IDM_OK = 40000;
inline constexpr WORD IDM_HELP = 40001;
inline constexpr WORD IDM_ABOUT = 40002;
inline constexpr WORD IDM_NEW = 32771;
inline constexpr WORD IDM_HARD = 32772;
