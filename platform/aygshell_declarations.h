// The pocket computer's shell calls under their own names, with their records and flags: the
// soft-key menu bar, full screen, full-screen dialogs, and the activation and setting-change
// helpers. Shared by the stand-in (platform/window/aygshell.h) and the Windows build
// (platform/win32/device_shell.h), which each include their platform's types first and say what
// the calls do there.
#pragma once

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

// Makes a soft-key bar along the bottom of the screen for hwndParent from the bar resource
// nToolBarId of hInstRes and returns its handle in hwndMB. The height follows the screen's
// density: 26 pixels on a screen 240 across, 52 on one 480 across.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
// Hides or shows the task bar, the input-panel button and the start icon for a window; the
// caller sizes its window to the screen itself.
BOOL SHFullScreen(HWND window, DWORD state);
// Sets up a dialog as the flags ask: an OK button in its caption, its size (the screen's), the
// input panel lowered, an empty soft-key bar.
BOOL SHInitDialog(SHINITDLGINFO* info);
// Keeps the input panel's state per window.
BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags);
// Resizes windows when the input panel moves.
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);
// Registers the shell's extra control classes.
BOOL SHInitExtraControls();
