#include "platform/win32/device_shell.h"

#include "platform/display/density.h"
#include "platform/win32/device_screen.h"
#include "platform/win32/soft_key_bar.h"

namespace {

// Escape, which the device did not have, dismisses a desktop dialog: in a dialog without a
// Cancel button it presses the close box that stands for the device's Done button, so the
// dialog closes as it does from there.
LRESULT CALLBACK EscapeIsDone(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
        const HWND dialog = GetAncestor(message->hwnd, GA_ROOT);
        const bool closeBox = (GetWindowLongPtrW(dialog, GWL_STYLE) & WS_SYSMENU) != 0;
        const bool controlTakesIt =
            (SendMessageW(message->hwnd, WM_GETDLGCODE, VK_ESCAPE, lParam) & DLGC_WANTALLKEYS) != 0;
        if (closeBox && GetDlgItem(dialog, IDCANCEL) == nullptr && !controlTakesIt) {
            PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The filter of the modal dialogs' message loops of this thread (the program's only one), from
// the first dialog with a Done button on.
class DialogKeyFilter {
  public:
    DialogKeyFilter()
        : hook_(SetWindowsHookExW(WH_MSGFILTER, EscapeIsDone, nullptr, GetCurrentThreadId())) {}
    DialogKeyFilter(const DialogKeyFilter&) = delete;
    DialogKeyFilter& operator=(const DialogKeyFilter&) = delete;
    ~DialogKeyFilter() {
        if (hook_ != nullptr) {
            UnhookWindowsHookEx(hook_);
        }
    }

  private:
    HHOOK hook_;
};

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) || !IsWindow(info->hwndParent)) {
        return FALSE;
    }
    platform::win32::AdoptMainWindow(info->hwndParent);
    const HWND bar =
        platform::win32::CreateSoftKeyBar(info->hwndParent, info->hInstRes, info->nToolBarId);
    if (bar == nullptr) {
        return FALSE;
    }
    platform::win32::AttachSoftKeyBar(bar);
    info->hwndMB = bar;
    return TRUE;
}

BOOL SHFullScreen(HWND window, DWORD /*state*/) {
    if (!IsWindow(window)) {
        return FALSE;
    }
    if (platform::win32::DeviceMainWindow() == nullptr) {
        platform::win32::AdoptMainWindow(window);
    }
    return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
    if (info == nullptr || !IsWindow(info->hDlg)) {
        return FALSE;
    }
    if ((info->dwMask & SHIDIM_FLAGS) == 0) {
        return TRUE;
    }
    const HWND dialog = info->hDlg;
    if ((info->dwFlags & SHIDIF_DONEBUTTON) != 0) {
        // The desktop's close box stands for the device's Done button in the caption, and
        // Escape presses it.
        static const DialogKeyFilter filter;
        SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_SYSMENU);
        SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    if ((info->dwFlags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) != 0) {
        // Over the device screen as its window shows it, the soft-key bar's strip included
        // when the dialog is full screen.
        RECT screen = platform::win32::DeviceScreenOnDesktop();
        if ((info->dwFlags & SHIDIF_SIZEDLGFULLSCREEN) == 0) {
            const platform::ScreenSize device = platform::win32::DeviceScreenSize();
            screen.bottom -= (screen.bottom - screen.top) *
                             platform::MetricsFor(device).MenuBarHeight() / device.height;
        }
        MoveWindow(dialog, screen.left, screen.top, screen.right - screen.left,
                   screen.bottom - screen.top, TRUE);
    }
    return TRUE;
}

BOOL SHHandleWMActivate(HWND, WPARAM, LPARAM, SHACTIVATEINFO* info, DWORD) {
    return info != nullptr ? TRUE : FALSE;
}

BOOL SHHandleWMSettingChange(HWND, WPARAM, LPARAM, SHACTIVATEINFO* info) {
    return info != nullptr ? TRUE : FALSE;
}

BOOL SHInitExtraControls() {
    return TRUE;
}
