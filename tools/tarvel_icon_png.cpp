#include "tools/tarvel_icon_png.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

#include "resources/tarvel_resources.h"

std::optional<platform::WindowIcon> IconOnSquare(const platform::WindowIcon& icon, int size,
                                                 std::string* error) {
    const std::size_t expected = static_cast<std::size_t>(icon.width) * icon.height * 4;
    if (icon.width <= 0 || icon.height <= 0 || icon.rgba.size() != expected) {
        *error = "the icon's pixels do not match its size";
        return std::nullopt;
    }
    const int factor = std::min(size / icon.width, size / icon.height);
    if (factor < 1) {
        *error = "a " + std::to_string(size) + " px icon is smaller than the " +
                 std::to_string(icon.width) + " x " + std::to_string(icon.height) + " picture";
        return std::nullopt;
    }
    platform::WindowIcon square{size, size, {}};
    square.rgba.assign(static_cast<std::size_t>(size) * size * 4, 0);
    const int left = (size - icon.width * factor) / 2;
    const int top = (size - icon.height * factor) / 2;
    for (int y = 0; y < icon.height * factor; ++y) {
        for (int x = 0; x < icon.width * factor; ++x) {
            const std::size_t from =
                (static_cast<std::size_t>(y / factor) * icon.width + x / factor) * 4;
            const std::size_t to = (static_cast<std::size_t>(top + y) * size + left + x) * 4;
            std::memcpy(&square.rgba[to], &icon.rgba[from], 4);
        }
    }
    return square;
}

std::optional<platform::WindowIcon> TarvelIconAt(int size, std::string* error) {
    if (const platform::IconResource* small = SmallTarvelIcon(size)) {
        return platform::WindowIconFromResource(*small, error);
    }
    const std::optional<platform::WindowIcon> picture =
        platform::WindowIconFromResource(resources::TarvelIcon(), error);
    if (!picture) {
        return std::nullopt;
    }
    return IconOnSquare(*picture, size, error);
}

bool WriteIconPng(const platform::WindowIcon& icon, const std::string& path, std::string* error) {
    struct SurfaceRelease {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    std::unique_ptr<cairo_surface_t, SurfaceRelease> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, icon.width, icon.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        *error = cairo_status_to_string(cairo_surface_status(surface.get()));
        return false;
    }
    // cairo keeps ARGB32 as native-endian words with the colour premultiplied by alpha.
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < icon.height; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < icon.width; ++x) {
            const std::uint8_t* p = &icon.rgba[(static_cast<std::size_t>(y) * icon.width + x) * 4];
            const std::uint32_t alpha = p[3];
            const auto premultiply = [alpha](std::uint32_t channel) {
                return (channel * alpha + 127) / 255;
            };
            row[x] = (alpha << 24) | (premultiply(p[0]) << 16) | (premultiply(p[1]) << 8) |
                     premultiply(p[2]);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    const cairo_status_t written = cairo_surface_write_to_png(surface.get(), path.c_str());
    if (written != CAIRO_STATUS_SUCCESS) {
        *error = std::string("cannot write ") + path + ": " + cairo_status_to_string(written);
        return false;
    }
    return true;
}
