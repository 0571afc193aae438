#include "platform/gdi/pixel_surface.h"

#include <algorithm>

namespace platform::gdi_detail {

bool IsDrawableSurface(cairo_surface_t* surface) {
    if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) {
        return false;
    }
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    return format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32;
}

PixelSurface::PixelSurface(cairo_surface_t* surface) {
    const PixelRows rows = PixelRowsOf(surface);
    if (!rows.Empty()) {
        surface_ = surface;
        rows_ = rows;
    }
}

PixelSurface::~PixelSurface() {
    if (written_) {
        cairo_surface_mark_dirty(surface_);
    }
}

void PixelSurface::FillSpan(std::int64_t y, std::int64_t x0, std::int64_t x1, std::uint32_t pixel) {
    if (y < 0 || y >= rows_.height) {
        return;
    }
    x0 = std::max<std::int64_t>(x0, 0);
    x1 = std::min<std::int64_t>(x1, rows_.width - 1);
    if (x0 > x1) {
        return;
    }
    std::uint32_t* row = Row(static_cast<int>(y));
    std::fill(row + x0, row + x1 + 1, pixel);
    written_ = true;
}

void PixelSurface::FillRect(std::int64_t left, std::int64_t top, std::int64_t right,
                            std::int64_t bottom, std::uint32_t pixel) {
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, rows_.height);
    for (std::int64_t y = top; y < bottom; ++y) {
        FillSpan(y, left, right - 1, pixel);
    }
}

bool PixelSurface::Set(std::int64_t x, std::int64_t y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= rows_.width || y >= rows_.height) {
        return false;
    }
    Row(static_cast<int>(y))[x] = pixel;
    written_ = true;
    return true;
}

std::optional<std::uint32_t> PixelSurface::Get(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= rows_.width || y >= rows_.height) {
        return std::nullopt;
    }
    return Row(static_cast<int>(y))[x];
}

}  // namespace platform::gdi_detail
