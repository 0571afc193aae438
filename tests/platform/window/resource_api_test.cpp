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
constexpr std::string_view kStrangeFirst[] = {"?#", ".#"};
constexpr platform::IconResource kIcons[] = {
    {1, 2, 2, kPalette, kGoodRows},
    {2, 2, 2, kPalette, kShortRow},
    {3, 2, 0, kPalette, {}},
    {4, 2, 2, kPalette, kStrangeFirst},
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

// Only an icon whose picture is whole loads.
TEST_F(Resources, AnIconLoadsOnlyWhenItsPictureIsWhole) {
    HINSTANCE instance = platform::RegisterModule(kModule);
    const auto loads = [&](WORD id) {
        return LoadIconW(instance, MAKEINTRESOURCEW(id)) != nullptr;
    };
    EXPECT_EQ((std::array{loads(1), loads(2), loads(3), loads(4)}),
              (std::array{true, false, false, false}));
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

}  // namespace
}  // namespace window_test
