#include "platform/gdi/pixel_surface.h"

#include "platform/gdi/surface_changes.h"

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
    if (!IsDrawableSurface(surface)) {
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    if (data == nullptr) {
        return;
    }
    surface_ = surface;
    data_ = data;
    width_ = cairo_image_surface_get_width(surface);
    height_ = cairo_image_surface_get_height(surface);
    stride_ = cairo_image_surface_get_stride(surface);
}

PixelSurface::~PixelSurface() {
    if (written_) {
        cairo_surface_mark_dirty(surface_);
    }
}

std::uint32_t* PixelSurface::Row(int y) {
    return reinterpret_cast<std::uint32_t*>(data_ + static_cast<std::ptrdiff_t>(y) * stride_);
}

const std::uint32_t* PixelSurface::Row(int y) const {
    return reinterpret_cast<const std::uint32_t*>(data_ + static_cast<std::ptrdiff_t>(y) * stride_);
}

void PixelSurface::FillSpan(std::int64_t y, std::int64_t x0, std::int64_t x1, std::uint32_t pixel) {
    if (y < 0 || y >= height_) {
        return;
    }
    x0 = std::max<std::int64_t>(x0, 0);
    x1 = std::min<std::int64_t>(x1, width_ - 1);
    if (x0 > x1) {
        return;
    }
    std::uint32_t* row = Row(static_cast<int>(y));
    std::fill(row + x0, row + x1 + 1, pixel);
    written_ = true;
    NoteChangedRow(surface_, static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1) + 1);
}

void PixelSurface::FillRect(std::int64_t left, std::int64_t top, std::int64_t right,
                            std::int64_t bottom, std::uint32_t pixel) {
    top = std::max<std::int64_t>(top, 0);
    bottom = std::min<std::int64_t>(bottom, height_);
    for (std::int64_t y = top; y < bottom; ++y) {
        FillSpan(y, left, right - 1, pixel);
    }
}

bool PixelSurface::Set(std::int64_t x, std::int64_t y, std::uint32_t pixel) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return false;
    }
    Row(static_cast<int>(y))[x] = pixel;
    written_ = true;
    NoteChangedRow(surface_, static_cast<int>(y), static_cast<int>(x), static_cast<int>(x) + 1);
    return true;
}

std::optional<std::uint32_t> PixelSurface::Get(std::int64_t x, std::int64_t y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return std::nullopt;
    }
    return Row(static_cast<int>(y))[x];
}

}  // namespace platform::gdi_detail
