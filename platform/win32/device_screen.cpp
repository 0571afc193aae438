#include "platform/win32/device_screen.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display/density.h"
#include "platform/display/letterbox.h"
#include "platform/win32/device_redirect.h"
#include "platform/win32/message_input.h"
#include "platform/win32/screen_layout.h"

// This file defines the redirected functions and calls the real ones.
#undef GetSystemMetrics
#undef SetForegroundWindow
#undef MoveWindow
#undef GetWindowRect
#undef GetClientRect
#undef BeginPaint
#undef EndPaint

namespace platform::win32 {
namespace {

// Sent when the window moves to a monitor of another pixel density, with the size Windows
// suggests for it there.
constexpr UINT kDpiChanged = 0x02E0;

// Asks the main window of another start of the program to come forward; wParam is 1 for the
// dialog it has open, if any.
UINT ComeForwardMessage() {
    static const UINT message = RegisterWindowMessageW(L"Tarvel.ComeForward");
    return message;
}

// After a window came forward under Wine, the check that it has the keyboard focus.
constexpr UINT_PTR kFocusAgainTimer = 0x7A72;
constexpr UINT kFocusAgainDelayMs = 200;

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Brings `window`, or the dialog it has open when `withPopup`, in front of every other program's
// window with the keyboard focus, restored if it was minimised.
BOOL ComeForward(HWND window, bool withPopup) {
    const HWND popup = withPopup ? GetLastActivePopup(window) : nullptr;
    const HWND front = popup != nullptr ? popup : window;
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    } else if (UnderWine()) {
        // On an X desktop the window manager alone gives a program the keyboard focus, and Wine
        // asks it to only for a window being shown: hidden and shown again, in the same place.
        ShowWindow(window, SW_HIDE);
        ShowWindow(window, SW_SHOWNA);
        // Without a window manager, the focus that hiding moved away comes back only when
        // asked for, once Wine has heard it went.
        SetTimer(window, kFocusAgainTimer, kFocusAgainDelayMs, nullptr);
    }
    // Above every other program's window too, with the windows it owns: a window already first
    // among its own program's is not moved by HWND_TOP, so it goes on top of all and back among
    // the rest, still first.
    constexpr UINT kOrderOnly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kOrderOnly);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kOrderOnly);
    return ::SetForegroundWindow(front);
}

// The screen the game draws into: a top-down 32-bit DIB section selected into a memory device
// context, so bitmaps made compatible with it are of the same format.
class ScreenBuffer {
  public:
    ScreenBuffer() = default;
    ScreenBuffer(const ScreenBuffer&) = delete;
    ScreenBuffer& operator=(const ScreenBuffer&) = delete;
    ~ScreenBuffer() { Release(); }

    HDC Context(ScreenSize size) {
        if (context_ == nullptr) {
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = size.width;
            info.bmiHeader.biHeight = -size.height;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            context_ = CreateCompatibleDC(nullptr);
            if (bitmap_ == nullptr || context_ == nullptr) {
                Release();
                return nullptr;
            }
            displaced_ = SelectObject(context_, bitmap_);
        }
        return context_;
    }

  private:
    void Release() {
        if (context_ != nullptr) {
            SelectObject(context_, displaced_);
            DeleteDC(context_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        context_ = nullptr;
        bitmap_ = nullptr;
    }

    HDC context_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ displaced_ = nullptr;
};

struct DeviceScreen {
    DeviceScreenOptions options;
    HWND main = nullptr;
    WNDPROC programProc = nullptr;
    // The main window's rectangle on the device screen.
    RECT mainOnDevice{};
    HWND softKeyBar = nullptr;
    ScreenBuffer buffer;
    // The real paint under way while the game paints into the buffer.
    PAINTSTRUCT windowPaint{};
    bool painting = false;
    InputRules rules;
    // Full screen: the frame and place to go back to.
    bool fullscreen = false;
    LONG_PTR windowedStyle = 0;
    WINDOWPLACEMENT windowedPlacement{};
};

DeviceScreen& Screen() {
    static DeviceScreen screen;
    return screen;
}

ScreenSize ClientSize(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

ScreenLayout CurrentLayout() {
    const DeviceScreen& screen = Screen();
    return LayOutScreen(ClientSize(screen.main), screen.options.screen);
}

void PlaceSoftKeyBar() {
    const DeviceScreen& screen = Screen();
    if (screen.softKeyBar == nullptr) {
        return;
    }
    const RECT bar = CurrentLayout().softKeyBar;
    ::MoveWindow(screen.softKeyBar, bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top,
                 TRUE);
}

// The device pixel under a client position of the main window, clamped to the screen's edge
// over the bars.
std::optional<DevicePoint> DeviceAt(LPARAM clientPosition) {
    const DeviceScreen& screen = Screen();
    // Signed: a captured pointer left of or above the window reports negative positions.
    const int x = static_cast<SHORT>(LOWORD(clientPosition));
    const int y = static_cast<SHORT>(HIWORD(clientPosition));
    return DrawableToDevice({x + 0.5, y + 0.5}, CurrentLayout().box.image, screen.options.screen);
}

MONITORINFO MonitorOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor;
}

// The density of the monitor the window is on. GetDpiForWindow (Windows 10 and later) knows it
// per monitor; before it, the system's one density is all there is.
int MonitorDpi(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    if (const HMODULE user = GetModuleHandleW(L"user32.dll")) {
        const auto dpiForWindow = reinterpret_cast<DpiForWindow>(
            reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")));
        if (dpiForWindow != nullptr) {
            return static_cast<int>(dpiForWindow(window));
        }
    }
    const HDC context = GetDC(window);
    const int dpi = GetDeviceCaps(context, LOGPIXELSY);
    ReleaseDC(window, context);
    return dpi;
}

// The window sized so its client area shows the screen at the configured scale, centred in the
// monitor's work area.
void SizeWindowed(HWND window) {
    const DeviceScreen& screen = Screen();
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    const RECT work = MonitorOf(window).rcWork;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const ScreenSize usable{(work.right - work.left) - (frame.right - frame.left),
                            (work.bottom - work.top) - (frame.bottom - frame.top)};
    const int scale =
        screen.options.scale > 0 ? screen.options.scale : DefaultScale(MonitorDpi(window));
    const ScreenSize client = InitialWindowSize(screen.options.screen, scale, usable);
    const int width = client.width + (frame.right - frame.left);
    const int height = client.height + (frame.bottom - frame.top);
    SetWindowPos(window, nullptr,
                 work.left + std::max<LONG>(0, (work.right - work.left - width) / 2),
                 work.top + std::max<LONG>(0, (work.bottom - work.top - height) / 2), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// Input goes through the rules every host follows; what they let through reaches the program,
// but for the full-screen keys, which are the desktop window's, and the soft keys, which are the
// bar's.
LRESULT FollowInputRules(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                         const RawInput& input) {
    DeviceScreen& screen = Screen();
    if (input.kind == RawInputKind::KeyDown || input.kind == RawInputKind::KeyUp) {
        switch (screen.rules.TakeWindowKey(input, AltHeld(lParam))) {
            case InputRules::WindowKey::ToggleFullScreen:
                SetDesktopFullScreen(!screen.fullscreen);
                return 0;
            case InputRules::WindowKey::Taken:
                return 0;
            case InputRules::WindowKey::No:
                break;
        }
    }
    std::vector<InputEvent> out;
    screen.rules.Apply(input, out);
    for (const InputEvent& event : out) {
        if (event.kind == InputKind::KeyDown && (event.key == VK_F1 || event.key == VK_F2) &&
            screen.softKeyBar != nullptr) {
            SendMessageW(screen.softKeyBar, WM_KEYDOWN, event.key, 0);
            continue;
        }
        const ProgramMessage given = MessageOf(event, message, wParam, lParam);
        CallWindowProcW(screen.programProc, window, given.message, given.wParam, given.lParam);
    }
    // The program hears of the lost keyboard itself too.
    return input.kind == RawInputKind::FocusLost
               ? CallWindowProcW(screen.programProc, window, message, wParam, lParam)
               : 0;
}

// What the desktop needs of the main window before the game's procedure sees a message.
LRESULT CALLBACK DesktopWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DeviceScreen& screen = Screen();
    if (message == ComeForwardMessage()) {
        ComeForward(window, wParam != 0);
        return 0;
    }
    if (message == WM_TIMER && wParam == kFocusAgainTimer) {
        KillTimer(window, kFocusAgainTimer);
        const HWND front = GetLastActivePopup(window);
        if (GetForegroundWindow() != front) {
            ::SetForegroundWindow(front);
        }
        return 0;
    }
    const bool pointer =
        message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP;
    if (const std::optional<RawInput> input =
            RawInputOf(message, wParam, lParam, pointer ? DeviceAt(lParam) : std::nullopt)) {
        return FollowInputRules(window, message, wParam, lParam, *input);
    }
    switch (message) {
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            // Every paint covers the whole client area: the screen and its bars.
            return 1;
        case WM_SIZE:
            PlaceSoftKeyBar();
            InvalidateRect(window, nullptr, FALSE);
            break;
        case kDpiChanged: {
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            break;
    }
    return CallWindowProcW(screen.programProc, window, message, wParam, lParam);
}

void FillBars(HDC context, ScreenSize client, const PixelRect& image) {
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    for (const PixelRect& bar : Bars(client, image)) {
        if (!bar.Empty()) {
            const RECT rect{bar.x, bar.y, bar.x + bar.width, bar.y + bar.height};
            FillRect(context, &rect, black);
        }
    }
}

}  // namespace

void ConfigureDeviceScreen(const DeviceScreenOptions& options) {
    Screen().options = options;
}

ScreenSize DeviceScreenSize() {
    return Screen().options.screen;
}

HWND DeviceMainWindow() {
    return Screen().main;
}

void AdoptMainWindow(HWND window) {
    DeviceScreen& screen = Screen();
    if (window == nullptr || screen.main == window) {
        return;
    }
    screen.main = window;
    screen.mainOnDevice = {0, 0, screen.options.screen.width, screen.options.screen.height};
    // A desktop window's frame: a caption with the system menu, a sizing border, minimise and
    // maximise boxes. The children (the soft-key bar) are not painted over.
    const LONG_PTR visible = GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrW(window, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | visible);
    screen.programProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DesktopWindowProc)));
    SizeWindowed(window);
    if (screen.options.fullscreen) {
        SetDesktopFullScreen(true);
    }
}

void AttachSoftKeyBar(HWND bar) {
    Screen().softKeyBar = bar;
    PlaceSoftKeyBar();
}

RECT DeviceScreenOnDesktop() {
    const DeviceScreen& screen = Screen();
    if (screen.main == nullptr) {
        return {0, 0, screen.options.screen.width, screen.options.screen.height};
    }
    const PixelRect image = CurrentLayout().box.image;
    POINT corner{image.x, image.y};
    ClientToScreen(screen.main, &corner);
    return {corner.x, corner.y, corner.x + image.width, corner.y + image.height};
}

void SetDesktopFullScreen(bool on) {
    DeviceScreen& screen = Screen();
    const HWND window = screen.main;
    if (window == nullptr || on == screen.fullscreen) {
        return;
    }
    screen.fullscreen = on;
    if (on) {
        screen.windowedStyle = GetWindowLongPtrW(window, GWL_STYLE);
        screen.windowedPlacement.length = sizeof screen.windowedPlacement;
        GetWindowPlacement(window, &screen.windowedPlacement);
        const RECT monitor = MonitorOf(window).rcMonitor;
        SetWindowLongPtrW(window, GWL_STYLE,
                          (screen.windowedStyle & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
        SetWindowPos(window, HWND_TOP, monitor.left, monitor.top, monitor.right - monitor.left,
                     monitor.bottom - monitor.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
    } else {
        SetWindowLongPtrW(window, GWL_STYLE, screen.windowedStyle);
        SetWindowPlacement(window, &screen.windowedPlacement);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
}

bool IsDesktopFullScreen() {
    return Screen().fullscreen;
}

// The game's view of the platform.

int DeviceGetSystemMetrics(int index) {
    const ScreenSize size = Screen().options.screen;
    switch (index) {
        case SM_CXSCREEN:
            return size.width;
        case SM_CYSCREEN:
            return size.height;
        default:
            return ::GetSystemMetrics(index);
    }
}

BOOL DeviceSetForegroundWindow(HWND window) {
    const auto bits = reinterpret_cast<std::uintptr_t>(window);
    const auto target = reinterpret_cast<HWND>(bits & ~std::uintptr_t{1});
    if (!IsWindow(target)) {
        return FALSE;
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(target, &owner);
    if (owner != GetCurrentProcessId()) {
        // Windows lets a program take the foreground only while the person is using it: this one
        // was just started, so it hands its turn to the running one, which comes forward itself.
        AllowSetForegroundWindow(owner);
        return PostMessageW(target, ComeForwardMessage(), bits & 1, 0);
    }
    return ComeForward(target, (bits & 1) != 0);
}

BOOL DeviceMoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    DeviceScreen& screen = Screen();
    if (window == nullptr || window != screen.main) {
        return ::MoveWindow(window, x, y, width, height, repaint);
    }
    screen.mainOnDevice = {x, y, x + width, y + height};
    if (repaint) {
        InvalidateRect(window, nullptr, TRUE);
    }
    return TRUE;
}

BOOL DeviceGetWindowRect(HWND window, RECT* rect) {
    const DeviceScreen& screen = Screen();
    if (rect == nullptr || window == nullptr) {
        return ::GetWindowRect(window, rect);
    }
    if (window == screen.main) {
        *rect = screen.mainOnDevice;
        return TRUE;
    }
    if (window == screen.softKeyBar) {
        const ScreenSize size = screen.options.screen;
        *rect = {0, size.height - MetricsFor(size).MenuBarHeight(), size.width, size.height};
        return TRUE;
    }
    return ::GetWindowRect(window, rect);
}

BOOL DeviceGetClientRect(HWND window, RECT* rect) {
    const DeviceScreen& screen = Screen();
    if (rect == nullptr || window == nullptr || window != screen.main) {
        return ::GetClientRect(window, rect);
    }
    *rect = {0, 0, screen.mainOnDevice.right - screen.mainOnDevice.left,
             screen.mainOnDevice.bottom - screen.mainOnDevice.top};
    return TRUE;
}

HDC DeviceBeginPaint(HWND window, PAINTSTRUCT* paint) {
    DeviceScreen& screen = Screen();
    if (window == nullptr || window != screen.main || paint == nullptr || screen.painting) {
        return ::BeginPaint(window, paint);
    }
    if (::BeginPaint(window, &screen.windowPaint) == nullptr) {
        return nullptr;
    }
    const HDC context = screen.buffer.Context(screen.options.screen);
    if (context == nullptr) {
        ::EndPaint(window, &screen.windowPaint);
        return nullptr;
    }
    screen.painting = true;
    *paint = screen.windowPaint;
    paint->hdc = context;
    RECT device{};
    DeviceGetClientRect(window, &device);
    paint->rcPaint = device;
    return context;
}

BOOL DeviceEndPaint(HWND window, const PAINTSTRUCT* paint) {
    DeviceScreen& screen = Screen();
    if (window == nullptr || window != screen.main || !screen.painting) {
        return ::EndPaint(window, paint);
    }
    screen.painting = false;
    const HDC target = screen.windowPaint.hdc;
    const ScreenSize client = ClientSize(window);
    const ScreenSize device = screen.options.screen;
    const ScreenLayout layout = LayOutScreen(client, device);
    const PixelRect& image = layout.box.image;
    if (!image.Empty()) {
        // Whole factors copy each device pixel to a crisp square; in between, the system's
        // averaging keeps the picture even.
        if (layout.box.exact) {
            SetStretchBltMode(target, COLORONCOLOR);
        } else {
            SetStretchBltMode(target, HALFTONE);
            SetBrushOrgEx(target, 0, 0, nullptr);
        }
        StretchBlt(target, image.x, image.y, image.width, image.height,
                   screen.buffer.Context(device), 0, 0, device.width, device.height, SRCCOPY);
    }
    FillBars(target, client, image);
    return ::EndPaint(window, &screen.windowPaint);
}

}  // namespace platform::win32
