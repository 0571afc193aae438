// The in-memory dialog template layout (DLGTEMPLATE followed by its variable-length fields and
// DWORD-aligned DLGITEMTEMPLATE items): written from a DialogResource, read back for
// DialogBoxIndirectParamW.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/resource_module.h"

namespace platform::detail {

// Items' predefined classes are written as these atoms, as resource compilers do.
inline constexpr WORD kButtonClassAtom = 0x0080;
inline constexpr WORD kStaticClassAtom = 0x0082;

// 32-bit words keep the template DWORD-aligned in memory.
std::vector<std::uint32_t> WriteDialogTemplate(const DialogResource& dialog);

struct DialogItemTemplate {
    DialogFrame frame;
    WORD id;
    std::u16string className;  // the predefined class name when the template gives an atom
    std::u16string text;
    WORD textResource = 0;  // nonzero when the text is a resource number
};

struct DialogTemplate {
    DialogFrame frame;
    std::u16string caption;
    WORD pointSize = 0;
    std::u16string faceName;
    std::vector<DialogItemTemplate> items;
};

// Reads at most `size` bytes; nullopt when the template is cut short or malformed.
std::optional<DialogTemplate> ReadDialogTemplate(const void* data, std::size_t size);

}  // namespace platform::detail
