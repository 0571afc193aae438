// tarvel-rc's writing: literals windres reads without a code page, the .ico's byte layout, the
// canonical dump's order, and the refusals of what a resource script cannot say.
#include "tools/windows_resource_files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <string>

namespace {

using platform::ResourceName;
using windows_resources::IcoFile;
using windows_resources::IconImage;
using windows_resources::WideLiteral;
using windows_resources::WriteFiles;

TEST(WideLiteral, EscapesAllButPrintableAsciiInFourDigits) {
    // A hex digit after an escape stays a letter: windres reads four digits at most.
    EXPECT_EQ(WideLiteral(u"versi\u00F3n"), R"(L"versi\x00F3n")");
    EXPECT_EQ(WideLiteral(u"\u00FAa"), R"(L"\x00FAa")");
    EXPECT_EQ(WideLiteral(u"say \"hi\" \\ now\n"), R"(L"say ""hi"" \\ now\x000A")");
    EXPECT_EQ(WideLiteral(u"\U0001F600"), R"(L"\xD83D\xDE00")");
}

std::uint32_t Dword(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

using Bytes = std::vector<std::uint8_t>;

// Whether `text` holds `piece`; the text is shown when not.
testing::AssertionResult Has(const std::string& text, const std::string& piece) {
    if (text.find(piece) != std::string::npos) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "no \"" << piece << "\" in:\n" << text;
}

TEST(IcoFile, HoldsEachImageAtItsDepthBottomUpThenTheMask) {
    // 3 x 2: red, green, transparent / blue, white, black.
    const platform::WindowIcon picture{3, 2, {255, 0, 0,   255, 0,   255, 0,   255, 9, 9, 9, 0,  //
                                              0,   0, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}};
    std::string error;
    const auto image = IconImage(7, picture, &error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->bitsPerPixel, 4U);  // five colours
    resource_dump::Icon deep = *image;
    deep.bitsPerPixel = 24;
    const resource_dump::Icon images[] = {*image, deep};
    const auto ico = IcoFile(images, &error);
    ASSERT_TRUE(ico) << error;
    const Bytes& bytes = *ico;
    // The directory of two, then 4-bit rows padded to 4 bytes after a 16-colour palette, then
    // 24-bit rows of 9 bytes padded to 12; each with mask rows of 3 bits padded to 4 bytes.
    constexpr std::size_t kFirst = 6 + 2 * 16;
    constexpr std::size_t kSecond = kFirst + 40 + 64 + 2 * 4 + 2 * 4;
    ASSERT_EQ(bytes.size(), kSecond + 40 + 2 * 12 + 2 * 4);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(Bytes(bytes.begin() + 6, bytes.begin() + 14), (Bytes{3, 2, 16, 0, 1, 0, 4, 0}));
    EXPECT_EQ(Dword(bytes, 14), kSecond - kFirst);
    EXPECT_EQ(Dword(bytes, 18), kFirst);
    EXPECT_EQ(bytes[22 + 6], 24);
    EXPECT_EQ(Dword(bytes, 22 + 12), kSecond);
    EXPECT_EQ(Dword(bytes, kFirst + 8), 4U);  // colour and mask heights together
    // The palette sorted (black, blue, green, red, white as B, G, R, 0), then the indices.
    EXPECT_EQ(Bytes(bytes.begin() + kFirst + 40, bytes.begin() + kFirst + 60),
              (Bytes{0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0}));
    EXPECT_EQ(Bytes(bytes.begin() + kFirst + 104, bytes.begin() + kSecond),
              (Bytes{0x14, 0, 0, 0, 0x32, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0}));
    const Bytes colourRows(bytes.begin() + kSecond + 40, bytes.begin() + kSecond + 64);
    const Bytes expected = {
        255, 0, 0,   255, 255, 255, 0, 0, 0, 0, 0, 0,  // bottom row first: blue, white, black
        0,   0, 255, 0,   255, 0,   0, 0, 0, 0, 0, 0,  // red, green, transparent black
    };
    EXPECT_EQ(colourRows, expected);
    EXPECT_EQ(Bytes(bytes.begin() + kSecond + 64, bytes.end()), (Bytes{0, 0, 0, 0, 0x20, 0, 0, 0}));
}

TEST(IcoFile, RefusesWhatAnIconWithAMaskCannotHold) {
    std::string error;
    EXPECT_FALSE(IconImage(7, {1, 1, {1, 2, 3, 128}}, &error));
    EXPECT_TRUE(Has(error, "partly transparent"));
    EXPECT_FALSE(IconImage(7, {2, 1, {1, 2, 3, 255}}, &error));
    const resource_dump::Icon huge{
        7, 1, 257, 1, 24, std::vector<std::uint32_t>(257), std::vector<bool>(257)};
    EXPECT_FALSE(IcoFile({&huge, 1}, &error));
    EXPECT_TRUE(Has(error, "256"));
    std::vector<std::uint32_t> seventeen(17);
    std::iota(seventeen.begin(), seventeen.end(), 0u);
    const resource_dump::Icon crowded{7, 1, 17, 1, 4, seventeen, std::vector<bool>(17)};
    EXPECT_FALSE(IcoFile({&crowded, 1}, &error));
}

TEST(ResourceDump, SortsByIdWhateverTheOrderGiven) {
    resource_dump::Resources listed;
    listed.languages = {0x0C0A};
    listed.strings = {{104, u"AYUDA"}, {1, u"say \"\U0001F600\"\t"}};
    listed.raw = {{resource_dump::Name::Text(u"CEUX"), resource_dump::Name::Text(u"X"), {1, 0}},
                  {resource_dump::Name::Number(10), resource_dump::Name::Number(5), {1, 2, 3}}};
    resource_dump::Resources reversed = listed;
    std::swap(reversed.strings[0], reversed.strings[1]);
    std::swap(reversed.raw[0], reversed.raw[1]);
    const std::string text = resource_dump::Write(listed);
    EXPECT_EQ(resource_dump::Write(reversed), text);
    EXPECT_TRUE(Has(text, "string 1 \"say \\\"\xF0\x9F\x98\x80\\\"\\x09\"\nstring 104"));
    EXPECT_TRUE(Has(text,
                    "data type 10 name 5 (3 bytes)\n  0x01 0x02 0x03\n"
                    "data type \"CEUX\" name \"X\" (2 bytes)\n  0x0001\n"));
}

// A module of one piece, the others empty.
struct Pieces {
    std::span<const platform::StringResource> strings = {};
    std::span<const platform::MenuResource> menus = {};
    std::span<const platform::AcceleratorTableResource> accelerators = {};
    std::span<const platform::IconResource> icons = {};
    std::span<const platform::RawResource> raw = {};
    std::span<const platform::DialogResource> dialogs = {};
};

platform::ResourceModule Module(const Pieces& pieces) {
    return {u"test",      0x0409,         pieces.strings, pieces.menus, pieces.accelerators,
            pieces.icons, pieces.dialogs, pieces.raw};
}

std::string Refusal(const Pieces& pieces) {
    std::string error;
    EXPECT_FALSE(WriteFiles(Module(pieces), {}, &error));
    return error;
}

TEST(WriteFiles, RefusesWhatAScriptCannotSayAndNamesIt) {
    const platform::StringResource empty[] = {{12, u""}};
    EXPECT_NE(Refusal({.strings = empty}).find("string 12 is empty"), std::string::npos);

    const platform::MenuItemResource oddItem[] = {{300, u"x", 0x100}};
    const platform::PopupResource oddPopup[] = {{u"p", oddItem}};
    const platform::MenuResource oddMenu[] = {{9, oddPopup}};
    EXPECT_NE(Refusal({.menus = oddMenu}).find("menu item 300"), std::string::npos);

    const ACCEL shiftedAscii[] = {{FSHIFT | ACCEL_LAST_ENTRY, 'a', 400}};
    const platform::AcceleratorTableResource shiftedTable[] = {{3, shiftedAscii}};
    EXPECT_NE(Refusal({.accelerators = shiftedTable}).find("command 400"), std::string::npos);

    const std::byte three[3] = {};
    const platform::RawResource oddData[] = {
        {ResourceName::Number(10), ResourceName::Number(8), three}};
    EXPECT_NE(Refusal({.raw = oddData}).find("resource 8"), std::string::npos);

    const std::byte two[2] = {};
    const platform::RawResource lowerCase[] = {
        {ResourceName::Text(u"CEUX"), ResourceName::Text(u"hi"), two}};
    EXPECT_NE(Refusal({.raw = lowerCase}).find("upper-case"), std::string::npos);

    constexpr platform::IconPaletteEntry palette[] = {{'x', 0}};
    constexpr std::string_view rows[] = {"xy"};
    const platform::IconResource badArt[] = {{5, 2, 1, palette, rows}};
    EXPECT_NE(Refusal({.icons = badArt}).find("'y'"), std::string::npos);
    const platform::IconResource twoIcons[] = {{5, 1, 1, palette, rows}, {6, 1, 1, palette, rows}};
    EXPECT_NE(Refusal({.icons = twoIcons}).find("2 icons"), std::string::npos);
}

TEST(WriteFiles, NamesSystemControlClassesByNumberAsWindowsDoes) {
    const platform::DialogItemResource items[] = {
        {7, u"Button", {0x50000000, 0x4, 1, 2, 3, 4}, ResourceName::Text(u"Go")},
        {8, u"Fancy", {0x50000000, 0, 1, 2, 3, 4}, ResourceName::Number(101)},
    };
    const platform::DialogResource dialogs[] = {
        {50, {0x80C00040, 0, 0, 0, 10, 10}, u"D", 8, u"Face", items}};
    std::string error;
    const auto files = WriteFiles(Module({.dialogs = dialogs}), {}, &error);
    ASSERT_TRUE(files) << error;
    EXPECT_TRUE(
        Has(files->script, "CONTROL L\"Go\", 7, 0x0080, 0x50000000, 1, 2, 3, 4, 0x00000004"));
    EXPECT_TRUE(Has(files->script, "CONTROL 101, 8, L\"Fancy\", 0x50000000, 1, 2, 3, 4\n"));
    EXPECT_TRUE(Has(files->dump, "control 7 class \"button\""));
}

TEST(WriteFiles, SaysFlagsAndKeysAsWindresNamesThem) {
    const platform::MenuItemResource items[] = {{300, u"On", MF_CHECKED | MF_GRAYED}};
    const platform::PopupResource popups[] = {{u"p", items}};
    const platform::MenuResource menus[] = {{9, popups}};
    const ACCEL keys[] = {{FVIRTKEY | FSHIFT | FALT, 0x70, 401}, {ACCEL_LAST_ENTRY, '?', 402}};
    const platform::AcceleratorTableResource tables[] = {{3, keys}};
    std::string error;
    const auto files = WriteFiles(Module({.menus = menus, .accelerators = tables}), {}, &error);
    ASSERT_TRUE(files) << error;
    EXPECT_TRUE(Has(files->script, "MENUITEM L\"On\", 300, GRAYED, CHECKED\n"));
    EXPECT_TRUE(Has(files->script, "0x70, 401, VIRTKEY, SHIFT, ALT\n"));
    EXPECT_TRUE(Has(files->script, "0x3F, 402, ASCII\n"));
    EXPECT_TRUE(Has(files->script, "LANGUAGE 0x09, 0x01\n"));
    // The manifest asks for today's common controls; without the high-resolution marker, for
    // nothing else.
    EXPECT_TRUE(Has(files->script, "\n1 24\n"));
    EXPECT_TRUE(Has(files->script, "Microsoft.Windows.Common-Controls"));
    EXPECT_EQ(files->script.find("dpiAware"), std::string::npos);
    EXPECT_TRUE(Has(files->dump, "  VIRTKEY SHIFT ALT 0x70 -> 401\n  0x3F -> 402\n"));
}

}  // namespace
