#include "platform/window/resource_registry.h"

#include <algorithm>

#include "platform/window/dialog_template.h"
#include "platform/window/window_tree.h"

namespace platform::detail {

ResourceRegistry& ResourceRegistry::Instance() {
    static ResourceRegistry registry;
    return registry;
}

HINSTANCE ResourceRegistry::Register(const ResourceModule& module) {
    for (const auto& loaded : modules_) {
        if (loaded->module == &module) {
            return reinterpret_cast<HINSTANCE>(loaded.get());
        }
    }
    auto loaded = std::make_unique<LoadedModule>();
    loaded->module = &module;
    for (const DialogResource& dialog : module.dialogs) {
        auto block = std::make_unique<ResourceBlock>();
        block->type = ResourceName::Number(RT_DIALOG_ID);
        block->name = ResourceName::Number(dialog.id);
        block->owned = WriteDialogTemplate(dialog);
        block->bytes = std::as_bytes(std::span(block->owned));
        loaded->blocks.push_back(std::move(block));
    }
    for (const RawResource& raw : module.raw) {
        auto block = std::make_unique<ResourceBlock>();
        block->type = raw.type;
        block->name = raw.name;
        block->bytes = raw.data;
        loaded->blocks.push_back(std::move(block));
    }
    modules_.push_back(std::move(loaded));
    return reinterpret_cast<HINSTANCE>(modules_.back().get());
}

LoadedModule* ResourceRegistry::Find(HINSTANCE instance) const {
    for (const auto& loaded : modules_) {
        if (reinterpret_cast<HINSTANCE>(loaded.get()) == instance) {
            return loaded.get();
        }
    }
    return nullptr;
}

const ResourceBlock* ResourceRegistry::FindBlock(const void* handle) const {
    for (const auto& loaded : modules_) {
        for (const auto& block : loaded->blocks) {
            if (block.get() == handle) {
                return block.get();
            }
        }
    }
    return nullptr;
}

std::optional<std::size_t> ResourceRegistry::BytesLeftInBlock(const void* data) const {
    auto address = reinterpret_cast<std::uintptr_t>(data);
    for (const auto& loaded : modules_) {
        for (const auto& block : loaded->blocks) {
            auto begin = reinterpret_cast<std::uintptr_t>(block->bytes.data());
            if (address >= begin && address < begin + block->bytes.size()) {
                return begin + block->bytes.size() - address;
            }
        }
    }
    return std::nullopt;
}

const Icon* ResourceRegistry::FindIcon(HICON icon) const {
    for (const auto& loaded : modules_) {
        for (const auto& [id, made] : loaded->icons) {
            if (reinterpret_cast<HICON>(made.get()) == icon) {
                return made.get();
            }
        }
    }
    return nullptr;
}

const AcceleratorTable* ResourceRegistry::FindAccelerators(HACCEL table) const {
    for (const auto& loaded : modules_) {
        for (const auto& [id, made] : loaded->accelerators) {
            if (reinterpret_cast<HACCEL>(made.get()) == table) {
                return made.get();
            }
        }
    }
    return nullptr;
}

bool SameResourceName(const ResourceName& a, LPCWSTR b) {
    if (b == nullptr) {
        return false;
    }
    if (IS_INTRESOURCE(b)) {
        return a.IsNumber() && a.id == RESOURCE_ID(b);
    }
    return !a.IsNumber() && SameClassName(a.text, b);
}

std::unique_ptr<Icon> RenderIcon(const IconResource& resource) {
    if (resource.width <= 0 || resource.height <= 0 ||
        resource.rows.size() != static_cast<std::size_t>(resource.height)) {
        return nullptr;
    }
    SurfacePtr image(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, resource.width, resource.height));
    if (cairo_surface_status(image.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    cairo_surface_flush(image.get());
    unsigned char* data = cairo_image_surface_get_data(image.get());
    int stride = cairo_image_surface_get_stride(image.get());
    for (int y = 0; y < resource.height; ++y) {
        std::string_view row = resource.rows[y];
        if (row.size() != static_cast<std::size_t>(resource.width)) {
            return nullptr;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (int x = 0; x < resource.width; ++x) {
            auto entry =
                std::find_if(resource.palette.begin(), resource.palette.end(),
                             [&](const IconPaletteEntry& e) { return e.symbol == row[x]; });
            if (entry == resource.palette.end()) {
                return nullptr;
            }
            pixels[x] = entry->transparent
                            ? 0u
                            : 0xFF000000u | (std::uint32_t{GetRValue(entry->colour)} << 16) |
                                  (std::uint32_t{GetGValue(entry->colour)} << 8) |
                                  GetBValue(entry->colour);
        }
    }
    cairo_surface_mark_dirty(image.get());
    return std::make_unique<Icon>(Icon{std::move(image), resource.width, resource.height});
}

}  // namespace platform::detail

HINSTANCE platform::RegisterModule(const ResourceModule& module) {
    return detail::ResourceRegistry::Instance().Register(module);
}
