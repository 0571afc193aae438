#include "app/main_window.h"

#include "app/about_dialog.h"
#include "app/program_state.h"
#include "game/match.h"
#include "platform/window/aygshell.h"
#include "render/frame_painter.h"
#include "render/pitch_painter.h"
#include "resources/resource_ids.h"

namespace {

// The window procedure runs for every tick and paint; what it does once or on a command is
// marked cold, so that it stays out of that hot code.
[[gnu::cold]] void OnCreate(HWND window) {
    ProgramState& program = Program();
    SHMENUBARINFO menuBar{};
    menuBar.cbSize = sizeof menuBar;
    menuBar.hwndParent = window;
    menuBar.dwFlags = 0;
    menuBar.nToolBarId = resources::IDR_MENU;
    menuBar.hInstRes = program.instance;
    program.menuBar = SHCreateMenuBar(&menuBar) ? menuBar.hwndMB : nullptr;

    program.activateInfo = SHACTIVATEINFO{};
    program.activateInfo.cbSize = sizeof program.activateInfo;
    SetFullScreen(window);
}

// The first paint measures the pitch, starts the match, paints the static pitch and starts the
// game timer.
[[gnu::cold]] void SetUpFirstPaint(HWND window, HDC paintContext, const RECT& client) {
    ProgramState& program = Program();
    program.match.initialised = 1;
    // The window is still shortened by the soft-key bar here, so the pitch ends where the bar
    // begins; going full screen again does not change the measured size.
    SetFullScreen(window);
    StartMatch(program.match, client.right, client.bottom);
    PaintPitchBackground(program.match, program.paint, paintContext, client.left, client.top,
                         client.right, client.bottom);
    SetTimer(window, GAME_TIMER_ID, kGameTimerPeriodMs, nullptr);
}

void OnPaint(HWND window) {
    ProgramState& program = Program();
    PAINTSTRUCT paint;
    const HDC paintContext = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    if (program.match.initialised == 0) {
        SetUpFirstPaint(window, paintContext, client);
    }
    PaintFrame(program.match, program.paint, paintContext);
    EndPaint(window, &paint);
}

void ToggleDifficulty() {
    ProgramState& program = Program();
    const auto menu =
        reinterpret_cast<HMENU>(SendMessageW(program.menuBar, SHCMBM_GETSUBMENU, 0, IDM_HELP));
    program.match.hardMode = program.match.hardMode != 0 ? 0 : 1;
    CheckMenuItem(menu, IDM_HARD, program.match.hardMode != 0 ? MF_CHECKED : MF_UNCHECKED);
}

void ShowAboutBox(HWND window) {
    const HINSTANCE instance = Program().instance;
    const HRSRC found =
        FindResourceW(instance, MAKEINTRESOURCEW(resources::IDD_ABOUTBOX), RT_DIALOG);
    const HGLOBAL loaded = LoadResource(instance, found);
    const auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(loaded));
    DialogBoxIndirectParamW(instance, dialogTemplate, window, AboutDialogProc, 0);
    SetFullScreen(window);
}

[[gnu::cold]] LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case IDM_NEW:
            NewGame(Program().match);
            return 0;
        case IDM_HARD:
            ToggleDifficulty();
            return 0;
        case IDM_OK:
            SendMessageW(window, WM_CLOSE, 0, 0);
            return 0;
        case IDM_ABOUT:
            ShowAboutBox(window);
            return 0;
        default:
            return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
}

}  // namespace

void SetFullScreen(HWND window) {
    SHFullScreen(window, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
    MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), FALSE);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgramState& program = Program();
    if (program.messageHook != nullptr &&
        program.messageHook(program.messageHookContext, window, message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            DestroyWindow(program.menuBar);
            PostQuitMessage(0);
            return 0;
        case WM_ACTIVATE:
            SHHandleWMActivate(window, wParam, lParam, &program.activateInfo, 0);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_SETTINGCHANGE:
            SHHandleWMSettingChange(window, wParam, lParam, &program.activateInfo);
            return 0;
        case WM_COMMAND:
            return OnCommand(window, wParam, lParam);
        case WM_TIMER:
            // Whatever the timer: the game has only one.
            RunGameTick(program.match);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_MOUSEMOVE:
            // Client coordinates as two unsigned 16-bit halves.
            OnStylusMove(program.match, LOWORD(static_cast<std::uintptr_t>(lParam)),
                         HIWORD(static_cast<std::uintptr_t>(lParam)));
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
