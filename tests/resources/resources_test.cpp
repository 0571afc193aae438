// The game's resources: the strings are the ones shown, and the icon is what it says. What its
// menu bar, menu and accelerators send is tested with the platform's soft keys and accelerators,
// which load these same resources.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "resources/tarvel_resources.h"
#include "tests/platform/window/window_test_support.h"

namespace {

class GameResources : public window_test::Desktop {
  protected:
    GameResources() { instance = platform::RegisterModule(resources::TarvelResourceModule()); }

    std::u16string String(UINT id) {
        char16_t text[64] = {};
        LoadStringW(instance, id, text, 64);
        return text;
    }

    HINSTANCE instance = nullptr;
};

TEST_F(GameResources, TheStringsAreTheOnesShownInSpanish) {
    EXPECT_EQ(String(resources::IDS_APP_TITLE), u"Tarvel");
    EXPECT_EQ(String(resources::IDS_WINDOW_CLASS), u"TARVEL");
    EXPECT_EQ(String(resources::IDS_OK), u"Aceptar");
    EXPECT_EQ(String(resources::IDS_HELP), u"AYUDA");
    EXPECT_EQ(resources::TarvelResourceModule().language, resources::kLanguageSpanishSpain);
}

TEST(TarvelIcon, Is48By48WithAMaskAndItsColours) {
    const platform::IconResource& icon = resources::TarvelIcon();
    EXPECT_EQ(icon.id, resources::IDI_TARVEL);
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
