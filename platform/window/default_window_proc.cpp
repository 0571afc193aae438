// The default handling of messages, and painting through the drawing interface: the paint device
// context of BeginPaint draws into the window's client pixels.
#include "platform/gdi/gdi.h"
#include "platform/gdi/surface_dc.h"
#include "platform/window/chrome.h"
#include "platform/window/desktop.h"
#include "platform/window/winuser.h"

using platform::detail::Desktop;
using platform::detail::Window;

namespace {

// Press, drag and release of the OK button in a caption; a release on it sends IDOK.
LRESULT CaptionButton(Desktop& desktop, HWND handle, UINT message, LPARAM lParam) {
    Window* window = desktop.Find(handle);
    if (!window->captionOkButton) {
        return 0;
    }
    RECT screen = desktop.tree().ScreenRect(*window);
    RECT ok = platform::detail::chrome::CaptionOkButton(*window, desktop.metrics());
    int x = GET_X_LPARAM(lParam) - screen.left;
    int y = GET_Y_LPARAM(lParam) - screen.top;
    bool onButton = x >= ok.left && x < ok.right && y >= ok.top && y < ok.bottom;
    if (message == WM_NCLBUTTONDOWN) {
        window->captionOkTracking = onButton;
        window->captionOkPressed = onButton;
    } else if (message == WM_NCMOUSEMOVE) {
        window->captionOkPressed = window->captionOkTracking && onButton;
    } else {
        bool clicked = window->captionOkTracking && onButton;
        window->captionOkTracking = false;
        window->captionOkPressed = false;
        if (clicked) {
            desktop.Send(handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
    }
    return 0;
}

}  // namespace

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Desktop* desktop = Desktop::Current();
    Window* w = desktop == nullptr ? nullptr : desktop->Find(window);
    if (w == nullptr) {
        return 0;
    }
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_ERASEBKGND: {
            HBRUSH brush = w->windowClass->background;
            if (brush == nullptr) {
                return 0;
            }
            RECT client{0, 0, w->ClientWidth(), w->ClientHeight()};
            return FillRect(reinterpret_cast<HDC>(wParam), &client, brush) != 0 ? 1 : 0;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps{};  // EndPaint reads it even when BeginPaint fails
            BeginPaint(window, &ps);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_NCLBUTTONDOWN:
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONUP:
            return CaptionButton(*desktop, window, message, lParam);
        default:
            return 0;
    }
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    Desktop* desktop = Desktop::Current();
    Window* w = desktop == nullptr ? nullptr : desktop->Find(window);
    if (w == nullptr || paint == nullptr) {
        return nullptr;
    }
    bool erase = false;
    RECT area = desktop->BeginSurfacePaint(*w, &erase);
    HDC dc = w->surface ? platform::CreateSurfaceDC(w->surface.get()) : nullptr;
    bool erased = false;
    if (erase && dc != nullptr) {
        erased = desktop->Send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->fErase = erase && !erased ? TRUE : FALSE;
    paint->rcPaint = area;
    if (dc == nullptr) {
        desktop->EndSurfacePaint(window);
    }
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || paint == nullptr || paint->hdc == nullptr) {
        return FALSE;
    }
    DeleteDC(paint->hdc);
    desktop->EndSurfacePaint(window);
    return TRUE;
}
