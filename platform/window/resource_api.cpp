// Loading resources from a registered module: strings, icons, accelerator tables, menus, and
// resource blocks (dialog templates, raw data) by type and name.
#include <algorithm>

#include "platform/window/desktop.h"
#include "platform/window/resource_registry.h"
#include "platform/window/winuser.h"

using platform::detail::Desktop;
using platform::detail::LoadedModule;
using platform::detail::ResourceRegistry;

namespace {

LoadedModule* ModuleOf(HINSTANCE instance) {
    return ResourceRegistry::Instance().Find(instance);
}

}  // namespace

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferLength) {
    LoadedModule* loaded = ModuleOf(instance);
    if (loaded == nullptr || buffer == nullptr || bufferLength < 0) {
        return 0;
    }
    const auto& strings = loaded->module->strings;
    auto it = std::find_if(strings.begin(), strings.end(),
                           [&](const platform::StringResource& s) { return s.id == id; });
    if (it == strings.end()) {
        return 0;
    }
    if (bufferLength == 0) {
        // The buffer receives a read-only pointer to the string itself.
        *reinterpret_cast<LPCWSTR*>(buffer) = it->text.data();
        return static_cast<int>(it->text.size());
    }
    // As much as fits with the terminating zero.
    int length = std::min(static_cast<int>(it->text.size()), bufferLength - 1);
    std::copy_n(it->text.begin(), length, buffer);
    buffer[length] = 0;
    return length;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
    LoadedModule* loaded = ModuleOf(instance);
    if (loaded == nullptr || name == nullptr || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    WORD id = RESOURCE_ID(name);
    // Icons are shared: every load of the same icon gives the same handle.
    for (const auto& [made, icon] : loaded->icons) {
        if (made == id) {
            return reinterpret_cast<HICON>(icon.get());
        }
    }
    for (const platform::IconResource& resource : loaded->module->icons) {
        if (resource.id == id) {
            auto icon = platform::detail::RenderIcon(resource);
            if (!icon) {
                return nullptr;
            }
            loaded->icons.emplace_back(id, std::move(icon));
            return reinterpret_cast<HICON>(loaded->icons.back().second.get());
        }
    }
    return nullptr;
}

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name) {
    LoadedModule* loaded = ModuleOf(instance);
    if (loaded == nullptr || name == nullptr || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    WORD id = RESOURCE_ID(name);
    for (const auto& [made, table] : loaded->accelerators) {
        if (made == id) {
            return reinterpret_cast<HACCEL>(table.get());
        }
    }
    for (const platform::AcceleratorTableResource& resource : loaded->module->accelerators) {
        if (resource.id != id) {
            continue;
        }
        auto table = std::make_unique<platform::detail::AcceleratorTable>();
        for (const ACCEL& entry : resource.entries) {
            table->entries.push_back(
                {static_cast<BYTE>(entry.fVirt & ~ACCEL_LAST_ENTRY), entry.key, entry.cmd});
            if ((entry.fVirt & ACCEL_LAST_ENTRY) != 0) {
                break;
            }
        }
        loaded->accelerators.emplace_back(id, std::move(table));
        return reinterpret_cast<HACCEL>(loaded->accelerators.back().second.get());
    }
    return nullptr;
}

HRSRC FindResourceW(HINSTANCE instance, LPCWSTR name, LPCWSTR type) {
    LoadedModule* loaded = ModuleOf(instance);
    if (loaded == nullptr || name == nullptr || type == nullptr) {
        return nullptr;
    }
    for (const auto& block : loaded->blocks) {
        if (platform::detail::SameResourceName(block->type, type) &&
            platform::detail::SameResourceName(block->name, name)) {
            return reinterpret_cast<HRSRC>(block.get());
        }
    }
    return nullptr;
}

HGLOBAL LoadResource(HINSTANCE, HRSRC resource) {
    // A registered module is always in memory: the loaded resource is the block itself.
    return ResourceRegistry::Instance().FindBlock(resource) == nullptr
               ? nullptr
               : reinterpret_cast<HGLOBAL>(resource);
}

LPVOID LockResource(HGLOBAL data) {
    const auto* block = ResourceRegistry::Instance().FindBlock(data);
    if (block == nullptr) {
        return nullptr;
    }
    return const_cast<std::byte*>(block->bytes.data());
}

DWORD SizeofResource(HINSTANCE, HRSRC resource) {
    const auto* block = ResourceRegistry::Instance().FindBlock(resource);
    return block == nullptr ? 0 : static_cast<DWORD>(block->bytes.size());
}

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    Desktop* desktop = Desktop::Current();
    LoadedModule* loaded = ModuleOf(instance);
    if (desktop == nullptr || loaded == nullptr || name == nullptr || !IS_INTRESOURCE(name)) {
        return nullptr;
    }
    WORD id = RESOURCE_ID(name);
    for (const platform::MenuResource& resource : loaded->module->menus) {
        if (resource.id != id) {
            continue;
        }
        platform::detail::Menu bar;
        for (const platform::PopupResource& popup : resource.popups) {
            platform::detail::Menu items;
            for (const platform::MenuItemResource& item : popup.items) {
                items.items.push_back(
                    {item.command, std::u16string(item.text), item.flags, nullptr});
            }
            HMENU submenu = desktop->menus().Add(std::move(items));
            bar.items.push_back({0, std::u16string(popup.text), MF_POPUP, submenu});
        }
        return desktop->menus().Add(std::move(bar));
    }
    return nullptr;
}
