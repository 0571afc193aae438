// Dialogs and their controls as the window manager sees them: the dialog class, the static and
// button control classes, and the state a dialog keeps (its procedure, its font and dialog base
// units, the result EndDialog gives).
#pragma once

#include "platform/window/chrome.h"
#include "platform/window/desktop.h"

namespace platform::detail {

struct DialogState : WindowExtension {
    DLGPROC proc = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    chrome::Font font;
    // Dialog base units: a dialog unit is a quarter of baseX across and an eighth of baseY down.
    int baseX = 0;
    int baseY = 0;
};

void RegisterDialogClasses(Desktop& desktop);
void RegisterControlClasses(Desktop& desktop);

// The font a control draws its text in: its dialog's font, or the chrome's default.
chrome::Font ControlFont(Desktop& desktop, HWND control);

// Base units of a dialog font: the average width of the alphabet, rounded as the platform does,
// and the line height.
void MeasureBaseUnits(const chrome::Font& font, int* baseX, int* baseY);

}  // namespace platform::detail
