// Menus behind HMENU handles: rows of items, each a command or a pop-up holding another menu.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/window_types.h"

namespace platform::detail {

struct MenuItem {
    UINT command = 0;
    std::u16string text;
    UINT flags = 0;  // MF_CHECKED, MF_GRAYED, MF_SEPARATOR
    HMENU submenu = nullptr;
};

struct Menu {
    std::vector<MenuItem> items;
};

class MenuTable {
  public:
    HMENU Add(Menu menu);
    Menu* Find(HMENU handle) const;
    // Destroys the menu and the pop-ups it holds.
    bool Destroy(HMENU handle);
    // The item with this command in the menu or any pop-up below it, or the item at this
    // position of the menu itself.
    MenuItem* FindItem(HMENU handle, UINT commandOrPosition, bool byPosition) const;

  private:
    std::map<HMENU, std::unique_ptr<Menu>> menus_;
    std::uintptr_t nextHandle_ = 0x20000;
};

}  // namespace platform::detail
