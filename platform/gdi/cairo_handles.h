// Owning handles for cairo's reference-counted objects, for the whole platform: each holds one
// reference and drops it on destruction.
#pragma once

#include <cairo.h>

#include <memory>

namespace platform {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using CairoPtr = std::unique_ptr<cairo_t, ContextRelease>;

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

namespace platform::gdi_detail {

struct FontFaceRelease {
    void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
};
struct ScaledFontRelease {
    void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
};
struct FontOptionsRelease {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};

using FontFacePtr = std::unique_ptr<cairo_font_face_t, FontFaceRelease>;
using ScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, ScaledFontRelease>;
using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, FontOptionsRelease>;

// A second owning reference to a scaled font that someone else also holds.
inline ScaledFontPtr ShareScaledFont(cairo_scaled_font_t* font) {
    return ScaledFontPtr(cairo_scaled_font_reference(font));
}

}  // namespace platform::gdi_detail
