// Loading resources from a registered module: strings and their truncation, icons, raw blocks,
// menus, dialog templates.
#include <cairo.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <tuple>
#include <utility>

#include "platform/window/dialog_template.h"
#include "platform/window/resource_registry.h"
#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using Resources = Desktop;

constexpr platform::StringResource kStrings[] = {{7, u"Tarvel"}, {8, u""}};
constexpr platform::IconPaletteEntry kPalette[] = {{'.', 0, true}, {'#', RGB(255, 0, 0)}};
constexpr std::string_view kGoodRows[] = {"#.", ".#"};
constexpr std::string_view kShortRow[] = {"#.", "."};
constexpr platform::IconResource kIcons[] = {
    {1, 2, 2, kPalette, kGoodRows},
    {2, 2, 2, kPalette, kShortRow},
};
const platform::ResourceModule kModule{u"test", 3082, kStrings, {}, {}, kIcons, {}, {}};

// With no room, the buffer takes a pointer to the string itself; missing strings, an empty one
// and bad arguments give 0.
TEST_F(Resources, LoadStringCopiesWhatFitsWithItsTerminatingZeroOrGivesAPointer) {
    HINSTANCE instance = platform::RegisterModule(kModule);
    EXPECT_EQ(platform::RegisterModule(kModule), instance) << "one handle per module";
    WCHAR buffer[100];
    // Room for more, exactly enough room, too little, none but the zero's.
    const std::pair<int, std::u16string_view> fits[] = {
        {100, u"Tarvel"}, {7, u"Tarvel"}, {4, u"Tar"}, {1, u""}};
    for (const auto& [room, copied] : fits) {
        buffer[0] = u'x';
        EXPECT_EQ(LoadStringW(instance, 7, buffer, room), static_cast<int>(copied.size())) << room;
        EXPECT_EQ(std::u16string(buffer), copied) << room;
    }
    LPCWSTR text = nullptr;
    EXPECT_EQ(LoadStringW(instance, 7, reinterpret_cast<LPWSTR>(&text), 0), 6);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string_view(text, 6), u"Tarvel");
    EXPECT_EQ(
        (std::array{LoadStringW(instance, 9, buffer, 10), LoadStringW(instance, 8, buffer, 10),
                    LoadStringW(nullptr, 7, buffer, 10),
                    LoadStringW(reinterpret_cast<HINSTANCE>(0x1000), 7, buffer, 10),
                    LoadStringW(instance, 7, nullptr, 10), LoadStringW(instance, 7, buffer, -1)}),
        (std::array<int, 6>{}));
}

TEST_F(Resources, IconsAreSharedAndBadPicturesAreRefused) {
    HINSTANCE instance = platform::RegisterModule(kModule);
    HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(instance, MAKEINTRESOURCEW(1)), icon);
    EXPECT_EQ(LoadIconW(instance, MAKEINTRESOURCEW(2)), nullptr);
    EXPECT_EQ(LoadIconW(instance, MAKEINTRESOURCEW(4)), nullptr);
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    EXPECT_FALSE(platform::detail::RenderIcon({3, 2, 0, kPalette, {}})) << "a picture of no rows";
    // Each pixel has its row's colour: opaque red for '#', clear for '.'.
    const auto rendered = platform::detail::RenderIcon(kIcons[0]);
    ASSERT_TRUE(rendered);
    cairo_surface_flush(rendered->image.get());
    const unsigned char* rows = cairo_image_surface_get_data(rendered->image.get());
    const int stride = cairo_image_surface_get_stride(rendered->image.get());
    const auto at = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(rows + y * stride)[x];
    };
    EXPECT_EQ((std::array{at(0, 0), at(1, 0), at(1, 1)}),
              (std::array<std::uint32_t, 3>{0xFFFF0000u, 0u, 0xFFFF0000u}));
}

TEST_F(Resources, TheGamesBlocksAreFoundByTypeAndName) {
    HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    HRSRC marker = FindResourceW(instance, u"hi_res_aware", u"CEUX");
    ASSERT_NE(marker, nullptr) << "string names ignore case";
    ASSERT_EQ(SizeofResource(instance, marker), 2u);
    WORD value = 0;
    std::memcpy(&value, LockResource(LoadResource(instance, marker)), 2);
    EXPECT_EQ(value, 1);

    HRSRC bar = FindResourceW(instance, MAKEINTRESOURCEW(resources::IDR_MENU), RT_RCDATA);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SizeofResource(instance, bar), 16u * sizeof(WORD));
    EXPECT_EQ(FindResourceW(instance, MAKEINTRESOURCEW(resources::IDR_MENU), RT_DIALOG), nullptr);
    EXPECT_EQ(LoadResource(instance, reinterpret_cast<HRSRC>(0x1234)), nullptr);
    EXPECT_EQ(LockResource(nullptr), nullptr);
    // A block named with text is found by that name in any case, and by no other.
    static constexpr std::byte kBytes[] = {std::byte{1}, std::byte{2}};
    static const platform::RawResource kNamed[] = {
        {platform::ResourceName::Number(10), platform::ResourceName::Text(u"ALPHA"), kBytes}};
    static const platform::ResourceModule kNamedModule{u"named", 3082, {}, {}, {}, {}, {}, kNamed};
    HINSTANCE module = platform::RegisterModule(kNamedModule);
    EXPECT_NE(FindResourceW(module, u"alpha", MAKEINTRESOURCEW(10)), nullptr);
    EXPECT_EQ(FindResourceW(module, u"BETA", MAKEINTRESOURCEW(10)), nullptr);
    EXPECT_EQ(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(10)), nullptr);
}

TEST_F(Resources, TheAboutTemplateReadsBackAsItsResource) {
    HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resources::IDD_ABOUTBOX), RT_DIALOG);
    ASSERT_NE(found, nullptr);
    const void* data = LockResource(LoadResource(instance, found));

    auto parsed = platform::detail::ReadDialogTemplate(data, SizeofResource(instance, found));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->caption, u"Acerca de Tarvel");
    EXPECT_EQ(parsed->pointSize, 8);
    EXPECT_EQ(parsed->faceName, u"MS Sans Serif");
    ASSERT_EQ(parsed->items.size(), 4u);
    EXPECT_EQ(parsed->items[0].textResource, resources::IDI_TARVEL);
    EXPECT_EQ(parsed->items[1].text, u"Tarvel, versión 1.2");
    EXPECT_EQ(parsed->items[3].className, u"button");
    EXPECT_EQ(parsed->items[3].frame.cy, 25);
    // Every byte counts: a template one byte short does not read.
    EXPECT_FALSE(platform::detail::ReadDialogTemplate(data, SizeofResource(instance, found) - 3));
}

TEST_F(Resources, ATemplateWithoutAFontReadsBackWithoutOne) {
    using platform::ResourceName;
    const platform::DialogItemResource items[] = {
        {IDOK, u"Button", {WS_CHILD | WS_VISIBLE, 0, 4, 5, 40, 12}, ResourceName::Text(u"OK")},
        {9, u"STATIC", {WS_CHILD | WS_VISIBLE, 0, 4, 20, 40, 12}, ResourceName::Text(u"Hola")}};
    const platform::DialogResource dialog{
        7, {WS_POPUP | WS_CAPTION, 0, 0, 0, 100, 60}, u"Sin fuente", 8, u"MS Sans Serif", items};
    const std::vector<std::uint32_t> words = platform::detail::WriteDialogTemplate(dialog);
    const auto read = platform::detail::ReadDialogTemplate(words.data(), words.size() * 4);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->caption, u"Sin fuente");
    EXPECT_EQ(read->pointSize, 0) << "no DS_SETFONT, no font";
    EXPECT_TRUE(read->faceName.empty());
    ASSERT_EQ(read->items.size(), 2u);
    EXPECT_EQ(read->items[1].className, u"static");
    const auto& ok = read->items[0];
    EXPECT_EQ(std::tie(ok.id, ok.className, ok.text, ok.frame.cx),
              std::tuple(IDOK, std::u16string(u"button"), std::u16string(u"OK"), 40));
    // The classes, in whatever case they are named, go as the platform's atoms, 0x0080 for
    // buttons and 0x0082 for statics, each after the 0xFFFF that marks an atom.
    const auto* units = reinterpret_cast<const std::uint16_t*>(words.data());
    const std::vector<std::uint16_t> stream(units, units + words.size() * 2);
    for (const std::uint16_t atom : {0x0080, 0x0082}) {
        const std::uint16_t marked[] = {0xFFFF, atom};
        EXPECT_NE(std::search(stream.begin(), stream.end(), std::begin(marked), std::end(marked)),
                  stream.end())
            << atom;
    }
}

TEST_F(Resources, TheMenuLoadsWithItsPopupInOrderAndAnEmptyPopupHasNoItems) {
    HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(resources::IDR_MENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    HMENU help = GetSubMenu(menu, 0);
    ASSERT_EQ(GetMenuItemCount(help), 3);
    // A pop-up has no command, and positions past the last item find nothing.
    EXPECT_EQ((std::array{GetMenuItemID(help, 0), GetMenuItemID(help, 1), GetMenuItemID(help, 2),
                          GetMenuItemID(menu, 0), GetMenuItemID(help, 3)}),
              (std::array<UINT, 5>{IDM_ABOUT, IDM_NEW, IDM_HARD, static_cast<UINT>(-1),
                                   static_cast<UINT>(-1)}));
    EXPECT_EQ(GetSubMenu(menu, 1), nullptr);
    EXPECT_EQ(GetMenuState(help, 3, MF_BYPOSITION), static_cast<UINT>(-1));
    // By command, check marks are found in the pop-ups below the menu.
    EXPECT_EQ(CheckMenuItem(menu, IDM_HARD, MF_CHECKED), MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(help, 2, MF_BYPOSITION), MF_CHECKED);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_EQ(GetMenuItemCount(help), -1) << "its pop-ups go with it";
    EXPECT_FALSE(DestroyMenu(menu));
    // A pop-up of no items: its first position is already past its end.
    static constexpr platform::PopupResource kPopups[] = {{u"Nada", {}}};
    static constexpr platform::MenuResource kMenus[] = {{1, kPopups}};
    static const platform::ResourceModule kEmpty{u"empty", 3082, {}, kMenus, {}, {}, {}, {}};
    HMENU empty = GetSubMenu(LoadMenuW(platform::RegisterModule(kEmpty), MAKEINTRESOURCEW(1)), 0);
    ASSERT_EQ(GetMenuItemCount(empty), 0);
    EXPECT_EQ(GetMenuItemID(empty, 0), static_cast<UINT>(-1));
}

}  // namespace
}  // namespace window_test
