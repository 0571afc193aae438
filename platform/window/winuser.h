// The window manager of the pocket computer's platform under its own names: window classes and
// windows, messages and the message loop, timers, painting, system metrics, resources, menus,
// accelerators and modal dialogs. Calls behave as the platform documents them; failures return
// the platform's failure value (0, FALSE, NULL or -1). They work on the desktop of the live
// platform::WindowSystem; without one they fail.
#pragma once

#include "platform/window/window_types.h"

// Window classes and windows.
ATOM RegisterClassW(const WNDCLASSW* windowClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
// Default handling: WM_CLOSE destroys the window, WM_ERASEBKGND fills the client area with the
// class brush, WM_PAINT validates, the caption's OK button sends IDOK.
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL DestroyWindow(HWND window);
// A window's style, extended style or control identifier (GWL_*); 0 for a bad window or index.
// Extra bytes are not kept, so offsets into them read as 0.
LONG GetWindowLongW(HWND window, int index);
// The window class's style or its counts of extra bytes (GCL_*); 0 for a bad window or index.
DWORD GetClassLongW(HWND window, int index);
BOOL ShowWindow(HWND window, int command);
// Sends WM_PAINT at once when the window has an invalid region.
BOOL UpdateWindow(HWND window);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);
BOOL EnableWindow(HWND window, BOOL enable);
int GetWindowTextW(HWND window, LPWSTR buffer, int bufferLength);
HWND GetParent(HWND window);
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
// The lowest bit of the handle may be set: the window and the windows it owns come forward.
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND GetFocus();
HWND SetFocus(HWND window);
int GetSystemMetrics(int index);

// Painting.
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Messages and the message loop.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Waits for the next message: 0 for WM_QUIT (its wParam is the exit code), -1 on a bad argument.
BOOL GetMessageW(MSG* msg, HWND window, UINT firstMessage, UINT lastMessage);
BOOL PeekMessageW(MSG* msg, HWND window, UINT firstMessage, UINT lastMessage, UINT removeFlags);
// Adds WM_CHAR after a WM_KEYDOWN of a key that types a character.
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
SHORT GetKeyState(int virtualKey);
DWORD GetTickCount();

// Timers.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

// Resources.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferLength);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name);
int TranslateAcceleratorW(HWND window, HACCEL accelerators, MSG* msg);
HRSRC FindResourceW(HINSTANCE instance, LPCWSTR name, LPCWSTR type);
HGLOBAL LoadResource(HINSTANCE instance, HRSRC resource);
LPVOID LockResource(HGLOBAL data);
DWORD SizeofResource(HINSTANCE instance, HRSRC resource);

// Menus.
HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name);
BOOL DestroyMenu(HMENU menu);
HMENU GetSubMenu(HMENU menu, int position);
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position);
// Returns the previous check state (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 without the item.
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);

// Dialogs.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner,
                                DLGPROC dialogProc, LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL MapDialogRect(HWND dialog, RECT* rect);
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND control);

// Static control message: sets the icon of an SS_ICON control (wParam: HICON).
inline constexpr UINT STM_SETICON = 0x0170;
inline constexpr UINT STM_GETICON = 0x0171;
// Button message: the button's pressed look (TRUE while held).
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr LRESULT BST_PUSHED = 0x0004;
