// The registered resource modules and the objects made from them: resource blocks (behind HRSRC
// and HGLOBAL), icons (HICON) and accelerator tables (HACCEL). They live for the whole process,
// as a loaded module's resources do.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/resource_module.h"

namespace platform::detail {

struct ResourceBlock {
    ResourceName type;
    ResourceName name;
    std::vector<std::uint32_t> owned;  // a dialog template written at registration
    std::span<const std::byte> bytes;
};

// An icon's picture with its mask as alpha: CAIRO_FORMAT_ARGB32, fully opaque or fully clear.
struct Icon {
    SurfacePtr image;
    int width;
    int height;
};

struct AcceleratorTable {
    std::vector<ACCEL> entries;
};

struct LoadedModule {
    const ResourceModule* module;
    std::vector<std::unique_ptr<ResourceBlock>> blocks;
    std::vector<std::pair<WORD, std::unique_ptr<Icon>>> icons;
    std::vector<std::pair<WORD, std::unique_ptr<AcceleratorTable>>> accelerators;
};

class ResourceRegistry {
  public:
    static ResourceRegistry& Instance();

    HINSTANCE Register(const ResourceModule& module);
    LoadedModule* Find(HINSTANCE instance) const;
    const ResourceBlock* FindBlock(const void* handle) const;
    // The bytes from `data` to the end of the registered block that holds it.
    std::optional<std::size_t> BytesLeftInBlock(const void* data) const;
    const Icon* FindIcon(HICON icon) const;
    const AcceleratorTable* FindAccelerators(HACCEL table) const;

  private:
    std::vector<std::unique_ptr<LoadedModule>> modules_;
};

// Same name: equal numbers, or strings equal without regard to case.
bool SameResourceName(const ResourceName& a, LPCWSTR b);

// Draws an icon resource's text art. Null when a row is missing or of the wrong length, or uses a
// symbol the palette does not have.
std::unique_ptr<Icon> RenderIcon(const IconResource& resource);

}  // namespace platform::detail
