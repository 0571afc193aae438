// The resources compiled into tarvel.exe, read back through user32 as the program reads them
// (LoadStringW, LoadMenuW, LoadAcceleratorsW, LoadImageW, FindResourceW for the dialog template
// and the data blocks), written in the canonical form and compared with the dump tarvel-rc wrote
// from the same C++ data. The program is loaded as a data file: what is checked is the shipped
// executable, with whatever the linker put in it, not a copy of its script linked in here. Its
// version resource, which the build writes rather than tarvel-rc, is read as Explorer's
// Properties and Task Manager read it.
//
//   windows_resources_tests PROGRAM.exe EXPECTED_DUMP.txt VERSION [gtest options]
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "tools/resource_dump.h"

namespace {

using resource_dump::Name;

std::wstring gProgram;
std::filesystem::path gExpectedDump;
std::wstring gVersion;

constexpr unsigned kTypeVersion = 16;

Name NameOf(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        return Name::Number(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    }
    return Name::Text(std::u16string(name, name + wcslen(name)));
}

std::u16string Text(const wchar_t* text, std::size_t length) {
    return std::u16string(text, text + length);
}

// A resource's name as user32 and kernel32 take it; the string lives in `name`.
LPCWSTR Pointer(const Name& name) {
    return name.text.empty() ? MAKEINTRESOURCEW(name.number)
                             : reinterpret_cast<LPCWSTR>(name.text.c_str());
}

struct Listing {
    std::vector<std::pair<Name, std::vector<Name>>> types;  // each type with its names
    std::set<unsigned> languages;
};

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR listing) {
    reinterpret_cast<Listing*>(listing)->languages.insert(language);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
    reinterpret_cast<std::vector<Name>*>(names)->push_back(NameOf(name));
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE, LPWSTR type, LONG_PTR listing) {
    reinterpret_cast<Listing*>(listing)->types.push_back({NameOf(type), {}});
    return TRUE;
}

Listing List(HMODULE module) {
    Listing listing;
    EnumResourceTypesW(module, OnType, reinterpret_cast<LONG_PTR>(&listing));
    std::erase_if(listing.types,
                  [](const auto& type) { return type.first == Name::Number(kTypeVersion); });
    for (auto& [type, names] : listing.types) {
        EnumResourceNamesW(module, Pointer(type), OnName, reinterpret_cast<LONG_PTR>(&names));
        for (const Name& name : names) {
            EnumResourceLanguagesW(module, Pointer(type), Pointer(name), OnLanguage,
                                   reinterpret_cast<LONG_PTR>(&listing));
        }
    }
    return listing;
}

std::span<const std::uint8_t> Bytes(HMODULE module, const Name& type, const Name& name) {
    const HRSRC found = FindResourceW(module, Pointer(name), Pointer(type));
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        ADD_FAILURE() << "FindResourceW/LoadResource failed for a listed resource";
        return {};
    }
    return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

void ReadStrings(HMODULE module, unsigned block, resource_dump::Resources& out) {
    // Block n holds the strings (n - 1) * 16 to (n - 1) * 16 + 15; an empty one is absent.
    for (unsigned id = (block - 1) * 16; id < block * 16; ++id) {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (length > 0) {
            out.strings.push_back({id, Text(text, static_cast<std::size_t>(length))});
        }
    }
}

std::u16string MenuText(HMENU menu, int position) {
    wchar_t text[256] = {};
    const int length = GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return Text(text, static_cast<std::size_t>(std::max(length, 0)));
}

void ReadMenu(HMODULE module, unsigned id, resource_dump::Resources& out) {
    const HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));
    ASSERT_NE(menu, nullptr) << "LoadMenuW " << id;
    resource_dump::Menu read{id, {}};
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const HMENU popup = GetSubMenu(menu, i);
        if (popup == nullptr) {
            ADD_FAILURE() << "menu " << id << ": entry " << i << " is not a pop-up";
            continue;
        }
        resource_dump::Popup readPopup{MenuText(menu, i), {}};
        for (int j = 0; j < GetMenuItemCount(popup); ++j) {
            const UINT command = GetMenuItemID(popup, j);
            if (command == static_cast<UINT>(-1)) {
                ADD_FAILURE() << "menu " << id << ": pop-up " << i << " item " << j
                              << " is a pop-up or a separator";
                continue;
            }
            readPopup.items.push_back(
                {command, MenuText(popup, j), GetMenuState(popup, j, MF_BYPOSITION) & 0xFF});
        }
        read.popups.push_back(std::move(readPopup));
    }
    DestroyMenu(menu);
    out.menus.push_back(std::move(read));
}

void ReadAccelerators(HMODULE module, unsigned id, resource_dump::Resources& out) {
    const HACCEL table = LoadAcceleratorsW(module, MAKEINTRESOURCEW(id));
    ASSERT_NE(table, nullptr) << "LoadAcceleratorsW " << id;
    std::vector<ACCEL> entries(static_cast<std::size_t>(CopyAcceleratorTableW(table, nullptr, 0)));
    CopyAcceleratorTableW(table, entries.data(), static_cast<int>(entries.size()));
    DestroyAcceleratorTable(table);
    resource_dump::AcceleratorTable read{id, {}};
    for (const ACCEL& entry : entries) {
        read.entries.push_back({entry.fVirt & 0x7Fu, entry.key, entry.cmd});
    }
    out.accelerators.push_back(std::move(read));
}

// Reads a DLGTEMPLATEEX's fields in order, little-endian, refusing to read past its end.
class TemplateReader {
  public:
    explicit TemplateReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }

    std::uint32_t Word() {
        if (at_ + 2 > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        at_ += 2;
        return bytes_[at_ - 2] | bytes_[at_ - 1] << 8;
    }
    std::uint32_t Dword() {
        const std::uint32_t low = Word();
        return low | Word() << 16;
    }
    int Short() { return static_cast<std::int16_t>(Word()); }
    std::u16string String() {
        std::u16string text;
        for (std::uint32_t unit = Word(); ok_ && unit != 0; unit = Word()) {
            text += static_cast<char16_t>(unit);
        }
        return text;
    }
    // A number after 0xFFFF, or a string; an empty string is the number 0 (none).
    Name NameOrNumber() {
        if (at_ + 2 <= bytes_.size() && bytes_[at_] == 0xFF && bytes_[at_ + 1] == 0xFF) {
            Word();
            return Name::Number(Word());
        }
        std::u16string text = String();
        return text.empty() ? Name::Number(0) : Name::Text(std::move(text));
    }
    // A template's or an item's help id, styles and rectangle; a template has its item count
    // between the styles and the rectangle.
    resource_dump::DialogFrame Frame(std::uint32_t* itemCount = nullptr) {
        Dword();  // help id
        const std::uint32_t exStyle = Dword();
        const std::uint32_t style = Dword();
        if (itemCount != nullptr) {
            *itemCount = Word();
        }
        return {style, exStyle, Short(), Short(), Short(), Short()};  // braces read in order
    }
    void AlignToDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

// The system's control classes, which a template names by number, by name.
Name ControlClass(Name name) {
    const unsigned first = resource_dump::kFirstSystemControlClass;
    if (name.text.empty() && name.number >= first &&
        name.number - first < std::size(resource_dump::kSystemControlClasses)) {
        return Name::Text(
            std::u16string(resource_dump::kSystemControlClasses[name.number - first]));
    }
    return name;
}

void ReadDialog(HMODULE module, unsigned id, resource_dump::Resources& out) {
    TemplateReader reader(Bytes(module, Name::Number(5), Name::Number(id)));
    const std::uint32_t version = reader.Word();
    const std::uint32_t signature = reader.Word();
    ASSERT_EQ(version, 1U) << "dialog " << id << " is not an extended template";
    ASSERT_EQ(signature, 0xFFFFU);
    resource_dump::Dialog dialog{};
    dialog.id = id;
    std::uint32_t count = 0;
    dialog.frame = reader.Frame(&count);
    dialog.menu = reader.NameOrNumber();
    dialog.windowClass = reader.NameOrNumber();
    dialog.caption = reader.String();
    if ((dialog.frame.style & (DS_SETFONT | DS_SHELLFONT)) != 0) {
        dialog.pointSize = reader.Word();
        dialog.weight = reader.Word();
        const std::uint32_t italicAndCharset = reader.Word();
        dialog.italic = (italicAndCharset & 0xFF) != 0;
        dialog.charset = italicAndCharset >> 8;
        dialog.faceName = reader.String();
    }
    for (std::uint32_t i = 0; i < count && reader.ok(); ++i) {
        reader.AlignToDword();
        resource_dump::DialogControl control{};
        control.frame = reader.Frame();
        control.id = reader.Dword();
        control.windowClass = ControlClass(reader.NameOrNumber());
        control.text = reader.NameOrNumber();
        const std::uint32_t extra = reader.Word();
        EXPECT_EQ(extra, 0U) << "dialog " << id << " control " << control.id << " creation data";
        dialog.controls.push_back(std::move(control));
    }
    ASSERT_TRUE(reader.ok()) << "dialog " << id << ": the template ends early";
    out.dialogs.push_back(std::move(dialog));
}

struct DeleteBitmap {
    void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, DeleteBitmap>;

// A bitmap's pixels as top-down rows of `bits` (32 or 1) per pixel.
std::vector<std::uint8_t> Pixels(HBITMAP bitmap, int width, int height, WORD bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[2];
    } info{};
    info.header = {sizeof info.header, width, -height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
    const std::size_t row = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    std::vector<std::uint8_t> pixels(row * static_cast<std::size_t>(height));
    const HDC context = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(context, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                               reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteDC(context);
    EXPECT_EQ(rows, height) << "GetDIBits at " << bits << " bits";
    return pixels;
}

// Each image of the group, at its size as the program would load it.
void ReadIcon(HMODULE module, unsigned id, resource_dump::Resources& out) {
    // The group: a directory of images (14 bytes each after 6), each naming its image.
    const std::span<const std::uint8_t> group = Bytes(module, Name::Number(14), Name::Number(id));
    ASSERT_GE(group.size(), 6U);
    const unsigned count = group[4] | group[5] << 8;
    ASSERT_GE(group.size(), 6U + 14 * count);
    for (unsigned entry = 0; entry < count; ++entry) {
        const std::uint8_t* fields = &group[6 + 14 * entry];
        const unsigned imageId = fields[12] | fields[13] << 8;
        const std::span<const std::uint8_t> image =
            Bytes(module, Name::Number(3), Name::Number(imageId));
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof header);
        // The height counts the colour rows and the mask's.
        resource_dump::Icon icon{id, count, header.biWidth, header.biHeight / 2, header.biBitCount,
                                 {}, {}};

        // The pixels as the program gets them at that size.
        const auto handle = static_cast<HICON>(LoadImageW(
            module, MAKEINTRESOURCEW(id), IMAGE_ICON, icon.width, icon.height, LR_DEFAULTCOLOR));
        ASSERT_NE(handle, nullptr) << "LoadImageW icon " << id << " at " << icon.width;
        ICONINFO info{};
        const BOOL gotInfo = GetIconInfo(handle, &info);
        DestroyIcon(handle);
        ASSERT_TRUE(gotInfo) << "GetIconInfo icon " << id;
        const Bitmap colour(info.hbmColor);
        const Bitmap mask(info.hbmMask);
        ASSERT_NE(colour, nullptr) << "icon " << id << " has no colour image";
        const std::vector<std::uint8_t> bgrx = Pixels(colour.get(), icon.width, icon.height, 32);
        const std::vector<std::uint8_t> bits = Pixels(mask.get(), icon.width, icon.height, 1);
        const std::size_t maskRow = (static_cast<std::size_t>(icon.width) + 31) / 32 * 4;
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                const std::uint8_t* pixel =
                    &bgrx[(static_cast<std::size_t>(y) * icon.width + x) * 4];
                icon.colours.push_back(pixel[2] << 16 | pixel[1] << 8 | pixel[0]);
                icon.mask.push_back((bits[y * maskRow + x / 8] & (0x80 >> (x % 8))) != 0);
            }
        }
        out.icons.push_back(std::move(icon));
    }
}

resource_dump::Resources ReadBack(HMODULE module) {
    const Listing listing = List(module);
    resource_dump::Resources read;
    read.languages.assign(listing.languages.begin(), listing.languages.end());
    for (const auto& [type, names] : listing.types) {
        for (const Name& name : names) {
            const bool numbered = type.text.empty() && name.text.empty();
            const unsigned kind = numbered ? type.number : 0;
            if (kind == 6) {
                ReadStrings(module, name.number, read);
            } else if (kind == 4) {
                ReadMenu(module, name.number, read);
            } else if (kind == 9) {
                ReadAccelerators(module, name.number, read);
            } else if (kind == 5) {
                ReadDialog(module, name.number, read);
            } else if (kind == 14) {
                ReadIcon(module, name.number, read);
            } else if (kind != 3) {  // icon images are their groups'
                const std::span<const std::uint8_t> bytes = Bytes(module, type, name);
                read.raw.push_back({type, name, {bytes.begin(), bytes.end()}});
            }
        }
    }
    return read;
}

struct FreeModule {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

TEST(CompiledResources, ReadThroughUser32TheyEqualTheDataTheScriptWasWrittenFrom) {
    std::ifstream file(gExpectedDump, std::ios::binary);
    ASSERT_TRUE(file) << "cannot read " << gExpectedDump.string();
    const std::string expected{std::istreambuf_iterator<char>(file), {}};

    const std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule> program(LoadLibraryExW(
        gProgram.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_NE(program, nullptr) << "cannot load the program, error " << GetLastError();
    const std::string read = resource_dump::Write(ReadBack(program.get()));
    EXPECT_EQ(expected, read) << "tarvel.exe's resources differ from " << gExpectedDump.string()
                              << " (the '-' lines are the data's, the '+' lines the program's)";
}

std::wstring VersionText(const std::vector<std::uint8_t>& info, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) {
        return L"(none)";
    }
    return std::wstring(text, length > 0 ? length - 1 : 0);
}

TEST(CompiledResources, TheVersionResourceNamesTheProgramAsWindowsShowsIt) {
    DWORD ignored = 0;
    std::vector<std::uint8_t> info(GetFileVersionInfoSizeW(gProgram.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(
        GetFileVersionInfoW(gProgram.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const std::size_t dot = gVersion.find(L'.');
    const DWORD majorMinor =
        std::stoul(gVersion.substr(0, dot)) << 16 | std::stoul(gVersion.substr(dot + 1));
    EXPECT_EQ(fixed->dwFileVersionMS, majorMinor);
    EXPECT_EQ(fixed->dwProductVersionMS, majorMinor);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    EXPECT_EQ(VersionText(info, L"FileVersion"), gVersion);
    EXPECT_EQ(VersionText(info, L"ProductVersion"), gVersion);
    EXPECT_EQ(VersionText(info, L"ProductName"), L"Tarvel");
    EXPECT_EQ(VersionText(info, L"FileDescription"), L"Tarvel");
    EXPECT_EQ(VersionText(info, L"CompanyName"), L"Tarvel developers");
    EXPECT_EQ(VersionText(info, L"OriginalFilename"),
              std::filesystem::path(gProgram).filename().wstring());
    EXPECT_EQ(VersionText(info, L"LegalCopyright").rfind(L"Copyright (c) ", 0), 0U);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 4) {
        std::fputs("Usage: windows_resources_tests PROGRAM.exe EXPECTED_DUMP.txt VERSION\n",
                   stderr);
        return 2;
    }
    gProgram = argv[1];
    gExpectedDump = argv[2];
    gVersion = argv[3];
    return RUN_ALL_TESTS();
}
