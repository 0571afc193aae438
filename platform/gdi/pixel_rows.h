// Rows of 32-bit pixels in memory: an image surface's, a window's, a canvas's. Every layer that
// walks pixels row by row addresses them through this one view.
#pragma once

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace platform {

// `height` rows of `width` words, `stride` bytes apart. `Word` is std::uint32_t, or const
// std::uint32_t for pixels that are only read.
template <typename Word>
struct BasicPixelRows {
    Word* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    // Row y's words; y must lie in [0, height).
    Word* Row(int y) const {
        using Byte = std::conditional_t<std::is_const_v<Word>, const unsigned char, unsigned char>;
        return reinterpret_cast<Word*>(reinterpret_cast<Byte*>(pixels) +
                                       static_cast<std::ptrdiff_t>(y) * stride);
    }
    bool Empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    // The same rows, read-only.
    template <typename W = Word, typename = std::enable_if_t<!std::is_const_v<W>>>
    operator BasicPixelRows<const W>() const {
        return {pixels, width, height, stride};
    }
};

using PixelRows = BasicPixelRows<std::uint32_t>;
using ConstPixelRows = BasicPixelRows<const std::uint32_t>;

// The pixels of a 32-bit image surface (RGB24 or ARGB32) with cairo's pending drawing flushed;
// empty for any other surface. Whoever writes them tells cairo (cairo_surface_mark_dirty).
inline PixelRows PixelRowsOf(cairo_surface_t* image) {
    if (image == nullptr || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE) {
        return {};
    }
    const cairo_format_t format = cairo_image_surface_get_format(image);
    if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) {
        return {};
    }
    cairo_surface_flush(image);
    return {reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image)),
            cairo_image_surface_get_width(image), cairo_image_surface_get_height(image),
            cairo_image_surface_get_stride(image)};
}

}  // namespace platform
