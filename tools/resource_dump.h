// A program's Windows resources as plain values, and their canonical text: one line per string,
// menu item, accelerator and dialog control, the icon as text art. tarvel-rc writes it from the
// resources' C++ data beside the resource script; the Windows test writes it from what user32
// reads back out of the built program. The same text from both means the script compiled to the
// data. Standard C++ only, so both builds compile it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace resource_dump {

// A resource name or type, a dialog control's class or text: a 16-bit number or a string.
struct Name {
    unsigned number = 0;
    std::u16string text;  // empty for a number

    static Name Number(unsigned value) { return {value, {}}; }
    static Name Text(std::u16string value) { return {0, std::move(value)}; }
    bool operator==(const Name&) const = default;
};

struct String {
    unsigned id;
    std::u16string text;
};

struct MenuItem {
    unsigned command;
    std::u16string text;
    unsigned flags;  // MF_ state flags: 1 grayed, 2 disabled, 8 checked
};

struct Popup {
    std::u16string text;
    std::vector<MenuItem> items;
};

struct Menu {
    unsigned id;
    std::vector<Popup> popups;
};

struct Accelerator {
    unsigned flags;  // FVIRTKEY 1, FNOINVERT 2, FSHIFT 4, FCONTROL 8, FALT 16
    unsigned key;
    unsigned command;
};

struct AcceleratorTable {
    unsigned id;
    std::vector<Accelerator> entries;
};

// A dialog's or a control's styles and rectangle, in dialog units.
struct DialogFrame {
    std::uint32_t style;
    std::uint32_t exStyle;
    int x, y, cx, cy;
};

struct DialogControl {
    unsigned id;
    Name windowClass;
    DialogFrame frame;
    Name text;  // a number is an icon resource
};

struct Dialog {
    unsigned id;
    DialogFrame frame;
    Name menu;         // none: the number 0
    Name windowClass;  // the system's dialog class: the number 0
    std::u16string caption;
    unsigned pointSize;
    unsigned weight;
    bool italic;
    unsigned charset;
    std::u16string faceName;
    std::vector<DialogControl> controls;
};

// One image of an icon group (imageCount images). colours holds 0xRRGGBB row after row, top
// first; a pixel of the mask is transparent.
struct Icon {
    unsigned id;
    unsigned imageCount;
    int width;
    int height;
    unsigned bitsPerPixel;
    std::vector<std::uint32_t> colours;
    std::vector<bool> mask;
};

// Anything else, by type and name (the application manifest included).
struct RawData {
    Name type;
    Name name;
    std::vector<std::uint8_t> bytes;
};

struct Resources {
    std::vector<unsigned> languages;
    std::vector<String> strings;
    std::vector<Menu> menus;
    std::vector<AcceleratorTable> accelerators;
    std::vector<Dialog> dialogs;
    std::vector<Icon> icons;
    std::vector<RawData> raw;
};

// The resource types by number, as Windows has them.
inline constexpr unsigned kTypeRcData = 10;
inline constexpr unsigned kTypeManifest = 24;

// The system's control classes, which a dialog template names by number from 0x80 on.
inline constexpr unsigned kFirstSystemControlClass = 0x80;
inline constexpr std::u16string_view kSystemControlClasses[] = {
    u"button", u"edit", u"static", u"listbox", u"scrollbar", u"combobox"};

// The canonical text: each kind in a fixed order, sorted by id, so the order the resources were
// listed or enumerated in does not matter. Text is UTF-8, in double quotes, with \" \\ and \xNN
// escapes for quotes, backslashes and control characters.
std::string Write(const Resources& resources);

}  // namespace resource_dump
