#include "tools/resource_dump.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <tuple>
#include <utility>

#include "platform/gdi/utf16.h"

namespace resource_dump {
namespace {

using platform::gdi_detail::AppendUtf8;

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// Text in double quotes; a lone surrogate shows as \uD800 rather than as a broken byte.
std::string Quoted(std::u16string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit == u'"' || unit == u'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit < 0x20 || unit == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(unit));
            out += escape;
        } else if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() &&
                   text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
            out += escape;
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out + "\"";
}

std::string NameText(const Name& name) {
    return name.text.empty() ? std::to_string(name.number) : Quoted(name.text);
}

// Numbers first, then strings.
bool NameBefore(const Name& a, const Name& b) {
    return std::make_tuple(!a.text.empty(), a.number, a.text) <
           std::make_tuple(!b.text.empty(), b.number, b.text);
}

template <typename T>
std::vector<const T*> ById(const std::vector<T>& items) {
    std::vector<const T*> sorted;
    sorted.reserve(items.size());
    for (const T& item : items) {
        sorted.push_back(&item);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const T* a, const T* b) { return a->id < b->id; });
    return sorted;
}

std::string FrameText(const DialogFrame& frame) {
    return "at " + std::to_string(frame.x) + "," + std::to_string(frame.y) + " size " +
           std::to_string(frame.cx) + "x" + std::to_string(frame.cy) + " style " +
           Hex(frame.style, 8) + " exstyle " + Hex(frame.exStyle, 8);
}

std::string MenuFlags(unsigned flags) {
    std::string words;
    const std::pair<unsigned, const char*> known[] = {
        {0x1, " GRAYED"}, {0x2, " INACTIVE"}, {0x8, " CHECKED"}};
    for (const auto& [bit, word] : known) {
        if ((flags & bit) != 0) {
            words += word;
            flags &= ~bit;
        }
    }
    return flags == 0 ? words : words + " " + Hex(flags, 4);
}

std::string AcceleratorText(const Accelerator& entry) {
    std::string text;
    unsigned flags = entry.flags;
    const std::pair<unsigned, const char*> known[] = {{0x01, "VIRTKEY "},
                                                      {0x04, "SHIFT "},
                                                      {0x08, "CONTROL "},
                                                      {0x10, "ALT "},
                                                      {0x02, "NOINVERT "}};
    for (const auto& [bit, word] : known) {
        if ((flags & bit) != 0) {
            text += word;
            flags &= ~bit;
        }
    }
    if (flags != 0) {
        text += Hex(flags, 2) + " ";
    }
    const bool letterOrDigit =
        (entry.key >= 'A' && entry.key <= 'Z') || (entry.key >= '0' && entry.key <= '9');
    text += letterOrDigit ? "'" + std::string(1, static_cast<char>(entry.key)) + "'"
                          : Hex(entry.key, 2);
    return text + " -> " + std::to_string(entry.command);
}

void WriteIconArt(std::string& out, const Icon& icon) {
    const std::size_t pixels = static_cast<std::size_t>(icon.width) * icon.height;
    if (icon.width <= 0 || icon.height <= 0 || icon.colours.size() != pixels ||
        icon.mask.size() != pixels) {
        out += "  pixels: " + std::to_string(icon.colours.size()) + " colours and " +
               std::to_string(icon.mask.size()) + " mask bits\n";
        return;
    }
    // A symbol per colour-and-mask pair, in the order they first appear; '.' is the transparent
    // black an icon's masked pixels should be.
    constexpr std::string_view kSymbols =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::map<std::pair<std::uint32_t, bool>, char> symbols{{{0, true}, '.'}};
    std::vector<std::pair<char, std::string>> palette;
    std::string art;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::pair key{icon.colours[i], static_cast<bool>(icon.mask[i])};
        auto found = symbols.find(key);
        if (found == symbols.end()) {
            if (palette.size() == kSymbols.size()) {
                out += "  more than " + std::to_string(kSymbols.size()) + " colours\n";
                return;
            }
            const char symbol = kSymbols[palette.size()];
            char colour[8];
            std::snprintf(colour, sizeof colour, "#%06X", static_cast<unsigned>(key.first));
            palette.emplace_back(symbol, key.second ? std::string("transparent over ") + colour
                                                    : std::string(colour));
            found = symbols.emplace(key, symbol).first;
        }
        art += found->second;
        if ((i + 1) % static_cast<std::size_t>(icon.width) == 0) {
            art += '\n';
        }
    }
    out += "  . transparent\n";
    for (const auto& [symbol, meaning] : palette) {
        out += std::string("  ") + symbol + " " + meaning + "\n";
    }
    std::size_t start = 0;
    while (start < art.size()) {
        const std::size_t end = art.find('\n', start);
        out += "  |" + art.substr(start, end - start) + "|\n";
        start = end + 1;
    }
}

void WriteRaw(std::string& out, const RawData& data) {
    out += "data type " + NameText(data.type) + " name " + NameText(data.name) + " (" +
           std::to_string(data.bytes.size()) + " bytes)\n";
    if (data.type == Name::Number(kTypeManifest)) {
        // Text: one line of the dump per line of it.
        std::string line;
        for (const std::uint8_t byte : data.bytes) {
            if (byte == '\n') {
                out += "  |" + line + "\n";
                line.clear();
            } else if (byte < 0x20 || byte >= 0x7F) {  // carriage returns too
                line += "\\x" + Hex(byte, 2).substr(2);
            } else {
                line += static_cast<char>(byte);
            }
        }
        if (!line.empty()) {
            out += "  |" + line + " (no line end)\n";
        }
        return;
    }
    // Little-endian 16-bit words, eight to a line, as the program reads them; bytes when odd.
    const bool words = data.bytes.size() % 2 == 0;
    const std::size_t step = words ? 2 : 1;
    std::string line;
    for (std::size_t i = 0; i < data.bytes.size(); i += step) {
        const unsigned value = words ? data.bytes[i] | (data.bytes[i + 1] << 8) : data.bytes[i];
        line += (line.empty() ? "  " : " ") + Hex(value, words ? 4 : 2);
        if ((i / step + 1) % 8 == 0) {
            out += line + "\n";
            line.clear();
        }
    }
    if (!line.empty()) {
        out += line + "\n";
    }
}

void WriteDialog(std::string& out, const Dialog& dialog) {
    out += "dialog " + std::to_string(dialog.id) + " " + FrameText(dialog.frame) + " menu " +
           NameText(dialog.menu) + " class " + NameText(dialog.windowClass) + "\n";
    out += "  caption " + Quoted(dialog.caption) + "\n";
    out += "  font " + std::to_string(dialog.pointSize) + " " + Quoted(dialog.faceName) +
           " weight " + std::to_string(dialog.weight) + " italic " +
           std::to_string(dialog.italic ? 1 : 0) + " charset " + std::to_string(dialog.charset) +
           "\n";
    for (const DialogControl& control : dialog.controls) {
        out += "  control " + std::to_string(control.id) + " class " +
               NameText(control.windowClass) + " " + FrameText(control.frame) + " text " +
               NameText(control.text) + "\n";
    }
}

}  // namespace

std::string Write(const Resources& resources) {
    std::string out =
        "# Windows resources in canonical form (tools/resource_dump.h): written by tarvel-rc,\n"
        "# compared with user32's reading of the built program by the Windows tests.\n";
    out += "languages";
    std::vector<unsigned> languages = resources.languages;
    std::sort(languages.begin(), languages.end());
    for (const unsigned language : languages) {
        out += " " + Hex(language, 4);
    }
    out += "\n";
    for (const String* string : ById(resources.strings)) {
        out += "string " + std::to_string(string->id) + " " + Quoted(string->text) + "\n";
    }
    for (const Menu* menu : ById(resources.menus)) {
        out += "menu " + std::to_string(menu->id) + "\n";
        for (const Popup& popup : menu->popups) {
            out += "  popup " + Quoted(popup.text) + "\n";
            for (const MenuItem& item : popup.items) {
                out += "    item " + std::to_string(item.command) + " " + Quoted(item.text) +
                       MenuFlags(item.flags) + "\n";
            }
        }
    }
    for (const AcceleratorTable* table : ById(resources.accelerators)) {
        out += "accelerators " + std::to_string(table->id) + "\n";
        for (const Accelerator& entry : table->entries) {
            out += "  " + AcceleratorText(entry) + "\n";
        }
    }
    for (const Dialog* dialog : ById(resources.dialogs)) {
        WriteDialog(out, *dialog);
    }
    for (const Icon* icon : ById(resources.icons)) {
        out += "icon " + std::to_string(icon->id) + " (" + std::to_string(icon->imageCount) +
               " images): " + std::to_string(icon->width) + "x" + std::to_string(icon->height) +
               " at " + std::to_string(icon->bitsPerPixel) + " bits per pixel with a mask\n";
        WriteIconArt(out, *icon);
    }
    std::vector<const RawData*> raw;
    for (const RawData& data : resources.raw) {
        raw.push_back(&data);
    }
    std::stable_sort(raw.begin(), raw.end(), [](const RawData* a, const RawData* b) {
        if (!(a->type == b->type)) {
            return NameBefore(a->type, b->type);
        }
        return NameBefore(a->name, b->name);
    });
    for (const RawData* data : raw) {
        WriteRaw(out, *data);
    }
    return out;
}

}  // namespace resource_dump
