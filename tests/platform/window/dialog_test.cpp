// Modal dialogs: the About box template of the game's resources under a procedure of the test's
// own (the game's procedure is tested with the program), and a small dialog.
#include "platform/window/aygshell.h"
#include "platform/window/dialogs.h"
#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

// Results no real procedure uses, so that each comes from this procedure and from the way out
// it names.
constexpr INT_PTR kEndedByOk = 41;
constexpr INT_PTR kEndedByClose = 42;

INT_PTR FullScreenProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        SHINITDLGINFO info{SHIDIM_FLAGS, dialog,
                           SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU};
        SHInitDialog(&info);
        return TRUE;
    }
    const bool ok = message == WM_COMMAND && LOWORD(wParam) == IDOK;
    if (ok || message == WM_CLOSE) {
        EndDialog(dialog, ok ? kEndedByOk : kEndedByClose);
        return TRUE;
    }
    return FALSE;
}

RECT Rect(HWND window) {
    return WindowRect(window);
}

class Dialogs : public Desktop {
  protected:
    explicit Dialogs(platform::ScreenSize screen = {240, 320}) : Desktop(screen) {
        instance = platform::RegisterModule(resources::TarvelResourceModule());
        main = MakeWindow(u"Tarvel", 0, 0, screen.width, screen.height);
        SetTimer(main, 666, 50, nullptr);
        PumpUntilIdle();
        Log().clear();
    }

    LPCDLGTEMPLATEW AboutTemplate() const {
        HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resources::IDD_ABOUTBOX), RT_DIALOG);
        return static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(instance, found)));
    }
    INT_PTR RunAbout() {
        return DialogBoxIndirectParamW(instance, AboutTemplate(), main, FullScreenProc, 0);
    }
    static HWND About() { return FindWindowW(u"Dialog", u"Acerca de Tarvel"); }
    // Whatever the test checks while the dialog runs; failures inside actions are recorded too.
    void While(platform::Millis time, std::function<void()> check) {
        backend.At(time, std::move(check));
    }

    HINSTANCE instance = nullptr;
    HWND main = nullptr;
};

// The caption's button is pressed below, and a close request ends every other test's dialog.
TEST_F(Dialogs, EnterSendsOkEscapeClosesWithoutACancelButtonAndAQuitOrTheOwnerGoingEndsIt) {
    While(200, [&] { backend.PressKey(VK_RETURN); });
    EXPECT_EQ(RunAbout(), kEndedByOk);
    While(400, [&] { backend.PressKey(VK_ESCAPE); });
    While(450, [&] { backend.PressKey(VK_RETURN); });  // ends it otherwise, so a fault fails fast
    EXPECT_EQ(RunAbout(), kEndedByClose);
    EXPECT_TRUE(IsWindow(main));
    // A quit request, or the owner going, ends it with 0, and the quit stays (both before the
    // Enter at 450).
    While(420, [] { PostQuitMessage(3); });
    EXPECT_EQ(RunAbout(), 0);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
    While(440, [&] { PostMessageW(main, WM_CLOSE, 0, 0); });
    EXPECT_EQ(RunAbout(), 0) << "its owner went, and the dialog with it";
}

TEST_F(Dialogs, TheCaptionButtonIs36PixelsWideAnd4InFromTheRight) {
    // Pixels in from the dialog's right edge: one just outside the button, then one just inside.
    platform::Millis at = 100;
    for (const auto& [outside, inside] : {std::pair{41, 40}, std::pair{4, 5}}) {
        While(at,
              [&, outside] { backend.Tap(Rect(About()).right - outside, Rect(About()).top + 13); });
        While(at + 50, [&, outside, inside] {
            EXPECT_NE(About(), nullptr) << "a tap " << outside << " in from the right";
            EXPECT_EQ(PixelAt(platform::CaptureScreen().get(), Rect(About()).right - inside,
                              Rect(About()).top + 13),
                      RGB(255, 255, 255))
                << "its white outline";
            backend.Tap(Rect(About()).right - inside, Rect(About()).top + 13);
        });
        EXPECT_EQ(RunAbout(), kEndedByOk);
        at += 100;
    }
}

// The About box on a screen of each density: it fills the screen above an empty bar, its
// controls stand where their dialog units put them, and its icon takes the system icon size with
// the whole picture scaled into that square.
class AboutBox : public Dialogs, public testing::WithParamInterface<platform::ScreenSize> {
  protected:
    AboutBox() : Dialogs(GetParam()) {}
};

TEST_P(AboutBox, FillsTheScreenAboveAnEmptyBarWithControlsInDialogUnits) {
    const platform::ScreenSize screenSize = GetParam();
    const int scale = screenSize.width / 240;
    const int iconSize = 32 * scale;
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), iconSize);
    While(10, [&] {
        HWND about = About();
        ASSERT_NE(about, nullptr);
        RECT window = Rect(about);
        EXPECT_EQ(Sides(window),
                  (std::array<LONG, 4>{0, 0, screenSize.width, screenSize.height - 26 * scale}));
        RECT client;
        GetClientRect(about, &client);
        int caption = (window.bottom - window.top) - client.bottom;
        EXPECT_EQ(caption, 26 * scale);

        // The icon's square is the system icon's, from where its units put it.
        const std::pair<int, RECT> controls[] = {{201, {12, 12, 0, 0}},
                                                 {202, {12, 36, 82, 44}},
                                                 {203, {12, 48, 88, 56}},
                                                 {IDOK, {52, 85, 102, 110}}};
        for (auto [id, pixels] : controls) {
            MapDialogRect(about, &pixels);
            if (id == 201) {
                pixels.right = pixels.left + iconSize;
                pixels.bottom = pixels.top + iconSize;
            }
            const RECT control = Rect(GetDlgItem(about, id));
            EXPECT_EQ(Sides({control.left, control.top - caption, control.right,
                             control.bottom - caption}),
                      Sides(pixels))
                << id;
        }
        EXPECT_NE(SendMessageW(GetDlgItem(about, 201), STM_GETICON, 0, 0), 0);
        platform::SurfacePtr screen = platform::CaptureScreen();
        const RECT ok = Rect(GetDlgItem(about, IDOK));
        EXPECT_EQ(PixelAt(screen.get(), ok.left, (ok.top + ok.bottom) / 2), RGB(96, 96, 96));
        // Dark empty bar below the dialog, white dialog face.
        EXPECT_LT(GetRValue(PixelAt(screen.get(), 120, screenSize.height - 2)), 80);
        EXPECT_EQ(PixelAt(screen.get(), screenSize.width - 10, 200), RGB(255, 255, 255));
        EXPECT_EQ(Extreme(Rect(GetDlgItem(about, 202)), false), RGB(0, 0, 0)) << "black text";
        // The icon's blue title bar near its top and grey shadow along its bottom.
        const RECT icon = Rect(GetDlgItem(about, 201));
        WCHAR text[4];
        EXPECT_EQ(GetWindowTextW(GetDlgItem(about, 201), text, 4), 0) << "its number is no text";
        const int middle = (icon.left + icon.right) / 2;
        const COLORREF titleBar = PixelAt(screen.get(), middle, icon.top + iconSize * 9 / 48);
        EXPECT_GT(GetBValue(titleBar), GetRValue(titleBar) + 60) << std::hex << titleBar;
        const COLORREF shadow = PixelAt(screen.get(), middle, icon.top + iconSize * 91 / 96);
        EXPECT_LT(int{GetRValue(shadow)}, 128) << std::hex << shadow;
    });
    While(20, [&] { backend.RequestClose(); });
    EXPECT_EQ(RunAbout(), kEndedByClose);
}

INSTANTIATE_TEST_SUITE_P(Densities, AboutBox,
                         testing::Values(platform::ScreenSize{240, 320},
                                         platform::ScreenSize{480, 640}),
                         [](const testing::TestParamInfo<platform::ScreenSize>& info) {
                             return "Screen" + std::to_string(info.param.width);
                         });

// A small dialog that leaves most of the owner in view, with a control of a class the template
// names by text (300); dialogs at (10, 20), 80 x 40 dialog units, in fonts of 8, 0 and 1 points
// (400 to 402), one with a control of a class nobody registered (403); and a template cut short
// after its style words (301).
using platform::ResourceName;
constexpr DWORD kShownChild = WS_CHILD | WS_VISIBLE;
constexpr platform::DialogItemResource kSmallItems[] = {
    {IDOK, u"button", {kShownChild | WS_TABSTOP, 0, 10, 10, 40, 14}, ResourceName::Text(u"&OK")},
    {6, u"Recording", {kShownChild, 0, 60, 10, 8, 8}, ResourceName::Text(u"")},
};
constexpr platform::DialogItemResource kUnknownItems[] = {
    {5, u"nonesuch", {kShownChild, 0, 10, 10, 40, 14}, ResourceName::Text(u"?")},
};
constexpr DWORD kFontGiven = WS_POPUP | DS_SETFONT;
constexpr platform::DialogResource kTestDialogs[] = {
    {300, {kFontGiven | WS_CAPTION, 0, 0, 0, 80, 40}, u"Small", 8, u"sans-serif", kSmallItems},
    {400, {kFontGiven, 0, 10, 20, 80, 40}, u"Ocho", 8, u"sans-serif", {}},
    {401, {kFontGiven, 0, 10, 20, 80, 40}, u"Cero", 0, u"sans-serif", {}},
    {402, {kFontGiven, 0, 10, 20, 80, 40}, u"Uno", 1, u"sans-serif", {}},
    {403, {kFontGiven, 0, 10, 20, 80, 40}, u"Rara", 8, u"sans-serif", kUnknownItems},
};
alignas(DWORD) constexpr DWORD kTruncatedTemplate[] = {kFontGiven, 0};
const platform::RawResource kTestRaw[] = {
    {ResourceName::Number(RT_DIALOG_ID), ResourceName::Number(301),
     std::as_bytes(std::span(kTruncatedTemplate))},
};
const platform::ResourceModule kTestModule{u"dialogs", 3082, {},           {},
                                           {},         {},   kTestDialogs, kTestRaw};

LPCDLGTEMPLATEW TestTemplate(WORD id) {
    HINSTANCE module = platform::RegisterModule(kTestModule);
    return static_cast<LPCDLGTEMPLATEW>(
        LockResource(LoadResource(module, FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG))));
}

INT_PTR SmallProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 7);
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Runs test dialog `id` over `owner`.
INT_PTR RunTestDialog(HWND owner, WORD id, DLGPROC proc = SmallProc) {
    return DialogBoxIndirectParamW(platform::RegisterModule(kTestModule), TestTemplate(id), owner,
                                   proc, 0);
}

INT_PTR NoFocusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_INITDIALOG ? FALSE : SmallProc(dialog, message, wParam, lParam);
}

TEST_F(Dialogs, TheFirstTabStopHasTheFocusOnlyWhenInitDialogAsksForIt) {
    HWND button = nullptr;
    HWND focused = nullptr;
    LRESULT answers = -5;
    const auto look = [&] {
        HWND dialog = FindWindowW(u"Dialog", u"Small");
        button = GetDlgItem(dialog, IDOK);
        focused = GetFocus();
        answers = SendMessageW(dialog, WM_PAINT, 0, 0) | SendMessageW(dialog, WM_CLOSE, 0, 0);
        EndDialog(dialog, 1);
    };
    While(100, look);
    ASSERT_EQ(RunTestDialog(main, 300), 1);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(focused, button);
    EXPECT_EQ(answers, 0) << "a paint and a close its procedure leaves are answered with 0";
    While(200, look);
    ASSERT_EQ(RunTestDialog(main, 300, NoFocusProc), 1);
    EXPECT_NE(focused, button);
}

// The dialog's window rectangle while it runs.
RECT PlacedRect(platform::HeadlessBackend& backend, HWND owner, WORD id, const char16_t* title,
                platform::Millis at) {
    RECT rect{};
    backend.At(at, [&] {
        HWND dialog = FindWindowW(u"Dialog", title);
        GetWindowRect(dialog, &rect);
        EndDialog(dialog, 1);
    });
    EXPECT_EQ(RunTestDialog(owner, id), 1);
    return rect;
}

TEST_F(Dialogs, ADialogIsPlacedAndSizedInUnitsOfItsFontAndNoPointSizeMeansEight) {
    int baseX = 0;
    int baseY = 0;
    const int dpi = platform::detail::MetricsFor({240, 320}).dpi;
    platform::detail::MeasureBaseUnits({"sans-serif", 8.0 * dpi / 72.0, false}, &baseX, &baseY);
    const RECT eight = PlacedRect(backend, main, 400, u"Ocho", 100);
    platform::detail::Desktop& desktop = *platform::detail::Desktop::Current();
    const POINT origin = desktop.tree().ClientOrigin(*desktop.Find(main));
    const auto size = [](const RECT& r) { return std::pair(r.right - r.left, r.bottom - r.top); };
    EXPECT_EQ(std::pair(eight.left, eight.top),
              std::pair(origin.x + 10 * baseX / 4, origin.y + 20 * baseY / 8));
    EXPECT_EQ(size(eight), std::pair(80 * baseX / 4, 40 * baseY / 8));
    EXPECT_EQ(size(PlacedRect(backend, main, 401, u"Cero", 200)), size(eight));
    EXPECT_LT(size(PlacedRect(backend, main, 402, u"Uno", 300)).second, size(eight).second);
}

// The owner is disabled while a dialog runs, and enabled again after it or when it cannot be
// made. That a disabled window takes no input is the window system's rule (window_api_test.cpp).
TEST_F(Dialogs, TheOwnerIsDisabledWhileADialogRunsAndDialogsThatCannotBeMadeFail) {
    While(170, [&] {
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_EQ(GetForegroundWindow(), FindWindowW(u"Dialog", u"Small"));
        EndDialog(FindWindowW(u"Dialog", u"Small"), 7);
    });
    EXPECT_EQ(RunTestDialog(main, 300), 7);
    EXPECT_GE(SeenOf(WM_TIMER).size(), 3u) << "the owner's ticks at 50, 100 and 150 went on";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetForegroundWindow(), main);
    // A control of a class nobody registered, and a window that cannot be made.
    EXPECT_EQ(RunTestDialog(main, 403), -1);
    EXPECT_EQ(FindWindowW(u"Dialog", u"Rara"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    windows.RefuseWindowCreation(true);
    EXPECT_EQ(RunTestDialog(main, 400), -1);
    windows.RefuseWindowCreation(false);
    EXPECT_TRUE(IsWindowEnabled(main));
    // A template cut short, none at all, and an owner that is no window.
    ASSERT_NE(TestTemplate(301), nullptr);
    EXPECT_EQ(RunTestDialog(main, 301), -1);
    EXPECT_EQ(DialogBoxIndirectParamW(instance, nullptr, main, FullScreenProc, 0), -1);
    EXPECT_EQ(DialogBoxIndirectParamW(instance, AboutTemplate(), reinterpret_cast<HWND>(0x40),
                                      FullScreenProc, 0),
              0);
    EXPECT_EQ(EndDialog(main, 1), FALSE) << "not a dialog";
}

}  // namespace
}  // namespace window_test
