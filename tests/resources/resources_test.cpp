// The game's resources: identifiers, texts and order exactly as the program and its players see
// them, and an icon that is what it says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "platform/window/winuser.h"
#include "resources/tarvel_resources.h"

namespace {

const platform::ResourceModule& Module() {
    return resources::TarvelResourceModule();
}

TEST(TarvelResources, StringsInSpanish) {
    const auto& strings = Module().strings;
    ASSERT_EQ(strings.size(), 4u);
    std::vector<std::pair<UINT, std::u16string_view>> table;
    for (const auto& s : strings) {
        table.emplace_back(s.id, s.text);
    }
    EXPECT_EQ(table, (std::vector<std::pair<UINT, std::u16string_view>>{
                         {1, u"Tarvel"}, {2, u"TARVEL"}, {103, u"Aceptar"}, {104, u"AYUDA"}}));
    EXPECT_EQ(Module().language, 3082);
}

TEST(TarvelResources, TheHelpMenuHoldsItsThreeCommandsInOrder) {
    ASSERT_EQ(Module().menus.size(), 1u);
    const auto& menu = Module().menus[0];
    EXPECT_EQ(menu.id, 102);
    ASSERT_EQ(menu.popups.size(), 1u);
    EXPECT_EQ(menu.popups[0].text, u"Ayuda");
    const auto& items = menu.popups[0].items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].command, 40002);
    EXPECT_EQ(items[0].text, u"Acerca de");
    EXPECT_EQ(items[1].command, 32771);
    EXPECT_EQ(items[1].text, u"Nuevo");
    EXPECT_EQ(items[2].command, 32772);
    EXPECT_EQ(items[2].text, u"Dificil");
    for (const auto& item : items) {
        EXPECT_EQ(item.flags, 0u) << "nothing starts checked or greyed";
    }
}

TEST(TarvelResources, TheSoftKeyBarWordsAndWhereTheyAreFound) {
    std::span<const WORD> words = resources::SoftKeyBarWords();
    std::vector<WORD> expected{102,    2,      0xFFFE, 40000, 4,    0x10, 103, 0,
                               0xFFFF, 0xFFFE, 40001,  4,     0x18, 104,  0,   0};
    EXPECT_EQ(std::vector<WORD>(words.begin(), words.end()), expected);
    auto raw = std::find_if(Module().raw.begin(), Module().raw.end(), [](const auto& r) {
        return r.type.IsNumber() && r.type.id == 10 && r.name.IsNumber() && r.name.id == 102;
    });
    ASSERT_NE(raw, Module().raw.end());
    EXPECT_EQ(raw->data.size(), expected.size() * sizeof(WORD));
}

TEST(TarvelResources, ControlAOpensAboutAndControlQCloses) {
    ASSERT_EQ(Module().accelerators.size(), 1u);
    const auto& table = Module().accelerators[0];
    EXPECT_EQ(table.id, 2);
    ASSERT_EQ(table.entries.size(), 2u);
    EXPECT_EQ(table.entries[0].fVirt, 0x0B);
    EXPECT_EQ(table.entries[0].key, 'A');
    EXPECT_EQ(table.entries[0].cmd, 40002);
    EXPECT_EQ(table.entries[1].fVirt, 0x8B) << "the last entry is marked";
    EXPECT_EQ(table.entries[1].key, 'Q');
    EXPECT_EQ(table.entries[1].cmd, 40000);
}

TEST(TarvelResources, TheAboutDialogAndItsFourControls) {
    ASSERT_EQ(Module().dialogs.size(), 1u);
    const auto& dialog = Module().dialogs[0];
    EXPECT_EQ(dialog.id, 105);
    EXPECT_EQ(dialog.style, 0x80C00040u);
    EXPECT_EQ(dialog.exStyle, 0x80000000u);
    EXPECT_EQ(dialog.x, 0);
    EXPECT_EQ(dialog.y, 0);
    EXPECT_EQ(dialog.cx, 156);
    EXPECT_EQ(dialog.cy, 129);
    EXPECT_EQ(dialog.caption, u"Acerca de Tarvel");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.faceName, u"MS Sans Serif");

    struct Control {
        WORD id;
        std::u16string_view windowClass;
        DWORD style;
        SHORT x, y, cx, cy;
    };
    const Control expected[] = {
        {201, u"static", 0x50000803, 12, 12, 20, 20},
        {202, u"static", 0x50020080, 12, 36, 70, 8},
        {203, u"static", 0x50020000, 12, 48, 76, 8},
        {1, u"button", 0x50010000, 52, 85, 50, 25},
    };
    ASSERT_EQ(dialog.items.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const auto& item = dialog.items[i];
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.windowClass, expected[i].windowClass);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
    }
    EXPECT_TRUE(dialog.items[0].text.IsNumber());
    EXPECT_EQ(dialog.items[0].text.id, 101);
    EXPECT_EQ(dialog.items[1].text.text, u"Tarvel, versi\u00f3n 1.2");
    EXPECT_FALSE(dialog.items[2].text.text.empty());
    EXPECT_EQ(dialog.items[3].text.text, u"OK");
}

TEST(TarvelResources, TheHighResolutionMarkerIsOne) {
    auto marker = std::find_if(Module().raw.begin(), Module().raw.end(), [](const auto& r) {
        return r.type.text == u"CEUX" && r.name.text == u"HI_RES_AWARE";
    });
    ASSERT_NE(marker, Module().raw.end());
    ASSERT_EQ(marker->data.size(), 2u);
    WORD value = 0;
    std::memcpy(&value, marker->data.data(), 2);
    EXPECT_EQ(value, 1);
}

TEST(TarvelResources, TheIconIs48By48WithAMaskAndItsColours) {
    const platform::IconResource& icon = resources::TarvelIcon();
    EXPECT_EQ(icon.id, 101);
    ASSERT_EQ(icon.width, 48);
    ASSERT_EQ(icon.height, 48);
    ASSERT_EQ(icon.rows.size(), 48u);
    std::set<char> transparent;
    std::map<char, COLORREF> colours;
    for (const auto& entry : icon.palette) {
        EXPECT_TRUE(transparent.count(entry.symbol) == 0 && colours.count(entry.symbol) == 0)
            << "symbol '" << entry.symbol << "' is defined twice";
        if (entry.transparent) {
            transparent.insert(entry.symbol);
        } else {
            colours[entry.symbol] = entry.colour;
        }
    }
    int clear = 0;
    int blue = 0;
    int green = 0;
    int red = 0;
    for (std::string_view row : icon.rows) {
        ASSERT_EQ(row.size(), 48u);
        for (char c : row) {
            if (transparent.count(c) != 0) {
                ++clear;
                continue;
            }
            ASSERT_EQ(colours.count(c), 1u) << "symbol '" << c << "' is not in the palette";
            COLORREF colour = colours[c];
            int r = GetRValue(colour);
            int g = GetGValue(colour);
            int b = GetBValue(colour);
            blue += b > r + 80 && b > g + 40;
            green += g > r + 80 && g > b + 40;
            red += r > g + 120 && r > b + 120;
        }
    }
    EXPECT_GT(clear, 0) << "the mask has transparent pixels";
    EXPECT_LT(clear, 48 * 48 / 2);
    EXPECT_GT(blue, 100) << "a blue title bar";
    EXPECT_GT(green, 500) << "a green field";
    EXPECT_GT(red, 40) << "a red figure";
    // The title bar lies above the field: the first opaque row inside the frame is blue.
    COLORREF titleBar = colours[icon.rows[9][4]];
    EXPECT_GT(GetBValue(titleBar), GetRValue(titleBar) + 80);
}

}  // namespace
