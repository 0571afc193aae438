// Owning wrappers for cairo's reference-counted objects: each holds one reference and drops it on
// destruction.
#pragma once

#include <cairo.h>

#include <memory>

namespace platform::gdi_detail {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
struct FontFaceRelease {
    void operator()(cairo_font_face_t* face) const { cairo_font_face_destroy(face); }
};
struct ScaledFontRelease {
    void operator()(cairo_scaled_font_t* font) const { cairo_scaled_font_destroy(font); }
};
struct FontOptionsRelease {
    void operator()(cairo_font_options_t* options) const { cairo_font_options_destroy(options); }
};

using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using ContextPtr = std::unique_ptr<cairo_t, ContextRelease>;
using FontFacePtr = std::unique_ptr<cairo_font_face_t, FontFaceRelease>;
using ScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, ScaledFontRelease>;
using FontOptionsPtr = std::unique_ptr<cairo_font_options_t, FontOptionsRelease>;

// A second owning reference to a scaled font that someone else also holds.
inline ScaledFontPtr ShareScaledFont(cairo_scaled_font_t* font) {
    return ScaledFontPtr(cairo_scaled_font_reference(font));
}

}  // namespace platform::gdi_detail
