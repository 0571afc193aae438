// The soft-key bar and its pop-up menu, built from the game's resources.
#include <array>
#include <span>

#include "platform/window/aygshell.h"
#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

SHMENUBARINFO BarInfo(HWND parent, HINSTANCE instance, UINT id, DWORD flags = 0) {
    return {sizeof(SHMENUBARINFO), parent, flags, id, instance, 0, 0, nullptr, 0};
}

// The shown pixel at (x, y).
COLORREF Shown(int x, int y) {
    return PixelAt(platform::CaptureScreen().get(), x, y);
}

class SoftKeys : public Desktop {
  protected:
    explicit SoftKeys(platform::ScreenSize screen = {240, 320}) : Desktop(screen) {
        instance = platform::RegisterModule(resources::TarvelResourceModule());
        main = MakeWindow(u"Tarvel", 0, 0, screen.width, screen.height);
        SHMENUBARINFO info = BarInfo(main, instance, resources::IDR_MENU);
        SHCreateMenuBar(&info);
        bar = info.hwndMB;
        PumpUntilIdle();
        Log().clear();
    }

    static RECT Rect(HWND window) { return WindowRect(window); }
    HWND Popup() { return FindWindowW(u"PopupMenu", nullptr); }
    HMENU HelpMenu() {
        return reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_HELP));
    }
    std::vector<WORD> Commands() {
        std::vector<WORD> commands;
        for (const Seen& s : SeenOf(WM_COMMAND)) {
            EXPECT_EQ(s.hwnd, main);
            commands.push_back(LOWORD(s.wParam));
        }
        return commands;
    }
    // The centre of item `index` of the open pop-up, in screen coordinates.
    POINT ItemCentre(int index) {
        RECT r = Rect(Popup());
        int count = GetMenuItemCount(HelpMenu());
        return {(r.left + r.right) / 2, r.top + (r.bottom - r.top) * (2 * index + 1) / (2 * count)};
    }
    void TapRightSoftKey() {
        RECT r = Rect(bar);
        backend.Tap(r.right - 20, (r.top + r.bottom) / 2);
        PumpUntilIdle();
    }
    // Opens the menu and taps its leftmost column `y` pixel rows below its top.
    void TapMenuRow(int y) {
        TapRightSoftKey();
        const RECT r = Rect(Popup());
        backend.Tap(r.left, r.top + y);
        PumpUntilIdle();
    }

    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HWND bar = nullptr;
};

TEST_F(SoftKeys, BadBarDescriptionsAreRefusedAndAHiddenBarIsNotShown) {
    SHMENUBARINFO info = BarInfo(main, instance, 999);  // no such resource
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.nToolBarId = resources::IDR_MENU;
    info.cbSize = 12;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    info.cbSize = sizeof(SHMENUBARINFO);
    info.hwndParent = nullptr;
    EXPECT_FALSE(SHCreateMenuBar(&info));
    EXPECT_EQ(info.hwndMB, nullptr);
    // An empty bar is shown, and a hidden one is not.
    const std::pair<DWORD, bool> cases[] = {{SHCMBF_EMPTYBAR, true},
                                            {SHCMBF_EMPTYBAR | SHCMBF_HIDDEN, false}};
    for (const auto& [flags, shown] : cases) {
        HWND owner = MakeWindow(u"Owner");
        SHMENUBARINFO empty = BarInfo(owner, nullptr, 0, flags);
        ASSERT_TRUE(SHCreateMenuBar(&empty));
        EXPECT_EQ(IsWindowVisible(empty.hwndMB) != FALSE, shown) << flags;
        DestroyWindow(owner);
    }
}

TEST_F(SoftKeys, InitDialogResizesOnlyWhenItsFlagsAskAndTheMaskLetsThemAboveTheBarOrNot) {
    HWND dialog = MakeWindow(u"Plain", 10, 20, 50, 60);
    PumpUntilIdle();
    // What each asks, and how many paints follow: the done button's caption is drawn again.
    const std::pair<SHINITDLGINFO, int> cases[] = {{{0, dialog, SHIDIF_SIZEDLGFULLSCREEN}, 0},
                                                   {{SHIDIM_FLAGS, dialog, 0}, 0},
                                                   {{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON}, 1}};
    for (auto [info, paints] : cases) {
        EXPECT_TRUE(SHInitDialog(&info));
        EXPECT_EQ(Sides(Rect(dialog)), (std::array<LONG, 4>{10, 20, 60, 80})) << info.dwFlags;
        EXPECT_EQ(PumpUntilIdle(), paints) << info.dwFlags;
    }
    // A full-screen dialog without its bar takes the whole height.
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_FULLSCREENNOMENUBAR | SHIDIF_EMPTYMENU};
    ASSERT_TRUE(SHInitDialog(&info));
    PumpUntilIdle();
    EXPECT_EQ(Rect(dialog).bottom, 320);
    SHINITDLGINFO withBar{SHIDIM_FLAGS, dialog, SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&withBar));
    PumpUntilIdle();
    EXPECT_EQ(Rect(dialog).bottom, 294) << "above the bar it made";
}

// When a key lights and goes out is the bar's rule (platform/display/soft_keys.h); here, that
// the bar is drawn again each time, and that its command goes to the window without activating it.
TEST_F(SoftKeys, TheHeldKeyAndTheKeyWhoseMenuIsOpenAreLitAndALinePartsTheKeys) {
    constexpr COLORREF kLit = RGB(48, 104, 200);
    std::vector<bool> lit;
    backend.PointerDown(60, 307);
    for (int x : {60, 200, 60}) {
        backend.PointerMove(x, 307);
        PumpUntilIdle();
        lit.push_back(Shown(5, 300) == kLit);
    }
    backend.PointerUp(60, 307);
    PumpUntilIdle();
    lit.push_back(Shown(5, 300) == kLit);
    EXPECT_EQ(lit, (std::vector<bool>{true, false, true, false}));
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_OK}));
    EXPECT_TRUE(SeenOf(WM_ACTIVATE).empty()) << "the bar takes the tap without the activation";
    EXPECT_EQ(SendMessageW(bar, WM_PAINT, 0, 0) | SendMessageW(bar, WM_MOUSEMOVE, 0, 0), 0)
        << "a paint and a move handled answer 0";
    // A line parts the keys, and the key whose menu is open is lit.
    constexpr COLORREF kLine = RGB(64, 64, 72);
    const RECT r = Rect(bar);
    const int middle = (r.top + r.bottom) / 2;
    EXPECT_EQ(Shown(r.left + 120, middle), kLine) << "between the two keys";
    EXPECT_NE(Shown(r.left, middle), kLine) << "none before the first";
    EXPECT_EQ(Shown(r.left, r.bottom - 1), RGB(17, 17, 21)) << "the gradient's last row";
    EXPECT_NE(Shown(r.right - 3, r.top + 3), kLit);
    TapRightSoftKey();
    EXPECT_EQ(Shown(r.right - 3, r.top + 3), kLit);
    TapRightSoftKey();
    EXPECT_NE(Shown(r.right - 3, r.top + 3), kLit);
    EXPECT_NE(Shown(r.left + 3, r.top + 3), kLit) << "nor the other key once it closes";
}

TEST_F(SoftKeys, TheRightSoftKeyOpensTheHelpMenuAboveIt) {
    ASSERT_EQ(Popup(), nullptr);
    TapRightSoftKey();
    HWND popup = Popup();
    ASSERT_NE(popup, nullptr);
    RECT r = Rect(popup);
    // It stands on the bar, lined up with the right soft key.
    EXPECT_EQ(std::pair(r.bottom, r.right), (std::pair<LONG, LONG>(294, 240)));
    EXPECT_EQ(PixelsAt(platform::CaptureScreen().get(),
                       {{r.left + 10, r.top}, {r.left, r.top + 10}, {r.right - 3, r.top + 3}}),
              (std::vector<COLORREF>{RGB(64, 64, 64), RGB(64, 64, 64), RGB(250, 250, 250)}))
        << "its border's top row and left column, and its face";
    EXPECT_EQ(Extreme({r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, false), RGB(0, 0, 0))
        << "its text at its darkest";
    EXPECT_EQ(GetWindowLongW(popup, GWL_EXSTYLE), 0)
        << "the shell's windows have no extended style";
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(SendMessageW(popup, WM_MOUSEMOVE, 0, 0), 0) << "a move handled answers 0";
}

TEST_F(SoftKeys, TheItemUnderTheHeldPointerIsLitAndReleasingOffTheMenuChoosesNothing) {
    constexpr COLORREF kHighlight = RGB(40, 90, 180);
    TapRightSoftKey();
    const RECT menu = Rect(Popup());
    const auto lit = [&](int index) {
        return Shown(menu.left + 3, ItemCentre(index).y) == kHighlight;
    };
    const POINT first = ItemCentre(0);
    const POINT last = ItemCentre(2);
    backend.PointerDown(first.x, first.y);
    PumpUntilIdle();
    EXPECT_TRUE(lit(0));
    backend.PointerMove(last.x, last.y);
    PumpUntilIdle();
    EXPECT_FALSE(lit(0));
    EXPECT_TRUE(lit(2));
    // On the border below the items nothing is lit, nor after it, so leaving paints nothing.
    backend.PointerMove(last.x, menu.bottom - 1);
    PumpUntilIdle();
    // Just left of the menu, at the last item's height: nothing is lit, and nothing chosen.
    backend.PointerMove(menu.left - 1, last.y);
    EXPECT_EQ(PumpUntilIdle(), 1) << "the move alone";
    EXPECT_FALSE(lit(2));
    backend.PointerUp(menu.left - 1, last.y);
    PumpUntilIdle();
    EXPECT_TRUE(Commands().empty());
}

// A bar of the test's own: a left key checked but not enabled (state 1), its label longer than
// the bar reads (99 letters), and a right key whose menu has a greyed item.
constexpr platform::StringResource kGreyStrings[] = {
    {1,
     u"Nada: una tecla cuyo nombre es tan largo que no cabe en ella, y la barra lo corta donde "
     u"la tecla termina"},
    {2, u"Menu"}};
constexpr platform::MenuItemResource kGreyItems[] = {
    {7, u"Apagado, y tan largo que la pantalla entera no le basta", MF_GRAYED}};
constexpr platform::PopupResource kGreyPopups[] = {{u"Menu", kGreyItems}};
constexpr platform::MenuResource kGreyMenus[] = {{5, kGreyPopups}};
alignas(WORD) constexpr WORD kGreyBar[] = {5,      2,      0xFFFE, 8, 1,    0x10, 1, 0,
                                           0xFFFF, 0xFFFE, 9,      4, 0x18, 2,    0, 0};

const platform::ResourceModule& GreyModule() {
    static const platform::RawResource raw[] = {
        {platform::ResourceName::Number(
             static_cast<WORD>(reinterpret_cast<std::uintptr_t>(RT_RCDATA))),
         platform::ResourceName::Number(5), std::as_bytes(std::span(kGreyBar))}};
    static const platform::ResourceModule module{u"grey", 3082, kGreyStrings, kGreyMenus,
                                                 {},      {},   {},           raw};
    return module;
}

TEST_F(SoftKeys, DisabledKeysAndGreyedItemsAreDrawnGrey) {
    SHMENUBARINFO info = BarInfo(MakeWindow(u"Owner"), platform::RegisterModule(GreyModule()), 5);
    ASSERT_TRUE(SHCreateMenuBar(&info));
    PumpUntilIdle();
    // The lightest pixel of each label: white for an enabled key, grey for a disabled one.
    const RECT r = Rect(info.hwndMB);
    EXPECT_EQ(Extreme({r.left + 2, r.top + 2, r.left + 118, r.bottom - 2}, true),
              RGB(128, 128, 128));
    EXPECT_EQ(Extreme({r.right - 118, r.top + 2, r.right - 2, r.bottom - 2}, true),
              RGB(255, 255, 255));
    // The greyed item's text, at its darkest, is the grey it is drawn in.
    backend.Tap(r.right - 20, (r.top + r.bottom) / 2);
    PumpUntilIdle();
    const RECT menu = Rect(Popup());
    EXPECT_EQ(Extreme({menu.left + 2, menu.top + 2, menu.right - 2, menu.bottom - 2}, false),
              RGB(150, 150, 150));
    EXPECT_EQ(std::pair(menu.left, menu.right), (std::pair<LONG, LONG>(0, 240)))
        << "cut to the screen";
}

TEST_F(SoftKeys, MenuItemsAre22PixelsHighBelowAOnePixelBorder) {
    // The last pixel row of the first item, then the first of the second.
    TapMenuRow(1 + 21);
    TapMenuRow(1 + 22);
    backend.PressKey(VK_F1);
    PumpUntilIdle();
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_ABOUT, IDM_NEW, IDM_OK}));
    for (const Seen& command : SeenOf(WM_COMMAND)) {
        EXPECT_EQ(std::pair(HIWORD(command.wParam), command.lParam),
                  (std::pair<WORD, LPARAM>(0, 0)))
            << "the commands of a menu and of a soft key carry 0 and no control";
    }
}

TEST_F(SoftKeys, HardwareSoftKeysEscapeAndATapOutsideTheMenu) {
    backend.PressKey(VK_F2);
    PumpUntilIdle();
    EXPECT_NE(Popup(), nullptr);
    backend.PressKey(VK_ESCAPE);
    PumpUntilIdle();
    EXPECT_EQ(std::pair(Popup(), GetForegroundWindow()), std::pair(HWND{}, main));
    backend.PressKey(VK_F1);
    PumpUntilIdle();
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_OK}));
    EXPECT_TRUE(SeenOf(WM_KEYDOWN).empty() && SeenOf(WM_KEYUP).empty()) << "the bar takes them";
    // From the keyboard the menu is walked with the arrows.
    backend.PressKey(VK_F2);
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN}) {
        backend.PressKey(key);
    }
    PumpUntilIdle();
    EXPECT_EQ(Commands(), (std::vector<WORD>{IDM_OK, IDM_NEW}));
    EXPECT_EQ(Popup(), nullptr);
    // A tap outside the menu only closes it.
    TapRightSoftKey();
    backend.Tap(Rect(Popup()).left + 10, 20);  // above it
    PumpUntilIdle();
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty()) << "the window under the tap gets nothing";
}

TEST_F(SoftKeys, TheBarGivesItsPopupMenuCheckMarksShowAndTheWindowTakesThemAlong) {
    HMENU menu = HelpMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, IDM_OK), 0) << "a plain key has no menu";

    // Dark pixels in the check column of the last item of the open menu.
    auto markPixels = [&] {
        PumpUntilIdle();
        RECT popup = Rect(Popup());
        POINT centre = ItemCentre(2);
        int half = (popup.bottom - popup.top) / 6;
        const COLORREF darkest = Extreme(
            {popup.left + 2, centre.y - half + 2, popup.left + 20, centre.y + half - 2}, false);
        return GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest) < 300;
    };
    TapRightSoftKey();
    EXPECT_FALSE(markPixels());
    CheckMenuItem(menu, IDM_HARD, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(markPixels()) << "the open menu draws it again";
    backend.PressKey(VK_ESCAPE);
    EXPECT_EQ(CheckMenuItem(menu, IDM_HARD, MF_UNCHECKED), MF_CHECKED);
    TapRightSoftKey();
    EXPECT_FALSE(markPixels());
    EXPECT_EQ(CheckMenuItem(menu, 12345, MF_CHECKED), static_cast<DWORD>(-1));
    const HMENU loaded = LoadMenuW(instance, MAKEINTRESOURCEW(resources::IDR_MENU));
    EXPECT_EQ(
        (std::array{GetMenuItemID(menu, 0), GetMenuItemID(loaded, 0), GetMenuItemID(loaded, 1)}),
        (std::array<UINT, 3>{IDM_ABOUT, UINT(-1), UINT(-1)}))
        << "a command; an item that opens a pop-up, and none past the last, have none";
    // A destroyed window takes its bar and its open menu along.
    DestroyWindow(main);
    EXPECT_EQ(std::tuple(IsWindow(bar), Popup(), GetMenuItemCount(menu)),
              std::tuple(FALSE, HWND{}, -1));
    EXPECT_FALSE(DestroyWindow(bar)) << "destroying the bar again is refused, harmlessly";
    EXPECT_FALSE(DestroyMenu(menu)) << "and the menu";
}

// What each helper reports is checked with the program, which calls them all; here the edges.
TEST_F(SoftKeys, AHelperWithoutAWindowIsRefusedAndAnEmptyObserverStopsTheReports) {
    int calls = 0;
    windows.ObserveShellHelpers([&](const platform::ShellHelperCall&) { ++calls; });
    EXPECT_EQ(std::pair(SHFullScreen(nullptr, SHFS_HIDETASKBAR), SHFullScreen(main, 0)),
              std::pair(FALSE, TRUE));
    windows.ObserveShellHelpers(nullptr);
    EXPECT_TRUE(SHFullScreen(main, 0));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace window_test
