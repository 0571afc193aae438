// The program's icon as plain RGBA pixels, made from its icon resource: the desktop window's
// icon and the pictures of the icon themes and the web page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/resource_module.h"

namespace platform {

struct WindowIcon {
    int width = 0;
    int height = 0;
    // Row after row, four bytes a pixel: red, green, blue, alpha (0 is transparent).
    std::vector<std::uint8_t> rgba;
};

// The pixels of an icon resource. Nothing, with the reason in `error` (when not null), when a
// row has the wrong length or a symbol that is not in the palette.
std::optional<WindowIcon> WindowIconFromResource(const IconResource& icon, std::string* error);

}  // namespace platform
