// A program's embedded resources as plain C++ data, and their registration with the platform.
// The program describes its strings, menus, accelerators, icons, dialogs and raw data blocks in
// these records (static storage: the platform keeps views into them) and registers the whole set
// once at start-up; the returned instance handle is what LoadStringW, LoadIconW, FindResourceW and
// the rest look resources up by.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "platform/window/window_types.h"

namespace platform {

// A resource name or type as the platform knows them: a 16-bit number or a string.
struct ResourceName {
    WORD id = 0;
    std::u16string_view text;

    static constexpr ResourceName Number(WORD value) { return {value, {}}; }
    static constexpr ResourceName Text(std::u16string_view value) { return {0, value}; }
    constexpr bool IsNumber() const { return text.empty(); }
};

struct StringResource {
    UINT id;
    std::u16string_view text;
};

// One command of a pop-up menu; flags are the MF_ state flags it starts with (MF_CHECKED...).
struct MenuItemResource {
    UINT command;
    std::u16string_view text;
    UINT flags = 0;
};

struct PopupResource {
    std::u16string_view text;
    std::span<const MenuItemResource> items;
};

// A menu is a row of pop-ups; the soft-key bar picks its pop-ups by position.
struct MenuResource {
    WORD id;
    std::span<const PopupResource> popups;
};

// Entries as stored in the resource: the last one carries ACCEL_LAST_ENTRY in fVirt.
struct AcceleratorTableResource {
    WORD id;
    std::span<const ACCEL> entries;
};

// An icon drawn as text art: each row is a string of palette symbols, one per pixel.
struct IconPaletteEntry {
    char symbol;
    COLORREF colour;
    bool transparent = false;
};

struct IconResource {
    WORD id;
    int width;
    int height;
    std::span<const IconPaletteEntry> palette;
    std::span<const std::string_view> rows;
};

// What a template gives a dialog or a control: its styles and its rectangle, in dialog units of
// the dialog's font.
struct DialogFrame {
    DWORD style;
    DWORD exStyle;
    SHORT x;
    SHORT y;
    SHORT cx;
    SHORT cy;
};

// A dialog control. The class is a name ("button", "static", ...); the text is a string or, for an
// icon control, the number of an icon resource.
struct DialogItemResource {
    WORD id;
    std::u16string_view windowClass;
    DialogFrame frame;
    ResourceName text;
};

// A dialog in dialog units of its font. The platform turns it into the in-memory DLGTEMPLATE
// layout that FindResourceW/LoadResource/LockResource hand out.
struct DialogResource {
    WORD id;
    DialogFrame frame;
    std::u16string_view caption;
    WORD pointSize;
    std::u16string_view faceName;
    std::span<const DialogItemResource> items;
};

// A block of bytes of any type, found with FindResourceW by type and name.
struct RawResource {
    ResourceName type;
    ResourceName name;
    std::span<const std::byte> data;
};

struct ResourceModule {
    std::u16string_view name;
    WORD language;
    std::span<const StringResource> strings;
    std::span<const MenuResource> menus;
    std::span<const AcceleratorTableResource> accelerators;
    std::span<const IconResource> icons;
    std::span<const DialogResource> dialogs;
    std::span<const RawResource> raw;
};

// Registers a module (once; registering the same module again returns the same handle) and
// returns its instance handle. The module and everything it points to must outlive the process's
// use of the handle. Modules stay registered for the life of the process.
HINSTANCE RegisterModule(const ResourceModule& module);

}  // namespace platform
