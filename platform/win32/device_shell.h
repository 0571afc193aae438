// The pocket computer's shell calls, which desktop Windows does not have, under their own names:
// the soft-key menu bar, full screen, full-screen dialogs, and the activation and setting-change
// helpers, done as a desktop window that shows the device screen needs them done.
#pragma once

#include <windows.h>

struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};

// SHMENUBARINFO flags.
inline constexpr DWORD SHCMBF_EMPTYBAR = 0x0001;
inline constexpr DWORD SHCMBF_HIDDEN = 0x0002;
inline constexpr DWORD SHCMBF_HIDESIPBUTTON = 0x0004;
inline constexpr DWORD SHCMBF_COLORBK = 0x0008;
inline constexpr DWORD SHCMBF_HMENU = 0x0010;

// Soft-key bar message: the pop-up menu of the button with command lParam.
inline constexpr UINT SHCMBM_GETSUBMENU = WM_USER + 401;  // 0x591

// SHFullScreen states.
inline constexpr DWORD SHFS_SHOWTASKBAR = 0x0001;
inline constexpr DWORD SHFS_HIDETASKBAR = 0x0002;
inline constexpr DWORD SHFS_SHOWSIPBUTTON = 0x0004;
inline constexpr DWORD SHFS_HIDESIPBUTTON = 0x0008;
inline constexpr DWORD SHFS_SHOWSTARTICON = 0x0010;
inline constexpr DWORD SHFS_HIDESTARTICON = 0x0020;

// SHINITDLGINFO mask and flags.
inline constexpr DWORD SHIDIM_FLAGS = 0x0001;
inline constexpr DWORD SHIDIF_DONEBUTTON = 0x0001;
inline constexpr DWORD SHIDIF_SIZEDLG = 0x0002;
inline constexpr DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x0004;
inline constexpr DWORD SHIDIF_SIPDOWN = 0x0008;
inline constexpr DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x0010;
inline constexpr DWORD SHIDIF_EMPTYMENU = 0x0020;

// Makes a soft-key bar along the bottom of the device screen for hwndParent, from the bar
// resource nToolBarId of hInstRes, and returns its handle in hwndMB: a child window of
// hwndParent, 26 device pixels high on a screen 240 across, 52 on one 480 across. The window it
// is made for becomes the device screen's main window.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
// Accepts any state: a desktop has no task bar of the device's, input-panel button or start
// icon to hide or show. The window becomes the device screen's main window if none is yet; the
// caller sizes it to the device screen itself.
BOOL SHFullScreen(HWND window, DWORD state);
// Sizes the dialog to cover the device screen as the window shows it; the caption's close box
// stands for the device's OK button, and there is no input panel to lower or soft-key bar to
// empty.
BOOL SHInitDialog(SHINITDLGINFO* info);
// Keeps the input panel's state per window on the device; without one, nothing to do.
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags);
// Resizes windows when the input panel moves on the device; without one, nothing to do.
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
// Registers the shell's extra control classes on the device; none are needed here.
BOOL SHInitExtraControls();
