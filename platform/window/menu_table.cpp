#include "platform/window/menu_table.h"

namespace platform::detail {

HMENU MenuTable::Add(Menu menu) {
    nextHandle_ += 4;
    HMENU handle = reinterpret_cast<HMENU>(nextHandle_);
    menus_.emplace(handle, std::make_unique<Menu>(std::move(menu)));
    return handle;
}

Menu* MenuTable::Find(HMENU handle) const {
    auto it = menus_.find(handle);
    return it == menus_.end() ? nullptr : it->second.get();
}

bool MenuTable::Destroy(HMENU handle) {
    auto it = menus_.find(handle);
    if (it == menus_.end()) {
        return false;
    }
    std::unique_ptr<Menu> menu = std::move(it->second);
    menus_.erase(it);
    for (const MenuItem& item : menu->items) {
        if (item.submenu != nullptr) {
            Destroy(item.submenu);
        }
    }
    return true;
}

MenuItem* MenuTable::FindItem(HMENU handle, UINT commandOrPosition, bool byPosition) const {
    Menu* menu = Find(handle);
    if (menu == nullptr) {
        return nullptr;
    }
    if (byPosition) {
        return commandOrPosition < menu->items.size() ? &menu->items[commandOrPosition] : nullptr;
    }
    for (MenuItem& item : menu->items) {
        if (item.submenu != nullptr) {
            if (MenuItem* inner = FindItem(item.submenu, commandOrPosition, false)) {
                return inner;
            }
        } else if (item.command == commandOrPosition && (item.flags & MF_SEPARATOR) == 0) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace platform::detail
