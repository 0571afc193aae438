// The game's resources: the strings are the ones shown, and the icon is what it says. What its
// menu bar, menu and accelerators send is tested with the platform's soft keys and accelerators,
// which load these same resources.
#include <gtest/gtest.h>

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

// The picture itself is read, row by row against its palette, wherever it is shown; what only the
// art can get wrong is a symbol given two colours, of which the reader would take the first.
TEST(TarvelIcon, Is48By48AndEachSymbolHasOneColour) {
    const platform::IconResource& icon = resources::TarvelIcon();
    EXPECT_EQ(icon.id, resources::IDI_TARVEL);
    EXPECT_EQ(icon.width, 48);
    EXPECT_EQ(icon.height, 48);
    std::set<char> symbols;
    for (const auto& entry : icon.palette) {
        EXPECT_TRUE(symbols.insert(entry.symbol).second)
            << "symbol '" << entry.symbol << "' is defined twice";
    }
}

}  // namespace
