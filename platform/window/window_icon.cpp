#include "platform/window/window_icon.h"

#include <algorithm>

namespace platform {

std::optional<WindowIcon> WindowIconFromResource(const IconResource& icon, std::string* error) {
    auto fail = [&](std::string message) -> std::optional<WindowIcon> {
        if (error != nullptr) {
            *error = "icon " + std::to_string(icon.id) + ": " + std::move(message);
        }
        return std::nullopt;
    };
    if (icon.width <= 0 || icon.height <= 0 ||
        icon.rows.size() != static_cast<std::size_t>(icon.height)) {
        return fail("the picture has " + std::to_string(icon.rows.size()) + " rows for a " +
                    std::to_string(icon.width) + " x " + std::to_string(icon.height) + " icon");
    }
    WindowIcon pixels{icon.width, icon.height, {}};
    pixels.rgba.reserve(static_cast<std::size_t>(icon.width) * icon.height * 4);
    for (std::size_t y = 0; y < icon.rows.size(); ++y) {
        const std::string_view row = icon.rows[y];
        if (row.size() != static_cast<std::size_t>(icon.width)) {
            return fail("row " + std::to_string(y) + " has " + std::to_string(row.size()) +
                        " pixels, not " + std::to_string(icon.width));
        }
        for (char symbol : row) {
            const auto entry =
                std::find_if(icon.palette.begin(), icon.palette.end(),
                             [&](const IconPaletteEntry& e) { return e.symbol == symbol; });
            if (entry == icon.palette.end()) {
                return fail("row " + std::to_string(y) + " uses '" + std::string(1, symbol) +
                            "', which the palette does not have");
            }
            const bool opaque = !entry->transparent;
            pixels.rgba.insert(pixels.rgba.end(), {opaque ? GetRValue(entry->colour) : BYTE{0},
                                                   opaque ? GetGValue(entry->colour) : BYTE{0},
                                                   opaque ? GetBValue(entry->colour) : BYTE{0},
                                                   opaque ? BYTE{255} : BYTE{0}});
        }
    }
    return pixels;
}

}  // namespace platform
