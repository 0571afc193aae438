// The platform's window, message and timer calls, on the installed desktop.
#include <algorithm>

#include "platform/window/desktop.h"
#include "platform/window/winuser.h"

using platform::detail::CreateParams;
using platform::detail::Desktop;
using platform::detail::FetchResult;
using platform::detail::Window;

namespace {

Window* FindWindowOf(HWND handle) {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? nullptr : desktop->Find(handle);
}

}  // namespace

ATOM RegisterClassW(const WNDCLASSW* wc) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || wc == nullptr || wc->lpfnWndProc == nullptr ||
        wc->lpszClassName == nullptr || IS_INTRESOURCE(wc->lpszClassName) ||
        wc->lpszClassName[0] == 0 || wc->cbClsExtra < 0 || wc->cbWndExtra < 0) {
        return 0;
    }
    const platform::detail::WindowClass* added = desktop->tree().AddClass({
        .name = wc->lpszClassName,
        .atom = 0,
        .style = wc->style,
        .proc = wc->lpfnWndProc,
        .instance = wc->hInstance,
        .icon = wc->hIcon,
        .background = wc->hbrBackground,
        .classExtraBytes = wc->cbClsExtra,
        .windowExtraBytes = wc->cbWndExtra,
    });
    return added == nullptr ? 0 : added->atom;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return nullptr;
    }
    CreateParams params;
    params.exStyle = exStyle;
    params.className = className;
    params.title = windowName;
    params.style = style;
    params.x = x;
    params.y = y;
    params.width = width;
    params.height = height;
    params.parent = parent;
    params.menuOrId = menu;
    params.instance = instance;
    params.param = param;
    return desktop->Create(params);
}

BOOL DestroyWindow(HWND window) {
    Desktop* desktop = Desktop::Current();
    return desktop != nullptr && desktop->Destroy(window) ? TRUE : FALSE;
}

LONG GetWindowLongW(HWND window, int index) {
    const Window* w = FindWindowOf(window);
    if (w == nullptr) {
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return static_cast<LONG>(w->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWL_ID:
            return static_cast<LONG>(w->id);
        default:
            return 0;
    }
}

DWORD GetClassLongW(HWND window, int index) {
    const Window* w = FindWindowOf(window);
    if (w == nullptr || w->windowClass == nullptr) {
        return 0;
    }
    const platform::detail::WindowClass& c = *w->windowClass;
    switch (index) {
        case GCL_STYLE:
            return c.style;
        case GCL_CBWNDEXTRA:
            return static_cast<DWORD>(c.windowExtraBytes);
        case GCL_CBCLSEXTRA:
            return static_cast<DWORD>(c.classExtraBytes);
        default:
            return 0;
    }
}

BOOL ShowWindow(HWND window, int command) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || desktop->Find(window) == nullptr) {
        return FALSE;
    }
    bool show = command != SW_HIDE;
    bool activate = command != SW_HIDE && command != SW_SHOWNA;
    return desktop->Show(window, show, activate) ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND window) {
    Window* w = FindWindowOf(window);
    if (w == nullptr) {
        return FALSE;
    }
    if (w->invalid && w->visible) {
        Desktop::Current()->Send(window, WM_PAINT, 0, 0);
    }
    return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return FALSE;
    }
    RECT rect{x, y, x + std::max(0, width), y + std::max(0, height)};
    return desktop->Move(window, rect, repaint != FALSE) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    Window* w = FindWindowOf(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = {0, 0, w->ClientWidth(), w->ClientHeight()};
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    Window* w = FindWindowOf(window);
    if (w == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = Desktop::Current()->tree().ScreenRect(*w);
    return TRUE;
}

BOOL IsWindow(HWND window) {
    return FindWindowOf(window) != nullptr ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND window) {
    Window* w = FindWindowOf(window);
    return w != nullptr && w->visible ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND window) {
    Window* w = FindWindowOf(window);
    return w != nullptr && w->enabled ? TRUE : FALSE;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    Desktop* desktop = Desktop::Current();
    return desktop != nullptr && desktop->Enable(window, enable != FALSE) ? TRUE : FALSE;
}

int GetWindowTextW(HWND window, LPWSTR buffer, int bufferLength) {
    Window* w = FindWindowOf(window);
    if (w == nullptr || buffer == nullptr || bufferLength <= 0) {
        return 0;
    }
    int length = std::min(static_cast<int>(w->text.size()), bufferLength - 1);
    std::copy_n(w->text.begin(), length, buffer);
    buffer[length] = 0;
    return length;
}

HWND GetParent(HWND window) {
    Window* w = FindWindowOf(window);
    if (w == nullptr) {
        return nullptr;
    }
    return w->IsChild() ? w->parent : w->owner;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return nullptr;
    }
    // A class not registered here has no window here, but may have one in another process.
    const platform::detail::WindowClass* wanted =
        className == nullptr ? nullptr : desktop->tree().FindClass(className);
    if (className == nullptr || wanted != nullptr) {
        const auto& order = desktop->tree().TopLevels();
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            Window* w = desktop->Find(*it);
            if ((wanted == nullptr || w->windowClass == wanted) &&
                (windowName == nullptr || w->text == windowName)) {
                return *it;
            }
        }
    }
    // Other processes publish their windows by class name and title: both are needed to look
    // there.
    if (desktop->sharing() != nullptr && className != nullptr && !IS_INTRESOURCE(className) &&
        windowName != nullptr && windowName[0] != 0) {
        return desktop->sharing()->FindElsewhere(className, windowName);
    }
    return nullptr;
}

BOOL SetForegroundWindow(HWND window) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return FALSE;
    }
    // The lowest bit asks for the window's owned pop-up, when one is open, to take the
    // activation; owned windows always come to the front with their owner.
    const auto bits = reinterpret_cast<std::uintptr_t>(window);
    HWND handle = reinterpret_cast<HWND>(bits & ~std::uintptr_t{1});
    const bool ownedPopup = (bits & 1) != 0;
    if (desktop->sharing() != nullptr && desktop->sharing()->IsProxy(handle)) {
        return desktop->sharing()->RequestFront(handle) ? TRUE : FALSE;
    }
    return desktop->BringToForeground(handle, ownedPopup) ? TRUE : FALSE;
}

HWND GetForegroundWindow() {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? nullptr : desktop->Active();
}

HWND GetFocus() {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? nullptr : desktop->Focus();
}

HWND SetFocus(HWND window) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || (window != nullptr && desktop->Find(window) == nullptr)) {
        return nullptr;
    }
    HWND previous = desktop->Focus();
    desktop->SetFocus(window);
    return previous;
}

int GetSystemMetrics(int index) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return 0;
    }
    switch (index) {
        case SM_CXSCREEN:
            return desktop->screen().width;
        case SM_CYSCREEN:
            return desktop->screen().height;
        case SM_CXICON:
        case SM_CYICON:
            return desktop->metrics().Scale(32);
        default:
            return 0;
    }
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return FALSE;
    }
    if (window == nullptr) {
        // No window: every top-level window, whole.
        for (HWND top : desktop->tree().TopLevels()) {
            desktop->Invalidate(*desktop->Find(top), nullptr, erase != FALSE);
        }
        return TRUE;
    }
    Window* w = desktop->Find(window);
    if (w == nullptr) {
        return FALSE;
    }
    desktop->Invalidate(*w, rect, erase != FALSE);
    return TRUE;
}

BOOL ValidateRect(HWND window, const RECT* rect) {
    Window* w = FindWindowOf(window);
    if (w == nullptr) {
        return FALSE;
    }
    // The invalid region is kept as one rectangle: validating part of it validates it only when
    // the part covers it.
    if (rect == nullptr ||
        (rect->left <= w->invalidRect.left && rect->top <= w->invalidRect.top &&
         rect->right >= w->invalidRect.right && rect->bottom >= w->invalidRect.bottom)) {
        Desktop::Current()->Validate(*w);
    }
    return TRUE;
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? 0 : desktop->Send(window, message, wParam, lParam);
}

BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    return desktop != nullptr && desktop->Post(window, message, wParam, lParam) ? TRUE : FALSE;
}

void PostQuitMessage(int exitCode) {
    if (Desktop* desktop = Desktop::Current()) {
        desktop->PostQuit(exitCode);
    }
}

BOOL GetMessageW(MSG* msg, HWND window, UINT firstMessage, UINT lastMessage) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || msg == nullptr ||
        (window != nullptr && window != reinterpret_cast<HWND>(-1) &&
         desktop->Find(window) == nullptr)) {
        return -1;
    }
    FetchResult result = desktop->Fetch(*msg, window, firstMessage, lastMessage, true, true);
    return result == FetchResult::Quit ? FALSE : TRUE;
}

BOOL PeekMessageW(MSG* msg, HWND window, UINT firstMessage, UINT lastMessage, UINT removeFlags) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || msg == nullptr) {
        return FALSE;
    }
    FetchResult result = desktop->Fetch(*msg, window, firstMessage, lastMessage,
                                        (removeFlags & PM_REMOVE) != 0, false);
    return result == FetchResult::Nothing ? FALSE : TRUE;
}

namespace {

// The character a key types, given the Shift and Control state; 0 when it types none.
WCHAR CharacterOf(UINT key, bool shift, bool control) {
    if (key >= 'A' && key <= 'Z') {
        if (control) {
            return static_cast<WCHAR>(key - 'A' + 1);
        }
        return static_cast<WCHAR>(shift ? key : key + ('a' - 'A'));
    }
    if (control) {
        return 0;
    }
    if (key >= '0' && key <= '9' && !shift) {
        return static_cast<WCHAR>(key);
    }
    switch (key) {
        case VK_SPACE:
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_BACK:
        case VK_TAB:
            return static_cast<WCHAR>(key);
        default:
            return 0;
    }
}

}  // namespace

BOOL TranslateMessage(const MSG* msg) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || msg == nullptr || msg->message != WM_KEYDOWN) {
        return FALSE;
    }
    WCHAR c = CharacterOf(static_cast<UINT>(msg->wParam), desktop->KeyDown(VK_SHIFT),
                          desktop->KeyDown(VK_CONTROL));
    if (c != 0) {
        desktop->Post(msg->hwnd, WM_CHAR, c, msg->lParam);
    }
    return TRUE;
}

LRESULT DispatchMessageW(const MSG* msg) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || msg == nullptr) {
        return 0;
    }
    return desktop->Dispatch(*msg);
}

SHORT GetKeyState(int virtualKey) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr) {
        return 0;
    }
    // The high bit says the key is down.
    return desktop->KeyDown(static_cast<UINT>(virtualKey) & 0xFF) ? static_cast<SHORT>(0x8000) : 0;
}

DWORD GetTickCount() {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? 0 : static_cast<DWORD>(desktop->Now());
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || (window != nullptr && desktop->Find(window) == nullptr)) {
        return 0;
    }
    return desktop->timers().Set(window, id, elapse, callback, desktop->Now());
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    Desktop* desktop = Desktop::Current();
    return desktop != nullptr && desktop->timers().Kill(window, id) ? TRUE : FALSE;
}
