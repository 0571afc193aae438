#include "app/win_main.h"

#include <cstdint>

#include "app/main_window.h"
#include "app/program_state.h"
#include "platform/gdi/gdi.h"
#include "platform/window/aygshell.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kMaxLoadString = 100;

}  // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance, LPCWSTR className) {
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(resources::IDI_TARVEL));
    windowClass.hCursor = nullptr;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    return RegisterClassW(&windowClass);
}

// Run once, at the start: cold, so never compiled into the loop below.
[[gnu::cold]] BOOL InitInstance(HINSTANCE instance, int showCommand) {
    ProgramState& program = Program();
    program.instance = instance;
    SHInitExtraControls();

    WCHAR title[kMaxLoadString];
    WCHAR className[kMaxLoadString];
    LoadStringW(instance, resources::IDS_APP_TITLE, title, kMaxLoadString);
    LoadStringW(instance, resources::IDS_WINDOW_CLASS, className, kMaxLoadString);

    // One game at a time: a second start brings the first one forward and leaves.
    const HWND running = FindWindowW(className, title);
    if (running != nullptr) {
        SetForegroundWindow(
            reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(running) | 0x1));
        return FALSE;
    }

    if (RegisterMainWindowClass(instance, className) == 0) {
        return FALSE;
    }
    const HWND window =
        CreateWindowExW(0, className, title, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return FALSE;
    }

    // The window ends where the soft-key bar begins, so the first paint measures a pitch that
    // the bar does not cover.
    if (program.menuBar != nullptr) {
        RECT windowRect;
        RECT menuBarRect;
        GetWindowRect(window, &windowRect);
        GetWindowRect(program.menuBar, &menuBarRect);
        windowRect.bottom -= menuBarRect.bottom - menuBarRect.top;
        MoveWindow(window, windowRect.left, windowRect.top, windowRect.right - windowRect.left,
                   windowRect.bottom - windowRect.top, FALSE);
    }

    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return TRUE;
}

// A function of its own, not merged into the entry point that calls it: the loop is the hot code
// that a browser compiles a second time, optimised, and the entry point's start-up would be
// compiled with it.
[[gnu::noinline]] int WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/,
                              LPWSTR /*commandLine*/, int showCommand) {
    if (!InitInstance(instance, showCommand)) {
        return 0;
    }
    const HACCEL accelerators =
        LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resources::IDC_ACCELERATORS));

    MSG msg{};
    // GetMessageW returns -1 on an error; looping on it would spin, so only a positive result
    // goes on.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    // The surfaces and the last brush; the bitmaps and the background's brush end with the
    // process.
    PaintResources& paint = Program().paint;
    DeleteDC(paint.frameSurface);
    DeleteDC(paint.backgroundSurface);
    DeleteObject(paint.currentBrush);
    return static_cast<int>(msg.wParam);
}
