// Owning handles for cairo objects.
#pragma once

#include <cairo.h>

#include <memory>

namespace platform {

struct CairoSurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoContextRelease {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceRelease>;
using CairoPtr = std::unique_ptr<cairo_t, CairoContextRelease>;

// A new RGB24 image surface, or null when the size is not positive or memory runs out.
inline SurfacePtr MakeImageSurface(int width, int height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return surface;
}

// An RGB24 image surface over `pixels` (rows `stride` bytes apart), which must outlive it; null
// when cairo refuses the size or the stride.
inline SurfacePtr MakeImageSurfaceOver(unsigned char* pixels, int width, int height, int stride) {
    SurfacePtr surface(
        cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, width, height, stride));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    return surface;
}

}  // namespace platform
