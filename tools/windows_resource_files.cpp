#include "tools/windows_resource_files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace windows_resources {
namespace {

using resource_dump::Name;

// The dialog font's weight, italic flag and character set, which the records leave to the
// platform: any weight, upright, the default character set.
constexpr unsigned kFontWeight = 0;
constexpr bool kFontItalic = false;
constexpr unsigned kFontCharset = 1;

constexpr std::string_view kHeader =
    "// Written by tarvel-rc from the resources in resources/ (C++ data): do not edit by hand.\n"
    "// After changing resources/, run: build/release/tools/tarvel-rc platform/win32/resources\n";

// The program's manifest: today's common controls (buttons, message boxes) rather than those of
// Windows 95, and, for the device's high-resolution marker, drawing in physical pixels on every
// monitor, so Windows does not scale its window.
constexpr std::string_view kManifestStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <dependency>\n"
    "    <dependentAssembly>\n"
    "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
    "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
    "language=\"*\"/>\n"
    "    </dependentAssembly>\n"
    "  </dependency>\n";
constexpr std::string_view kDpiAware =
    "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <windowsSettings>\n"
    "      <dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
    "true/pm</dpiAware>\n"
    "      <dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
    "PerMonitorV2, PerMonitor</dpiAwareness>\n"
    "    </windowsSettings>\n"
    "  </application>\n";
constexpr std::string_view kManifestEnd = "</assembly>\n";

// Thrown inside WriteFiles only, to give up on the first fault with its reason.
struct Refusal {
    std::string reason;
};

std::string Hex(std::uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

Name DumpName(const platform::ResourceName& name) {
    return name.IsNumber() ? Name::Number(name.id) : Name::Text(std::u16string(name.text));
}

// Resource names and types: numbers, or upper-case words, since Windows looks names up in upper
// case and windres keeps a word as written.
std::string ScriptName(const platform::ResourceName& name, std::string_view what) {
    if (name.IsNumber()) {
        return std::to_string(name.id);
    }
    std::string word;
    for (const char16_t c : name.text) {
        const bool fits = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
        if (!fits || (word.empty() && c >= u'0' && c <= u'9')) {
            throw Refusal{std::string(what) + " " + std::string(WideLiteral(name.text)) +
                          ": a name must be upper-case letters, digits and _"};
        }
        word += static_cast<char>(c);
    }
    return word;
}

std::string NarrowLiteral(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"') {
            out += "\"\"";
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A system class (any case) by its number, as Microsoft's resource compiler stores it; windres
// would store the name in upper case. Other classes by name.
std::optional<unsigned> SystemClassNumber(std::u16string_view name) {
    unsigned number = resource_dump::kFirstSystemControlClass;
    for (const std::u16string_view known : resource_dump::kSystemControlClasses) {
        const bool same = std::equal(
            name.begin(), name.end(), known.begin(), known.end(),
            [](char16_t a, char16_t b) { return (a >= u'A' && a <= u'Z' ? a + 32 : a) == b; });
        if (same) {
            return number;
        }
        ++number;
    }
    return std::nullopt;
}

std::string ControlText(const platform::ResourceName& text) {
    return text.IsNumber() ? std::to_string(text.id) : WideLiteral(text.text);
}

// A frame's rectangle as a script gives it: "x, y, cx, cy".
std::string ScriptRectangle(const platform::DialogFrame& frame) {
    return std::to_string(frame.x) + ", " + std::to_string(frame.y) + ", " +
           std::to_string(frame.cx) + ", " + std::to_string(frame.cy);
}

resource_dump::DialogFrame DumpFrame(const platform::DialogFrame& frame) {
    return {frame.style, frame.exStyle, frame.x, frame.y, frame.cx, frame.cy};
}

void WriteStrings(const platform::ResourceModule& module, std::string& script,
                  resource_dump::Resources& dump) {
    if (module.strings.empty()) {
        return;
    }
    script += "\nSTRINGTABLE\nBEGIN\n";
    for (const platform::StringResource& string : module.strings) {
        if (string.text.empty()) {
            throw Refusal{"string " + std::to_string(string.id) +
                          " is empty, which a string table cannot hold"};
        }
        script += "  " + std::to_string(string.id) + ", " + WideLiteral(string.text) + "\n";
        dump.strings.push_back({string.id, std::u16string(string.text)});
    }
    script += "END\n";
}

std::string MenuItemOptions(const platform::MenuItemResource& item) {
    constexpr UINT kDisabled = 0x2;  // MF_DISABLED, which the device's programs never used
    const std::pair<UINT, const char*> known[] = {
        {MF_GRAYED, ", GRAYED"}, {kDisabled, ", INACTIVE"}, {MF_CHECKED, ", CHECKED"}};
    std::string options;
    UINT rest = item.flags;
    for (const auto& [flag, word] : known) {
        if ((rest & flag) != 0) {
            options += word;
            rest &= ~flag;
        }
    }
    if (rest != 0) {
        throw Refusal{"menu item " + std::to_string(item.command) + ": flags " + Hex(rest, 4) +
                      " are not a menu item's state"};
    }
    return options;
}

void WriteMenus(const platform::ResourceModule& module, std::string& script,
                resource_dump::Resources& dump) {
    for (const platform::MenuResource& menu : module.menus) {
        script += "\n" + std::to_string(menu.id) + " MENU\nBEGIN\n";
        resource_dump::Menu dumped{menu.id, {}};
        for (const platform::PopupResource& popup : menu.popups) {
            script += "  POPUP " + WideLiteral(popup.text) + "\n  BEGIN\n";
            resource_dump::Popup dumpedPopup{std::u16string(popup.text), {}};
            for (const platform::MenuItemResource& item : popup.items) {
                script += "    MENUITEM " + WideLiteral(item.text) + ", " +
                          std::to_string(item.command) + MenuItemOptions(item) + "\n";
                dumpedPopup.items.push_back({item.command, std::u16string(item.text), item.flags});
            }
            script += "  END\n";
            dumped.popups.push_back(std::move(dumpedPopup));
        }
        script += "END\n";
        dump.menus.push_back(std::move(dumped));
    }
}

std::string AcceleratorLine(WORD table, const ACCEL& entry) {
    constexpr BYTE kModifiers = FSHIFT | FCONTROL | FALT;
    const BYTE flags = entry.fVirt & ~ACCEL_LAST_ENTRY;
    const std::string where = "accelerator table " + std::to_string(table) + ", command " +
                              std::to_string(entry.cmd) + ": ";
    if ((flags & ~(FVIRTKEY | FNOINVERT | kModifiers)) != 0) {
        throw Refusal{where + "unknown flags " + Hex(flags, 2)};
    }
    const bool virtualKey = (flags & FVIRTKEY) != 0;
    if (!virtualKey && (flags & kModifiers) != 0) {
        throw Refusal{where + "Shift, Control and Alt need a virtual key"};
    }
    const bool letterOrDigit =
        (entry.key >= 'A' && entry.key <= 'Z') || (entry.key >= '0' && entry.key <= '9');
    std::string line =
        "  " +
        (virtualKey && letterOrDigit ? "\"" + std::string(1, static_cast<char>(entry.key)) + "\""
                                     : Hex(entry.key, 2)) +
        ", " + std::to_string(entry.cmd) + (virtualKey ? ", VIRTKEY" : ", ASCII");
    const std::pair<BYTE, const char*> options[] = {
        {FSHIFT, ", SHIFT"}, {FCONTROL, ", CONTROL"}, {FALT, ", ALT"}, {FNOINVERT, ", NOINVERT"}};
    for (const auto& [flag, word] : options) {
        if ((flags & flag) != 0) {
            line += word;
        }
    }
    return line + "\n";
}

void WriteAccelerators(const platform::ResourceModule& module, std::string& script,
                       resource_dump::Resources& dump) {
    for (const platform::AcceleratorTableResource& table : module.accelerators) {
        script += "\n" + std::to_string(table.id) + " ACCELERATORS\nBEGIN\n";
        resource_dump::AcceleratorTable dumped{table.id, {}};
        for (const ACCEL& entry : table.entries) {
            script += AcceleratorLine(table.id, entry);
            dumped.entries.push_back(
                {static_cast<unsigned>(entry.fVirt & ~ACCEL_LAST_ENTRY), entry.key, entry.cmd});
        }
        script += "END\n";
        dump.accelerators.push_back(std::move(dumped));
    }
}

void WriteIcons(const platform::ResourceModule& module,
                std::span<const platform::WindowIcon> iconImages, Files& files,
                resource_dump::Resources& dump) {
    if (module.icons.empty()) {
        return;
    }
    if (module.icons.size() > 1) {
        throw Refusal{"the module has " + std::to_string(module.icons.size()) +
                      " icons; tarvel-rc writes one icon file"};
    }
    const platform::IconResource& resource = module.icons.front();
    std::string error;
    std::vector<platform::WindowIcon> pictures(iconImages.begin(), iconImages.end());
    if (pictures.empty()) {
        std::optional<platform::WindowIcon> picture =
            platform::WindowIconFromResource(resource, &error);
        if (!picture) {
            throw Refusal{error};
        }
        pictures.push_back(std::move(*picture));
    }
    std::vector<resource_dump::Icon> images;
    for (const platform::WindowIcon& picture : pictures) {
        std::optional<resource_dump::Icon> image = IconImage(resource.id, picture, &error);
        if (!image) {
            throw Refusal{error};
        }
        image->imageCount = static_cast<unsigned>(pictures.size());
        images.push_back(std::move(*image));
    }
    std::optional<std::vector<std::uint8_t>> bytes = IcoFile(images, &error);
    if (!bytes) {
        throw Refusal{error};
    }
    files.icon = std::move(*bytes);
    files.script +=
        "\n" + std::to_string(resource.id) + " ICON " + NarrowLiteral(files.iconFileName) + "\n";
    dump.icons.insert(dump.icons.end(), images.begin(), images.end());
}

void WriteDialogs(const platform::ResourceModule& module, std::string& script,
                  resource_dump::Resources& dump) {
    for (const platform::DialogResource& dialog : module.dialogs) {
        script +=
            "\n" + std::to_string(dialog.id) + " DIALOGEX " + ScriptRectangle(dialog.frame) + "\n";
        script += "STYLE " + Hex(dialog.frame.style, 8) + "\n";
        script += "EXSTYLE " + Hex(dialog.frame.exStyle, 8) + "\n";
        script += "CAPTION " + WideLiteral(dialog.caption) + "\n";
        script += "FONT " + std::to_string(dialog.pointSize) + ", " + WideLiteral(dialog.faceName) +
                  ", " + std::to_string(kFontWeight) + ", " + std::to_string(kFontItalic ? 1 : 0) +
                  ", " + std::to_string(kFontCharset) + "\nBEGIN\n";
        resource_dump::Dialog dumped{dialog.id,
                                     DumpFrame(dialog.frame),
                                     Name::Number(0),
                                     Name::Number(0),
                                     std::u16string(dialog.caption),
                                     dialog.pointSize,
                                     kFontWeight,
                                     kFontItalic,
                                     kFontCharset,
                                     std::u16string(dialog.faceName),
                                     {}};
        for (const platform::DialogItemResource& item : dialog.items) {
            const std::optional<unsigned> systemClass = SystemClassNumber(item.windowClass);
            Name dumpedClass = Name::Text(std::u16string(item.windowClass));
            std::string scriptClass = WideLiteral(item.windowClass);
            if (systemClass) {
                dumpedClass = Name::Text(std::u16string(
                    resource_dump::kSystemControlClasses[*systemClass -
                                                         resource_dump::kFirstSystemControlClass]));
                scriptClass = Hex(*systemClass, 4);
            }
            script += "  CONTROL " + ControlText(item.text) + ", " + std::to_string(item.id) +
                      ", " + scriptClass + ", " + Hex(item.frame.style, 8) + ", " +
                      ScriptRectangle(item.frame) +
                      (item.frame.exStyle != 0 ? ", " + Hex(item.frame.exStyle, 8) : "") +
                      (systemClass
                           ? "  // " + std::string(dumpedClass.text.begin(), dumpedClass.text.end())
                           : "") +
                      "\n";
            dumped.controls.push_back(
                {item.id, std::move(dumpedClass), DumpFrame(item.frame), DumpName(item.text)});
        }
        script += "END\n";
        dump.dialogs.push_back(std::move(dumped));
    }
}

bool IsHighResolutionMarker(const platform::RawResource& raw) {
    return raw.type.text == u"CEUX" && raw.name.text == u"HI_RES_AWARE" && raw.data.size() == 2 &&
           std::to_integer<int>(raw.data[0]) == 1 && std::to_integer<int>(raw.data[1]) == 0;
}

void WriteRaw(const platform::ResourceModule& module, std::string& script,
              resource_dump::Resources& dump) {
    bool highResolution = false;
    for (const platform::RawResource& raw : module.raw) {
        const bool rcData = raw.type.IsNumber() && raw.type.id == resource_dump::kTypeRcData;
        const std::string name = ScriptName(raw.name, "resource");
        if (raw.data.size() % 2 != 0) {
            throw Refusal{"resource " + name + ": " + std::to_string(raw.data.size()) +
                          " bytes are not whole 16-bit words"};
        }
        script +=
            "\n" + name + " " + (rcData ? "RCDATA" : ScriptName(raw.type, "type")) + "\nBEGIN\n";
        for (std::size_t i = 0; i < raw.data.size(); i += 2) {
            const unsigned word = std::to_integer<unsigned>(raw.data[i]) |
                                  std::to_integer<unsigned>(raw.data[i + 1]) << 8;
            const bool lineStart = i % 16 == 0;
            const bool last = i + 2 == raw.data.size();
            script += (lineStart ? "  " : " ") + Hex(word, 4) + (last ? "" : ",") +
                      (last || i % 16 == 14 ? "\n" : "");
        }
        script += "END\n";
        resource_dump::RawData dumped{DumpName(raw.type), DumpName(raw.name), {}};
        for (const std::byte byte : raw.data) {
            dumped.bytes.push_back(std::to_integer<std::uint8_t>(byte));
        }
        dump.raw.push_back(std::move(dumped));
        highResolution = highResolution || IsHighResolutionMarker(raw);
    }
    const std::string manifest = std::string(kManifestStart) +
                                 (highResolution ? std::string(kDpiAware) : std::string()) +
                                 std::string(kManifestEnd);
    script += highResolution ? "\n// The manifest: common controls 6 and the desktop's form of the "
                               "high-resolution marker, per-monitor DPI aware.\n"
                             : "\n// The manifest: common controls 6.\n";
    script += "1 24\nBEGIN\n";
    std::size_t start = 0;
    while (start < manifest.size()) {
        const std::size_t end = manifest.find('\n', start) + 1;
        script +=
            "  " + NarrowLiteral(std::string_view(manifest).substr(start, end - start)) + "\n";
        start = end;
    }
    script += "END\n";
    dump.raw.push_back({Name::Number(resource_dump::kTypeManifest), Name::Number(1),
                        std::vector<std::uint8_t>(manifest.begin(), manifest.end())});
}

// An image's distinct colours, in increasing order.
std::vector<std::uint32_t> Palette(const std::vector<std::uint32_t>& colours) {
    std::vector<std::uint32_t> palette = colours;
    std::sort(palette.begin(), palette.end());
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

void PutWord(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutDword(std::vector<std::uint8_t>& out, std::uint32_t value) {
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

}  // namespace

std::string WideLiteral(std::u16string_view text) {
    std::string out = "L\"";
    for (const char16_t c : text) {
        if (c == u'"') {
            out += "\"\"";
        } else if (c == u'\\') {
            out += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%04X", static_cast<unsigned>(c));
            out += escape;
        }
    }
    return out + "\"";
}

std::optional<resource_dump::Icon> IconImage(WORD id, const platform::WindowIcon& picture,
                                             std::string* error) {
    const std::size_t pixels = static_cast<std::size_t>(picture.width) * picture.height;
    if (picture.width <= 0 || picture.height <= 0 || picture.rgba.size() != pixels * 4) {
        *error = "icon " + std::to_string(id) + ": " + std::to_string(picture.rgba.size()) +
                 " bytes of pixels for " + std::to_string(picture.width) + " x " +
                 std::to_string(picture.height);
        return std::nullopt;
    }
    resource_dump::Icon image{id, 1, picture.width, picture.height, 24, {}, {}};
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* rgba = &picture.rgba[i * 4];
        if (rgba[3] != 0 && rgba[3] != 255) {
            *error = "icon " + std::to_string(id) + ": pixel " + std::to_string(i % picture.width) +
                     ", " + std::to_string(i / picture.width) +
                     " is partly transparent, which a 24-bit icon with a mask cannot be";
            return std::nullopt;
        }
        const bool transparent = rgba[3] == 0;
        image.mask.push_back(transparent);
        image.colours.push_back(transparent ? 0 : (rgba[0] << 16) | (rgba[1] << 8) | rgba[2]);
    }
    image.bitsPerPixel = Palette(image.colours).size() <= 16 ? 4 : 24;
    return image;
}

std::optional<std::vector<std::uint8_t>> IcoFile(std::span<const resource_dump::Icon> images,
                                                 std::string* error) {
    constexpr std::uint32_t kHeaderSize = 40;
    constexpr std::size_t kEntrySize = 16;
    std::vector<std::uint8_t> directory;
    std::vector<std::uint8_t> data;
    // The directory: reserved, type 1 (icon), the number of images; an entry for each.
    PutWord(directory, 0);
    PutWord(directory, 1);
    PutWord(directory, static_cast<unsigned>(images.size()));
    for (const resource_dump::Icon& image : images) {
        const std::size_t pixels = static_cast<std::size_t>(image.width) * image.height;
        const bool fourBits = image.bitsPerPixel == 4;
        const std::vector<std::uint32_t> palette =
            fourBits ? Palette(image.colours) : std::vector<std::uint32_t>{};
        if (image.width <= 0 || image.height <= 0 || image.width > 256 || image.height > 256 ||
            image.colours.size() != pixels || image.mask.size() != pixels ||
            (!fourBits && image.bitsPerPixel != 24) || palette.size() > 16) {
            *error = "icon " + std::to_string(image.id) +
                     ": an .ico image is 1 to 256 pixels a side, at 4 bits per pixel (16 "
                     "colours) or 24";
            return std::nullopt;
        }
        const std::size_t colourRow =
            (static_cast<std::size_t>(image.width) * image.bitsPerPixel + 31) / 32 * 4;
        const std::size_t maskRow = (static_cast<std::size_t>(image.width) + 31) / 32 * 4;
        const std::size_t paletteSize = fourBits ? 16 * 4 : 0;
        const std::size_t imageSize = colourRow * image.height + maskRow * image.height;
        const std::size_t start = data.size();

        // Its entry (256 is written as 0): size, colours (16 or none), planes, bits, bytes, place.
        directory.push_back(static_cast<std::uint8_t>(image.width & 0xFF));
        directory.push_back(static_cast<std::uint8_t>(image.height & 0xFF));
        directory.push_back(fourBits ? 16 : 0);
        directory.push_back(0);
        PutWord(directory, 1);
        PutWord(directory, image.bitsPerPixel);
        PutDword(directory, static_cast<std::uint32_t>(kHeaderSize + paletteSize + imageSize));
        PutDword(directory, static_cast<std::uint32_t>(6 + kEntrySize * images.size() + start));

        // The image's header: twice the height, for the colour rows and the mask's.
        PutDword(data, kHeaderSize);
        PutDword(data, static_cast<std::uint32_t>(image.width));
        PutDword(data, static_cast<std::uint32_t>(image.height * 2));
        PutWord(data, 1);
        PutWord(data, image.bitsPerPixel);
        PutDword(data, 0);  // no compression
        PutDword(data, static_cast<std::uint32_t>(imageSize));
        for (int i = 0; i < 4; ++i) {
            PutDword(data, 0);  // resolution, and all 16 palette entries
        }
        if (fourBits) {
            for (std::size_t i = 0; i < 16; ++i) {
                PutDword(data, i < palette.size() ? palette[i] : 0);  // 0xRRGGBB is B, G, R, 0
            }
        }
        for (int y = image.height - 1; y >= 0; --y) {
            const std::size_t rowStart = data.size();
            for (int x = 0; x < image.width; ++x) {
                const std::uint32_t colour =
                    image.colours[static_cast<std::size_t>(y) * image.width + x];
                if (fourBits) {
                    const auto index = static_cast<std::uint8_t>(
                        std::lower_bound(palette.begin(), palette.end(), colour) - palette.begin());
                    if (x % 2 == 0) {
                        data.push_back(static_cast<std::uint8_t>(index << 4));
                    } else {
                        data.back() |= index;
                    }
                } else {
                    data.push_back(static_cast<std::uint8_t>(colour & 0xFF));
                    data.push_back(static_cast<std::uint8_t>((colour >> 8) & 0xFF));
                    data.push_back(static_cast<std::uint8_t>((colour >> 16) & 0xFF));
                }
            }
            data.resize(rowStart + colourRow, 0);
        }
        for (int y = image.height - 1; y >= 0; --y) {
            const std::size_t rowStart = data.size();
            data.resize(rowStart + maskRow, 0);
            for (int x = 0; x < image.width; ++x) {
                if (image.mask[static_cast<std::size_t>(y) * image.width + x]) {
                    data[rowStart + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                }
            }
        }
    }
    directory.insert(directory.end(), data.begin(), data.end());
    return directory;
}

std::optional<Files> WriteFiles(const platform::ResourceModule& module,
                                std::span<const platform::WindowIcon> iconImages,
                                std::string* error) {
    try {
        Files files;
        if (module.name.empty()) {
            throw Refusal{"the module has no name to call its icon file by"};
        }
        for (const char16_t c : module.name) {
            if (c < 0x20 || c >= 0x7F || c == u'/' || c == u'\\' || c == u'"') {
                throw Refusal{"the module's name is not a plain file name"};
            }
            files.iconFileName += static_cast<char>(c);
        }
        files.iconFileName += ".ico";
        resource_dump::Resources dump;
        dump.languages.push_back(module.language);
        files.script = std::string(kHeader);
        files.script += "\nLANGUAGE " + Hex(module.language & 0x3FF, 2) + ", " +
                        Hex(module.language >> 10, 2) + "\n";
        WriteStrings(module, files.script, dump);
        WriteMenus(module, files.script, dump);
        WriteAccelerators(module, files.script, dump);
        WriteIcons(module, iconImages, files, dump);
        WriteDialogs(module, files.script, dump);
        WriteRaw(module, files.script, dump);
        files.dump = resource_dump::Write(dump);
        return files;
    } catch (const Refusal& refusal) {
        *error = refusal.reason;
        return std::nullopt;
    }
}

}  // namespace windows_resources
