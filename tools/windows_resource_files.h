// The Windows build's resource files, written from the program's resources as C++ data (the
// records resources/ registers with the platform): the resource script windres compiles, the icon
// file it names, and the canonical dump of both that the Windows test compares user32's reading
// of the built program with.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/resource_module.h"
#include "platform/window/window_icon.h"
#include "tools/resource_dump.h"

namespace windows_resources {

struct Files {
    std::string iconFileName;  // the module's name with .ico, which the script names
    std::string script;        // the .rc
    std::vector<std::uint8_t> icon;
    std::string dump;
};

// All three from one module, or nothing with the reason in `error` when the module holds what a
// resource script cannot say as it is (two icons, an empty string, an odd-sized data block, an
// unknown flag...). The icon file holds `iconImages`, the module's icon drawn at each size
// Windows shows it at, or, when there are none, the module's icon as it is.
std::optional<Files> WriteFiles(const platform::ResourceModule& module,
                                std::span<const platform::WindowIcon> iconImages,
                                std::string* error);

// A wide string literal for windres: L"...", "" for a quote, \\ for a backslash, and four-digit
// \xNNNN escapes for everything outside printable ASCII, so no code page is involved.
std::string WideLiteral(std::u16string_view text);

// An icon's pixels as an image with a transparency mask: 4 bits per pixel when it has 16 colours
// or fewer, else 24. Nothing, with the reason, for a partly transparent pixel, which such an
// image cannot hold.
std::optional<resource_dump::Icon> IconImage(WORD id, const platform::WindowIcon& picture,
                                             std::string* error);

// An .ico file of the images, in their order: each at its bits per pixel (4, with its colours
// in a palette sorted by value, or 24), bottom-up rows, then the 1-bit AND mask (1 is
// transparent, its colour black). Nothing, with the reason, for an image beyond 256 x 256.
std::optional<std::vector<std::uint8_t>> IcoFile(std::span<const resource_dump::Icon> images,
                                                 std::string* error);

}  // namespace windows_resources
