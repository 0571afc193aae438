// Reading and changing menus: pop-ups, items, check marks.
#include "platform/window/desktop.h"
#include "platform/window/winuser.h"

using platform::detail::Desktop;
using platform::detail::Menu;
using platform::detail::MenuItem;

namespace {

Menu* FindMenu(HMENU menu) {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? nullptr : desktop->menus().Find(menu);
}

MenuItem* FindItem(HMENU menu, UINT item, UINT flags) {
    Desktop* desktop = Desktop::Current();
    return desktop == nullptr ? nullptr
                              : desktop->menus().FindItem(menu, item, (flags & MF_BYPOSITION) != 0);
}

}  // namespace

BOOL DestroyMenu(HMENU menu) {
    Desktop* desktop = Desktop::Current();
    return desktop != nullptr && desktop->menus().Destroy(menu) ? TRUE : FALSE;
}

HMENU GetSubMenu(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || position < 0 || static_cast<std::size_t>(position) >= m->items.size()) {
        return nullptr;
    }
    return m->items[position].submenu;
}

int GetMenuItemCount(HMENU menu) {
    Menu* m = FindMenu(menu);
    return m == nullptr ? -1 : static_cast<int>(m->items.size());
}

UINT GetMenuItemID(HMENU menu, int position) {
    Menu* m = FindMenu(menu);
    if (m == nullptr || position < 0 || static_cast<std::size_t>(position) >= m->items.size() ||
        m->items[position].submenu != nullptr) {
        return static_cast<UINT>(-1);
    }
    return m->items[position].command;
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
    MenuItem* found = FindItem(menu, item, flags);
    if (found == nullptr) {
        return static_cast<DWORD>(-1);
    }
    DWORD previous = found->flags & MF_CHECKED;
    found->flags = (found->flags & ~MF_CHECKED) | (flags & MF_CHECKED);
    // An open pop-up showing the item draws the new mark.
    Desktop* desktop = Desktop::Current();
    if (platform::detail::Window* popup = desktop->Find(desktop->OpenPopup())) {
        desktop->Invalidate(*popup, nullptr, false);
    }
    return previous;
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuItem* found = FindItem(menu, item, flags);
    if (found == nullptr) {
        return static_cast<UINT>(-1);
    }
    return found->flags & (MF_CHECKED | MF_GRAYED | MF_SEPARATOR | MF_POPUP);
}
