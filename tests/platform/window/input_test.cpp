// Input routing: the pointer to the topmost window under it, held by the window it went down on,
// and accelerators.

#include <tuple>

#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using Input = Desktop;

// Who received each message, and the message with its parameters.
using Delivery = std::tuple<HWND, UINT, WPARAM, LPARAM>;
std::vector<Delivery> Deliveries(const std::vector<Seen>& seen) {
    std::vector<Delivery> deliveries;
    for (const Seen& s : seen) {
        deliveries.emplace_back(s.hwnd, s.message, s.wParam, s.lParam);
    }
    return deliveries;
}

TEST_F(Input, ThePointerGoesToTheTopmostWindowUnderItInClientCoordinates) {
    HWND back = MakeWindow(u"Back");
    HWND front = MakeWindow(u"Front", 50, 60, 100, 100);
    PumpUntilIdle();
    Log().clear();
    // The front's top left pixel, then one in its columns above it.
    backend.Tap(50, 60);
    backend.Tap(60, 10);
    PumpUntilIdle();
    EXPECT_EQ(Deliveries(SeenOf(WM_LBUTTONDOWN)),
              (std::vector<Delivery>{{front, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 0)},
                                     {back, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10)}}));
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
    // With the up, no button is down any more.
    EXPECT_EQ(Deliveries(Log()),
              (std::vector<Delivery>{{front, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)},
                                     {front, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 240)},
                                     {front, WM_LBUTTONUP, 0, MAKELPARAM(160, 250)}}));
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
    backend.KeyDown(VK_SHIFT);
    PumpUntilIdle();
    EXPECT_EQ(GetKeyState(VK_SHIFT), -0x8000) << "held";
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
