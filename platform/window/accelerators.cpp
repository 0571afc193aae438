// Keyboard accelerators: a key pressed with the right modifiers becomes a WM_COMMAND.
#include "platform/window/desktop.h"
#include "platform/window/resource_registry.h"
#include "platform/window/winuser.h"

using platform::detail::Desktop;

int TranslateAcceleratorW(HWND window, HACCEL accelerators, MSG* msg) {
    Desktop* desktop = Desktop::Current();
    const platform::detail::AcceleratorTable* table =
        platform::detail::ResourceRegistry::Instance().FindAccelerators(accelerators);
    if (desktop == nullptr || table == nullptr || msg == nullptr || window == nullptr ||
        desktop->Find(window) == nullptr) {
        return 0;
    }
    bool keyMessage = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    if (!keyMessage && msg->message != WM_CHAR) {
        return 0;
    }
    bool shift = desktop->KeyDown(VK_SHIFT);
    bool control = desktop->KeyDown(VK_CONTROL);
    bool alt = desktop->KeyDown(VK_MENU);
    for (const ACCEL& entry : table->entries) {
        bool matches = false;
        if ((entry.fVirt & FVIRTKEY) != 0) {
            // A virtual-key entry wants exactly the modifiers it names.
            matches =
                keyMessage && msg->wParam == entry.key && shift == ((entry.fVirt & FSHIFT) != 0) &&
                control == ((entry.fVirt & FCONTROL) != 0) && alt == ((entry.fVirt & FALT) != 0);
        } else {
            matches = msg->message == WM_CHAR && msg->wParam == entry.key;
        }
        if (matches) {
            // High word 1: the command came from an accelerator.
            desktop->Send(window, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
            return 1;
        }
    }
    return 0;
}
