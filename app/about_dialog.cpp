#include "app/about_dialog.h"

#include "platform/window/aygshell.h"

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG: {
            // A Done button in the caption, full-screen size, no input panel, an empty bar.
            SHINITDLGINFO init{};
            init.dwMask = SHIDIM_FLAGS;
            init.hDlg = dialog;
            init.dwFlags =
                SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_EMPTYMENU;
            SHInitDialog(&init);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            // The message number is the result.
            EndDialog(dialog, WM_CLOSE);
            return TRUE;
        default:
            return FALSE;
    }
}
