// The shell calls: soft-key bar, full screen, full-screen dialogs and the helpers the program
// calls for activation, setting changes and start-up.
#include "platform/window/aygshell.h"
#include "platform/window/desktop.h"
#include "platform/window/shell_windows.h"
#include "platform/window/winuser.h"

using platform::detail::Desktop;

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || info == nullptr || info->cbSize < sizeof(SHMENUBARINFO) ||
        desktop->Find(info->hwndParent) == nullptr || (info->dwFlags & SHCMBF_HMENU) != 0) {
        return FALSE;
    }
    HWND owner = desktop->tree().TopLevelOf(info->hwndParent);
    HWND bar = platform::detail::CreateSoftKeyBar(
        *desktop, owner, info->hInstRes, static_cast<WORD>(info->nToolBarId),
        (info->dwFlags & SHCMBF_EMPTYBAR) != 0, (info->dwFlags & SHCMBF_HIDDEN) != 0);
    if (bar == nullptr) {
        return FALSE;
    }
    info->hwndMB = bar;
    return TRUE;
}

BOOL SHFullScreen(HWND window, DWORD state) {
    Desktop* desktop = Desktop::Current();
    if (desktop == nullptr || desktop->Find(window) == nullptr) {
        return FALSE;
    }
    desktop->ShellHelperCalled(
        {platform::ShellHelperCall::Helper::kFullScreen, window, 0, 0, nullptr, state});
    return TRUE;
}

BOOL SHInitDialog(SHINITDLGINFO* info) {
    Desktop* desktop = Desktop::Current();
    platform::detail::Window* dialog =
        desktop == nullptr || info == nullptr ? nullptr : desktop->Find(info->hDlg);
    if (dialog == nullptr || dialog->IsChild()) {
        return FALSE;
    }
    if ((info->dwMask & SHIDIM_FLAGS) == 0) {
        return TRUE;
    }
    DWORD flags = info->dwFlags;
    HWND handle = info->hDlg;
    if ((flags & SHIDIF_DONEBUTTON) != 0) {
        if (dialog->captionHeight == 0) {
            dialog->captionHeight = desktop->metrics().CaptionHeight();
        }
        dialog->captionOkButton = true;
    }
    HWND bar = nullptr;
    if ((flags & SHIDIF_EMPTYMENU) != 0) {
        bar = platform::detail::CreateSoftKeyBar(*desktop, handle, nullptr, 0, true, false);
    }
    if ((flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_FULLSCREENNOMENUBAR)) != 0) {
        platform::ScreenSize screen = desktop->screen();
        bool leaveBar = (flags & SHIDIF_FULLSCREENNOMENUBAR) == 0 &&
                        (bar != nullptr || platform::detail::SoftKeyBarOf(*desktop, handle));
        int bottom = screen.height - (leaveBar ? desktop->metrics().MenuBarHeight() : 0);
        desktop->Move(handle, {0, 0, screen.width, bottom}, true);
    } else if ((flags & SHIDIF_DONEBUTTON) != 0) {
        desktop->Move(handle, desktop->Find(handle)->rect, true);
    }
    return TRUE;
}

BOOL SHHandleWMActivate(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info,
                        DWORD flags) {
    if (Desktop* desktop = Desktop::Current()) {
        desktop->ShellHelperCalled(
            {platform::ShellHelperCall::Helper::kActivate, window, wParam, lParam, info, flags});
    }
    return TRUE;
}

BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info) {
    if (Desktop* desktop = Desktop::Current()) {
        desktop->ShellHelperCalled(
            {platform::ShellHelperCall::Helper::kSettingChange, window, wParam, lParam, info, 0});
    }
    return TRUE;
}

BOOL SHInitExtraControls() {
    if (Desktop* desktop = Desktop::Current()) {
        desktop->ShellHelperCalled(
            {platform::ShellHelperCall::Helper::kInitExtraControls, nullptr, 0, 0, nullptr, 0});
    }
    return TRUE;
}
