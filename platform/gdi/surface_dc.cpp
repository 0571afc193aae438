// Device contexts on caller-owned surfaces, and access to the surfaces behind DCs and bitmaps.
#include "platform/gdi/surface_dc.h"

#include <utility>

#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/pixel_surface.h"

using platform::gdi_detail::Bitmap;
using platform::gdi_detail::DeviceContext;
using platform::gdi_detail::Registry;

namespace platform {

HDC CreateSurfaceDC(cairo_surface_t* target) {
    if (!gdi_detail::IsDrawableSurface(target)) {
        return nullptr;
    }
    Registry& registry = Registry::Get();
    DeviceContext dc = registry.NewDeviceContext();
    dc.memory = false;
    dc.bitmap = nullptr;
    dc.target.reset(cairo_surface_reference(target));
    HDC handle = registry.Add(std::move(dc));
    return handle;
}

cairo_surface_t* SurfaceOfDC(HDC handle) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    return dc != nullptr ? registry.PixelsOf(*dc) : nullptr;
}

cairo_surface_t* SurfaceOfBitmap(HBITMAP handle) {
    Bitmap* bitmap = Registry::Get().Find(handle);
    return bitmap != nullptr ? bitmap->surface.get() : nullptr;
}

bool WritePng(cairo_surface_t* surface, const char* path, std::string* error) {
    const auto fail = [error](std::string why) {
        if (error != nullptr) {
            *error = std::move(why);
        }
        return false;
    };
    if (surface == nullptr || path == nullptr) {
        return fail("no surface or no path");
    }
    cairo_surface_flush(surface);
    const cairo_status_t status = cairo_surface_write_to_png(surface, path);
    if (status != CAIRO_STATUS_SUCCESS) {
        return fail(std::string("cannot write ") + path + ": " + cairo_status_to_string(status));
    }
    return true;
}

}  // namespace platform
