// The game's resources as the program and its players meet them: the menu bar's keys and the Help
// menu's items send the commands the window procedure acts on, the accelerators likewise, the
// strings are the ones shown, and the icon is what it says.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/window/aygshell.h"
#include "resources/tarvel_resources.h"
#include "tests/platform/window/window_test_support.h"

namespace {

using window_test::SeenOf;

class GameResources : public window_test::Desktop {
  protected:
    GameResources() {
        instance = platform::RegisterModule(resources::TarvelResourceModule());
        main = MakeWindow(u"Tarvel");
        PumpUntilIdle();
        window_test::Log().clear();
    }

    // Creates the soft-key bar as the program does.
    void MakeMenuBar() {
        SHMENUBARINFO info{};
        info.cbSize = sizeof(SHMENUBARINFO);
        info.hwndParent = main;
        info.nToolBarId = resources::IDR_MENU;
        info.hInstRes = instance;
        ASSERT_TRUE(SHCreateMenuBar(&info));
        bar = info.hwndMB;
        PumpUntilIdle();
    }

    // Runs the loop as the program's WinMain does; returns the commands the window got.
    std::vector<WORD> Commands(HACCEL accelerators = nullptr) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (accelerators == nullptr || !TranslateAcceleratorW(msg.hwnd, accelerators, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        std::vector<WORD> commands;
        for (const window_test::Seen& seen : SeenOf(WM_COMMAND)) {
            EXPECT_EQ(seen.hwnd, main);
            commands.push_back(LOWORD(seen.wParam));
        }
        window_test::Log().clear();
        return commands;
    }

    std::u16string String(UINT id) {
        char16_t text[64] = {};
        LoadStringW(instance, id, text, 64);
        return text;
    }

    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND bar = nullptr;
};

TEST_F(GameResources, TheSoftKeysAndTheHelpMenuSendTheirCommands) {
    MakeMenuBar();
    backend.PressKey(VK_TSOFT1);
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_OK}));
    // The right soft key opens the menu; its items from the top, walked with the arrows.
    const std::vector<WORD> items = {IDM_ABOUT, IDM_NEW, IDM_HARD};
    for (std::size_t i = 0; i < items.size(); ++i) {
        backend.PressKey(VK_TSOFT2);
        for (std::size_t step = 0; step <= i; ++step) {
            backend.PressKey(VK_DOWN);
        }
        backend.PressKey(VK_RETURN);
        EXPECT_EQ(Commands(), (std::vector<WORD>{items[i]})) << "item " << i;
    }
    // Nothing starts checked or greyed.
    HMENU help = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_HELP));
    for (WORD item : items) {
        EXPECT_EQ(GetMenuState(help, item, MF_BYCOMMAND), 0u) << item;
    }
}

TEST_F(GameResources, ControlAOpensAboutAndControlQCloses) {
    const HACCEL accelerators =
        LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resources::IDC_ACCELERATORS));
    ASSERT_NE(accelerators, nullptr);
    backend.PressControlKey('A');
    backend.PressControlKey('Q');
    EXPECT_EQ(Commands(accelerators), (std::vector<WORD>{IDM_ABOUT, IDM_OK}));
    // Other letters, and the letters alone, are keys like any other.
    backend.PressControlKey('N');
    backend.PressKey('A');
    EXPECT_TRUE(Commands(accelerators).empty());
}

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
