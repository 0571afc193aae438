// Input routing: the pointer to the topmost window under it, held by the window it went down on,
// and accelerators.

#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using Input = Desktop;

TEST_F(Input, ThePointerGoesToTheTopmostWindowUnderItInClientCoordinates) {
    HWND back = MakeWindow(u"Back");
    HWND front = MakeWindow(u"Front", 50, 60, 100, 100);
    PumpUntilIdle();
    Log().clear();
    // The front's top left pixel, then one in its columns above it.
    backend.Tap(50, 60);
    backend.Tap(60, 10);
    PumpUntilIdle();
    std::vector<Seen> downs = SeenOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].hwnd, front);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(0, 0));
    EXPECT_EQ(downs[0].wParam, MK_LBUTTON);
    EXPECT_EQ(downs[1].hwnd, back);
    EXPECT_EQ(downs[1].lParam, MAKELPARAM(60, 10));
    EXPECT_EQ(SeenOf(WM_LBUTTONUP).size(), 2u);
}

TEST_F(Input, AWindowKeepsThePointerFromDownToUp) {
    MakeWindow(u"Back");
    HWND front = MakeWindow(u"Front", 50, 60, 100, 100);
    PumpUntilIdle();
    Log().clear();
    backend.PointerDown(60, 70);
    backend.PointerMove(200, 300);
    backend.PointerUp(210, 310);
    PumpUntilIdle();
    ASSERT_EQ(Log().size(), 3u);
    for (const Seen& s : Log()) {
        EXPECT_EQ(s.hwnd, front);
    }
    EXPECT_EQ(Log()[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(Log()[1].lParam, MAKELPARAM(150, 240));
    EXPECT_EQ(Log()[1].wParam, MK_LBUTTON);
    EXPECT_EQ(Log()[2].message, WM_LBUTTONUP);
    EXPECT_EQ(Log()[2].lParam, MAKELPARAM(160, 250));
    EXPECT_EQ(Log()[2].wParam, 0u) << "no button is down any more";
}

class Accelerators : public Desktop {
  protected:
    Accelerators() {
        instance = platform::RegisterModule(resources::TarvelResourceModule());
        table = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resources::IDC_ACCELERATORS));
        window = MakeWindow();
        PumpUntilIdle();
        Log().clear();
    }

    // Runs the loop as the program's WinMain does; returns the commands sent.
    std::vector<WORD> Commands() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!TranslateAcceleratorW(msg.hwnd, table, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        std::vector<WORD> commands;
        for (const Seen& s : SeenOf(WM_COMMAND)) {
            EXPECT_EQ(HIWORD(s.wParam), 1) << "commands from accelerators carry 1";
            EXPECT_EQ(s.lParam, 0) << "and no control";
            commands.push_back(LOWORD(s.wParam));
        }
        return commands;
    }

    HINSTANCE instance = nullptr;
    HACCEL table = nullptr;
    HWND window = nullptr;
};

// The program's own test sends Control+A and Control+Q through the table; here, what it must not
// do.
TEST_F(Accelerators, TheKeysWithoutControlOrWithMoreModifiersDoNothing) {
    ASSERT_NE(table, nullptr);
    backend.PressControlKey('A');
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_ABOUT}));
    EXPECT_TRUE(SeenOf(WM_CHAR).empty()) << "a translated key types nothing";
    Log().clear();
    backend.PressKey('A');
    backend.KeyDown(VK_CONTROL);
    backend.KeyDown(VK_SHIFT);
    backend.PressKey('Q');
    backend.KeyUp(VK_SHIFT);
    backend.PressKey('X');
    backend.KeyUp(VK_CONTROL);
    EXPECT_TRUE(Commands().empty());
    std::vector<Seen> chars = SeenOf(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>(u'a'));
    EXPECT_EQ(chars[2].wParam, 0x18u) << "Control+X types its control character";
}

// A table of the test's own: F5 alone, Shift+F6, the character q, and Alt+F7 (the last entry
// marked).
constexpr WORD kF5 = VK_F1 + 4;
constexpr WORD kF6 = VK_F1 + 5;
constexpr WORD kF7 = VK_F1 + 6;
constexpr ACCEL kPlainKeys[] = {{FVIRTKEY, kF5, 5},
                                {FVIRTKEY | FSHIFT, kF6, 6},
                                {0, u'q', 8},
                                {FVIRTKEY | FALT | 0x80, kF7, 7}};
constexpr platform::AcceleratorTableResource kPlainTable[] = {{1, kPlainKeys}};
const platform::ResourceModule kPlainModule{u"plain keys", 3082, {}, {}, kPlainTable, {}, {}, {}};

TEST_F(Accelerators, EntriesWithoutControlWantItUp) {
    table = LoadAcceleratorsW(platform::RegisterModule(kPlainModule), MAKEINTRESOURCEW(1));
    ASSERT_NE(table, nullptr);
    backend.PressKey(kF5);
    backend.PressControlKey(kF5);
    backend.KeyDown(VK_SHIFT);
    backend.PressKey(kF6);
    backend.KeyUp(VK_SHIFT);
    backend.PressKey(kF6);
    backend.KeyDown(VK_MENU);
    backend.PressKey(kF7);
    backend.KeyUp(VK_MENU);
    backend.PressKey('A');
    backend.PressKey('Q');
    EXPECT_EQ(Commands(), (std::vector<WORD>{5, 6, 7, 8}));
}

}  // namespace
}  // namespace window_test
