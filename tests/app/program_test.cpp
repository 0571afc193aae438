// The whole program on the headless back end: the first paint, the game timer, the soft keys and
// their menu, the About box, a second start, failed and hidden starts, the shell helpers, and what
// is left at the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/about_dialog.h"
#include "app/main_window.h"
#include "platform/gdi/gdi_debug.h"
#include "platform/window/aygshell.h"
#include "platform/window/window_system.h"
#include "tests/app/headless_program.h"

namespace {

constexpr std::uint32_t kPitchGreen = 0x006432;
using Helper = platform::ShellHelperCall::Helper;

// A plain top-level window of another program.
HWND OtherWindow(HINSTANCE instance) {
    WNDCLASSW other{};
    other.lpfnWndProc = DefWindowProcW;
    other.hInstance = instance;
    other.lpszClassName = u"Other";
    RegisterClassW(&other);
    const HWND window = CreateWindowExW(0, u"Other", u"Other", WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                        nullptr, instance, nullptr);
    SetForegroundWindow(window);
    return window;
}

class Program240 : public testing::Test {
  protected:
    HeadlessProgram game{{240, 320}};

    static HWND MainWindow() { return FindWindowW(u"TARVEL", u"Tarvel"); }
    static HWND Popup() { return FindWindowW(u"PopupMenu", nullptr); }
    static HWND About() { return FindWindowW(u"Dialog", u"Acerca de Tarvel"); }
    static RECT Rect(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }
    HMENU HelpMenu() {
        return reinterpret_cast<HMENU>(
            SendMessageW(game.program().menuBar, SHCMBM_GETSUBMENU, 0, IDM_HELP));
    }
    bool HardChecked() {
        return (GetMenuState(HelpMenu(), IDM_HARD, MF_BYCOMMAND) & MF_CHECKED) != 0;
    }
    void TapRightSoftKey() {
        const RECT bar = Rect(game.program().menuBar);
        game.backend().Tap(bar.right - 20, (bar.top + bar.bottom) / 2);
    }
    // Item 0 "Acerca de", 1 "Nuevo", 2 "Dificil" of the open menu.
    void TapMenuItem(int index) {
        const RECT r = Rect(Popup());
        const int count = GetMenuItemCount(HelpMenu());
        game.backend().Tap((r.left + r.right) / 2,
                           r.top + (r.bottom - r.top) * (2 * index + 1) / (2 * count));
    }
    void Quit() { game.backend().PressControlKey('Q'); }
    // The About box's OK button.
    void TapOk() {
        const RECT ok = Rect(GetDlgItem(About(), IDOK));
        game.backend().Tap((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    // Something shrinks the window, so that only a new switch makes it full screen again.
    static void Shrink() { MoveWindow(MainWindow(), 10, 20, 200, 100, FALSE); }
    // The window covers the whole 240 x 320 screen.
    static bool FullScreen(HWND window) {
        const RECT r = Rect(window);
        return r.left == 0 && r.top == 0 && r.right == 240 && r.bottom == 320;
    }
};

}  // namespace

TEST_F(Program240, FirstPaintStartsTheMatchOnThePitchAboveTheSoftKeys) {
    game.At(10, [&] {
        const MatchState& match = game.match();
        EXPECT_EQ(match.initialised, 1);
        EXPECT_EQ(match.geometry.width, 240);
        EXPECT_EQ(match.geometry.height, 320 - 26);
        EXPECT_EQ(match.geometry.goalDepth, 8);
        // The first kick-off, before the pitch painter stores the goal depth: discs flush with
        // the pitch edges.
        EXPECT_EQ(match.players[kComputerPlayer].y, 0.0);
        EXPECT_EQ(match.players[kUserPlayer].y, 294.0 - 47);
        // The window covers the whole screen again; the bar sits on its bottom strip.
        EXPECT_TRUE(FullScreen(MainWindow()));
        const RECT bar = Rect(game.program().menuBar);
        EXPECT_EQ(bar.top, 294);
        EXPECT_EQ(bar.bottom, 320);
        // The composed screen shows the pitch, with the bar over the bottom strip.
        EXPECT_EQ(game.ScreenPixel(20, 100), kPitchGreen);
        EXPECT_NE(game.ScreenPixel(20, 310), kPitchGreen);
        HeadlessProgram::Screenshot("pitch-240x320");
        // The window as created: no extended style, a class that repaints whole on a resize and
        // keeps no extra bytes.
        EXPECT_EQ(GetWindowLongW(MainWindow(), GWL_EXSTYLE), 0);
        EXPECT_EQ(GetClassLongW(MainWindow(), GCL_STYLE), CS_HREDRAW | CS_VREDRAW);
        EXPECT_EQ(GetClassLongW(MainWindow(), GCL_CBCLSEXTRA), 0u);
        EXPECT_EQ(GetClassLongW(MainWindow(), GCL_CBWNDEXTRA), 0u);
        Quit();
    });
    EXPECT_EQ(game.Run(), 0);
}

TEST_F(Program240, TheGameTimer666TicksEvery50MsAndEachIsPainted) {
    int presentsAtStart = 0;
    game.At(100, [&] {
        // Set the ball rolling sideways, clear of both discs: one pixel a tick.
        game.match().ball.vx = 1.0;
        game.match().ball.x = 20.0;
        presentsAtStart = game.backend().Presents();
    });
    // Long enough that a period of 49 or 51 ms would show.
    game.At(5100, [&] {
        EXPECT_EQ(game.match().ball.x, 120.0) << "100 ticks in five seconds";
        EXPECT_GE(game.backend().Presents() - presentsAtStart, 99);
        EXPECT_LE(game.backend().Presents() - presentsAtStart, 101);
        // The timer goes by its number: stopped by it, the ticks stop.
        EXPECT_TRUE(KillTimer(MainWindow(), 666));
    });
    game.At(6000, [&] {
        EXPECT_EQ(game.match().ball.x, 120.0);
        Quit();
    });
    EXPECT_EQ(game.Run(), 0);
}

// "Dificil" from its menu item and back by the command itself; "Nuevo" in between keeps it.
TEST_F(Program240, HelpMenuTogglesDifficultyWithItsCheckMarkAndStartsANewGame) {
    game.At(100, [&] { TapRightSoftKey(); });
    game.At(110, [&] {
        EXPECT_FALSE(HardChecked());
        TapMenuItem(2);
    });
    game.At(120, [&] {
        EXPECT_EQ(game.match().hardMode, 1);
        EXPECT_TRUE(HardChecked());
        game.match().players[0].score = 3;
        TapRightSoftKey();
    });
    game.At(130, [&] { TapMenuItem(1); });
    game.At(140, [&] {
        EXPECT_EQ(game.match().players[0].score, 0);
        EXPECT_EQ(game.match().hardMode, 1);
        EXPECT_EQ(SendMessageW(MainWindow(), WM_COMMAND, IDM_HARD, 0), 0);
        EXPECT_EQ(game.match().hardMode, 0);
        EXPECT_FALSE(HardChecked());
        Quit();
    });
    EXPECT_EQ(game.Run(), 0);
}

// Its menu item and the Done button in its caption are the soft keys' and the dialogs' own.
TEST_F(Program240, AboutBoxOpensByKeyAndCommandAndEveryWayOutReturnsToTheFullScreenGame) {
    // Ctrl+A, closed with its OK button.
    game.At(100, [&] { game.backend().PressControlKey('A'); });
    game.At(200, [&] {
        const HWND about = About();
        ASSERT_NE(about, nullptr);
        HeadlessProgram::Screenshot("about-box");
        const RECT box = Rect(about);
        EXPECT_EQ(box.bottom - box.top, 294) << "the whole screen above its empty bar";
        Shrink();
        TapOk();
    });
    // The command itself, closed by a close request; it gives 0 once the box is gone.
    game.At(300, [&] {
        EXPECT_EQ(About(), nullptr);
        EXPECT_TRUE(FullScreen(MainWindow())) << "after OK";
        EXPECT_EQ(SendMessageW(MainWindow(), WM_COMMAND, IDM_ABOUT, 0), 0);
    });
    game.At(400, [&] {
        ASSERT_NE(About(), nullptr);
        Shrink();
        game.backend().RequestClose();
    });
    game.At(500, [&] {
        EXPECT_EQ(About(), nullptr);
        EXPECT_NE(MainWindow(), nullptr) << "the close request went to the box, not the game";
        EXPECT_TRUE(FullScreen(MainWindow())) << "after a close request";
        Quit();
    });
    EXPECT_EQ(game.Run(), 0);
}

TEST_F(Program240, ASecondStartBringsTheFirstForwardWithItsAboutBoxActiveAndLeaves) {
    HWND other = nullptr;
    game.At(100, [&] {
        const HWND first = MainWindow();
        other = OtherWindow(game.instance());
        ASSERT_EQ(GetForegroundWindow(), other);
        EXPECT_EQ(WinMain(game.instance(), nullptr, nullptr, SW_SHOW), 0);
        EXPECT_EQ(MainWindow(), first);
        EXPECT_EQ(GetForegroundWindow(), first);
        game.backend().PressControlKey('A');
    });
    // With the About box up, the box comes forward with the game and keeps the input.
    game.At(200, [&] {
        ASSERT_NE(About(), nullptr);
        SetForegroundWindow(other);
        ASSERT_EQ(GetForegroundWindow(), other);
        EXPECT_EQ(WinMain(game.instance(), nullptr, nullptr, SW_SHOW), 0);
        EXPECT_EQ(GetForegroundWindow(), About());
        TapOk();
    });
    game.At(300, [&] {
        DestroyWindow(other);
        SendMessageW(MainWindow(), WM_CLOSE, 0, 0);  // Ctrl+Q would go to the window in front
    });
    EXPECT_EQ(game.Run(), 0);
}

TEST(ProgramStart, AFailedRegistrationOrWindowCreationEndsAtOnceWithZeroAndLeavesNothing) {
    for (const bool registrationFails : {true, false}) {
        SCOPED_TRACE(registrationFails ? "registration" : "window creation");
        HeadlessProgram game;
        if (registrationFails) {
            WNDCLASSW taken{};  // someone else's class of the same name
            taken.lpfnWndProc = DefWindowProcW;
            taken.lpszClassName = u"TARVEL";
            ASSERT_NE(RegisterClassW(&taken), 0);
        } else {
            game.windows().RefuseWindowCreation(true);
        }
        const platform::GdiObjectCounts before = platform::LiveGdiObjects();
        EXPECT_EQ(game.Run(), 0);
        EXPECT_EQ(FindWindowW(nullptr, u"Tarvel"), nullptr);
        EXPECT_EQ(game.program().menuBar, nullptr);
        EXPECT_EQ(platform::LiveGdiObjects(), before);
    }
}

TEST(ProgramStart, StartedHiddenTheMatchWaitsForTheFirstPaintWhenShown) {
    HeadlessProgram game;
    game.At(100, [&] {
        const HWND window = FindWindowW(u"TARVEL", u"Tarvel");
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(game.match().initialised, 0) << "no paint yet, so no match and no timer";
        ShowWindow(window, SW_SHOW);
    });
    game.At(200, [&] {
        EXPECT_EQ(game.match().initialised, 1);
        EXPECT_EQ(game.match().geometry.height, 320 - 26);
        game.backend().PressControlKey('Q');
    });
    EXPECT_EQ(game.Run(30000, SW_HIDE), 0);
}

TEST_F(Program240, TheShellHelpersGetTheWindowItsMessagesAndTheActivationRecord) {
    std::vector<platform::ShellHelperCall> calls;
    game.windows().ObserveShellHelpers(
        [&](const platform::ShellHelperCall& call) { calls.push_back(call); });
    auto callsOf = [&](Helper helper) {
        std::vector<platform::ShellHelperCall> of;
        for (const platform::ShellHelperCall& call : calls) {
            if (call.helper == helper) {
                EXPECT_EQ(call.window, MainWindow());
                of.push_back(call);
            }
        }
        return of;
    };
    game.At(100, [&] {
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls[0].helper, Helper::kInitExtraControls) << "first, once";
        EXPECT_EQ(
            std::count_if(calls.begin(), calls.end(),
                          [](const auto& c) { return c.helper == Helper::kInitExtraControls; }),
            1);
        // Full screen at creation and again at the first paint.
        const auto fullScreen = callsOf(Helper::kFullScreen);
        ASSERT_EQ(fullScreen.size(), 2u);
        EXPECT_EQ(fullScreen[1].flags, SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON);
        calls.clear();
        // Handled messages give 0.
        EXPECT_EQ(SendMessageW(MainWindow(), WM_ACTIVATE, WA_INACTIVE, 0x1234), 0);
        EXPECT_EQ(SendMessageW(MainWindow(), WM_SETTINGCHANGE, 0x2A, 0x5678), 0);
        const SHACTIVATEINFO* record = &game.program().activateInfo;
        EXPECT_EQ(record->cbSize, sizeof(SHACTIVATEINFO));
        const auto fields = [](const platform::ShellHelperCall& c) {
            return std::tuple(static_cast<int>(c.helper), c.wParam, c.lParam, c.info, c.flags);
        };
        ASSERT_EQ(callsOf(Helper::kActivate).size(), 1u);
        EXPECT_EQ(fields(callsOf(Helper::kActivate)[0]),
                  fields({Helper::kActivate, nullptr, WA_INACTIVE, 0x1234, record, 0}));
        ASSERT_EQ(callsOf(Helper::kSettingChange).size(), 1u);
        EXPECT_EQ(fields(callsOf(Helper::kSettingChange)[0]),
                  fields({Helper::kSettingChange, nullptr, 0x2A, 0x5678, record, 0}));
        for (const WPARAM command : {IDM_NEW, IDM_HARD, IDM_HARD}) {
            EXPECT_EQ(SendMessageW(MainWindow(), WM_COMMAND, command, 0), 0) << command;
        }
        EXPECT_EQ(SendMessageW(MainWindow(), WM_TIMER, GAME_TIMER_ID, 0), 0);
        EXPECT_EQ(SendMessageW(MainWindow(), WM_MOUSEMOVE, 0, (250 << 16) | 100), 0);
        EXPECT_EQ(SendMessageW(MainWindow(), WM_PAINT, 0, 0), 0);
    });
    game.At(200, [&] { EXPECT_EQ(SendMessageW(MainWindow(), WM_COMMAND, IDM_OK, 0), 0); });
    EXPECT_EQ(game.Run(), 0);
    game.windows().ObserveShellHelpers(nullptr);
}

TEST_F(Program240, AtTheEndOnlyTheBitmapsAndTheBackgroundBrushRemain) {
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    game.At(100, [&] { game.backend().PointerMove(100, 250); });
    game.At(2000, [&] { Quit(); });
    EXPECT_EQ(game.Run(), 0);
    EXPECT_EQ(platform::LiveGdiObjects(),
              (platform::GdiObjectCounts{before.deviceContexts, before.bitmaps + 2,
                                         before.brushes + 1, before.pens, before.fonts}));
}
