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
    switch (message) {
        case WM_INITDIALOG: {
            SHINITDLGINFO info{SHIDIM_FLAGS, dialog,
                               SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU};
            SHInitDialog(&info);
            return TRUE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                EndDialog(dialog, kEndedByOk);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            EndDialog(dialog, kEndedByClose);
            return TRUE;
        default:
            return FALSE;
    }
}

RECT Rect(HWND window) {
    return WindowRect(window);
}

POINT Centre(HWND window) {
    RECT r = Rect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
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

    INT_PTR RunAbout() {
        HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resources::IDD_ABOUTBOX), RT_DIALOG);
        auto tpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(instance, found)));
        return DialogBoxIndirectParamW(instance, tpl, main, FullScreenProc, 0);
    }
    static HWND About() { return FindWindowW(u"Dialog", u"Acerca de Tarvel"); }
    // Whatever the test checks while the dialog runs; failures inside actions are recorded too.
    void While(platform::Millis time, std::function<void()> check) {
        backend.At(time, std::move(check));
    }
    std::vector<Seen> MainSaw(UINT message) {
        std::vector<Seen> seen;
        for (const Seen& s : SeenOf(message)) {
            if (s.hwnd == main) {
                seen.push_back(s);
            }
        }
        return seen;
    }

    HINSTANCE instance = nullptr;
    HWND main = nullptr;
};

// The caption's button is pressed below, and a close request ends every other test's dialog.
TEST_F(Dialogs, EnterSendsOkAndEscapeClosesADialogWithoutACancelButton) {
    While(200, [&] { backend.PressKey(VK_RETURN); });
    EXPECT_EQ(RunAbout(), kEndedByOk);
    While(400, [&] { backend.PressKey(VK_ESCAPE); });
    While(450, [&] { backend.PressKey(VK_RETURN); });  // ends it otherwise, so a fault fails fast
    EXPECT_EQ(RunAbout(), kEndedByClose);
    EXPECT_TRUE(IsWindow(main));
}

TEST_F(Dialogs, TheCaptionButtonIs36PixelsWideAnd4InFromTheRight) {
    // Pixels in from the dialog's right edge: one just outside the button, then one just inside.
    platform::Millis at = 100;
    for (const auto& [outside, inside] : {std::pair{41, 40}, std::pair{4, 5}}) {
        While(at,
              [&, outside] { backend.Tap(Rect(About()).right - outside, Rect(About()).top + 13); });
        While(at + 50, [&, outside, inside] {
            EXPECT_NE(About(), nullptr) << "a tap " << outside << " in from the right";
            backend.Tap(Rect(About()).right - inside, Rect(About()).top + 13);
        });
        EXPECT_EQ(RunAbout(), kEndedByOk);
        at += 100;
    }
}

TEST_F(Dialogs, TheCaptionButtonIsOutlinedInWhiteAndThePushButtonInGrey) {
    While(100, [&] {
        platform::SurfacePtr screen = platform::CaptureScreen();
        const RECT dialog = Rect(About());
        EXPECT_EQ(PixelAt(screen.get(), dialog.right - 40, dialog.top + 13), RGB(255, 255, 255));
        const RECT button = Rect(GetDlgItem(About(), IDOK));
        EXPECT_EQ(PixelAt(screen.get(), button.left, (button.top + button.bottom) / 2),
                  RGB(96, 96, 96));
        backend.PressKey(VK_RETURN);
    });
    EXPECT_EQ(RunAbout(), kEndedByOk);
}

TEST_F(Dialogs, TheAboutBoxFillsTheScreenAboveAnEmptyBarWithControlsInDialogUnits) {
    While(10, [&] {
        HWND about = About();
        ASSERT_NE(about, nullptr);
        RECT window = Rect(about);
        EXPECT_EQ(Sides(window), (std::array<LONG, 4>{0, 0, 240, 294}));
        RECT client;
        GetClientRect(about, &client);
        int caption = (window.bottom - window.top) - client.bottom;
        EXPECT_EQ(caption, 26);

        struct Expected {
            int id;
            RECT units;
        };
        for (Expected e : {Expected{202, {12, 36, 82, 44}}, Expected{203, {12, 48, 88, 56}},
                           Expected{IDOK, {52, 85, 102, 110}}}) {
            RECT pixels = e.units;
            MapDialogRect(about, &pixels);
            RECT control = Rect(GetDlgItem(about, e.id));
            EXPECT_EQ(control.left, pixels.left) << e.id;
            EXPECT_EQ(control.top - caption, pixels.top) << e.id;
            EXPECT_EQ(control.right, pixels.right) << e.id;
            EXPECT_EQ(control.bottom - caption, pixels.bottom) << e.id;
        }
        platform::SurfacePtr screen = platform::CaptureScreen();
        // Blue caption, dark empty bar below the dialog, white dialog face.
        COLORREF captionPixel = PixelAt(screen.get(), 100, 2);
        EXPECT_GT(GetBValue(captionPixel), GetRValue(captionPixel) + 60);
        EXPECT_LT(GetRValue(PixelAt(screen.get(), 120, 318)), 80);
        EXPECT_EQ(PixelAt(screen.get(), 230, 200), RGB(255, 255, 255));
    });
    While(20, [&] { backend.RequestClose(); });
    EXPECT_EQ(RunAbout(), kEndedByClose);
}

// The About box's icon on a screen of each density: the system icon size for it, and the
// icon's picture scaled into that square.
struct IconCase {
    platform::ScreenSize screen;
    int iconSize;
};

class AboutIcon : public Dialogs, public testing::WithParamInterface<IconCase> {
  protected:
    AboutIcon() : Dialogs(GetParam().screen) {}
};

TEST_P(AboutIcon, TakesTheSystemIconSizeWhereItsDialogUnitsPutIt) {
    const int size = GetParam().iconSize;
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), size);
    While(10, [&] {
        HWND about = About();
        ASSERT_NE(about, nullptr);
        RECT window = Rect(about);
        RECT clientRect;
        GetClientRect(about, &clientRect);
        POINT client{window.left, window.bottom - clientRect.bottom};
        RECT iconAt{12, 12, 0, 0};
        MapDialogRect(about, &iconAt);
        HWND iconControl = GetDlgItem(about, 201);
        EXPECT_NE(SendMessageW(iconControl, STM_GETICON, 0, 0), 0);
        RECT icon = Rect(iconControl);
        EXPECT_EQ(icon.left - client.x, iconAt.left);
        EXPECT_EQ(icon.top - client.y, iconAt.top);
        EXPECT_EQ(icon.right - icon.left, size);
        EXPECT_EQ(icon.bottom - icon.top, size);
        // The whole picture is in the square: the blue title bar near its top and the grey
        // shadow along its bottom.
        platform::SurfacePtr screen = platform::CaptureScreen();
        const int middle = (icon.left + icon.right) / 2;
        const COLORREF titleBar = PixelAt(screen.get(), middle, icon.top + size * 9 / 48);
        EXPECT_GT(GetBValue(titleBar), GetRValue(titleBar) + 60) << std::hex << titleBar;
        const COLORREF shadow = PixelAt(screen.get(), middle, icon.top + size * 91 / 96);
        EXPECT_LT(int{GetRValue(shadow)}, 128) << std::hex << shadow;
    });
    While(20, [&] { backend.RequestClose(); });
    EXPECT_EQ(RunAbout(), kEndedByClose);
}

INSTANTIATE_TEST_SUITE_P(Densities, AboutIcon,
                         testing::Values(IconCase{{240, 320}, 32}, IconCase{{480, 640}, 64}),
                         [](const testing::TestParamInfo<IconCase>& info) {
                             return "Screen" + std::to_string(info.param.screen.width);
                         });

TEST_F(Dialogs, TheButtonLooksPressedOnlyWhileHeldOverIt) {
    POINT ok{};
    While(100, [&] {
        ok = Centre(GetDlgItem(About(), IDOK));
        backend.PointerDown(ok.x, ok.y);
    });
    While(110, [&] {
        HWND button = GetDlgItem(About(), IDOK);
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), BST_PUSHED);
        platform::SurfacePtr screen = platform::CaptureScreen();
        COLORREF face = PixelAt(screen.get(), Rect(button).left + 3, ok.y);
        EXPECT_GT(GetBValue(face), GetRValue(face) + 60) << "pressed buttons turn blue";
        backend.PointerMove(5, 200);
    });
    While(120, [&] {
        EXPECT_EQ(SendMessageW(GetDlgItem(About(), IDOK), BM_GETSTATE, 0, 0), 0);
        backend.PointerUp(5, 200);
    });
    While(130, [&] {
        EXPECT_NE(About(), nullptr) << "released away from the button: no click";
        backend.Tap(ok.x, ok.y);
    });
    EXPECT_EQ(RunAbout(), kEndedByOk);
}

TEST_F(Dialogs, AQuitRequestEndsTheDialogAndStaysForTheOuterLoop) {
    While(100, [] { PostQuitMessage(3); });
    EXPECT_EQ(RunAbout(), 0);
    MSG msg;
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 3u);
}

// A small dialog that leaves most of the owner in view.
constexpr platform::DialogItemResource kSmallItems[] = {
    {IDOK, u"button", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 40, 14,
     platform::ResourceName::Text(u"&OK")},
};
constexpr platform::DialogResource kSmallDialogs[] = {
    {300, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 80, 40, u"Small", 8, u"sans-serif",
     kSmallItems},
};
// A dialog template cut short after its style words.
alignas(DWORD) constexpr DWORD kTruncatedTemplate[] = {WS_POPUP | DS_SETFONT, 0};
const platform::RawResource kSmallRaw[] = {
    {platform::ResourceName::Number(RT_DIALOG_ID), platform::ResourceName::Number(301),
     std::as_bytes(std::span(kTruncatedTemplate))},
};
const platform::ResourceModule kSmallModule{u"small", 3082,          {},       {}, {},
                                            {},       kSmallDialogs, kSmallRaw};

LPCDLGTEMPLATEW SmallTemplate(HINSTANCE small, WORD id) {
    return static_cast<LPCDLGTEMPLATEW>(
        LockResource(LoadResource(small, FindResourceW(small, MAKEINTRESOURCEW(id), RT_DIALOG))));
}

INT_PTR SmallProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        EndDialog(dialog, 7);
        return TRUE;
    }
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

TEST_F(Dialogs, TheOwnerTakesNoInputWhileTheDialogRuns) {
    HINSTANCE small = platform::RegisterModule(kSmallModule);
    LPCDLGTEMPLATEW tpl = SmallTemplate(small, 300);
    While(100, [&] {
        EXPECT_FALSE(IsWindowEnabled(main));
        EXPECT_EQ(GetForegroundWindow(), FindWindowW(u"Dialog", u"Small"));
        backend.Tap(200, 300);  // on the owner, outside the dialog
        backend.PressKey('A');
    });
    While(170, [&] {
        POINT ok = Centre(GetDlgItem(FindWindowW(u"Dialog", u"Small"), IDOK));
        backend.Tap(ok.x, ok.y);
    });
    EXPECT_EQ(DialogBoxIndirectParamW(small, tpl, main, SmallProc, 0), 7);
    EXPECT_TRUE(MainSaw(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(MainSaw(WM_KEYDOWN).empty());
    EXPECT_EQ(MainSaw(WM_TIMER).size(), 3u) << "ticks at 50, 100 and 150 reached the owner";
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(GetForegroundWindow(), main);
    backend.Tap(200, 300);
    PumpUntilIdle();
    EXPECT_EQ(MainSaw(WM_LBUTTONDOWN).size(), 1u) << "input is back once the dialog is gone";
}

INT_PTR NoFocusProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return message == WM_INITDIALOG ? FALSE : SmallProc(dialog, message, wParam, lParam);
}

TEST_F(Dialogs, TheFirstTabStopHasTheFocusOnlyWhenInitDialogAsksForIt) {
    HINSTANCE small = platform::RegisterModule(kSmallModule);
    HWND button = nullptr;
    HWND focused = nullptr;
    LRESULT paintAnswer = -5;
    const auto look = [&] {
        HWND dialog = FindWindowW(u"Dialog", u"Small");
        button = GetDlgItem(dialog, IDOK);
        focused = GetFocus();
        paintAnswer = SendMessageW(dialog, WM_PAINT, 0, 0);
        EndDialog(dialog, 1);
    };
    While(100, look);
    ASSERT_EQ(DialogBoxIndirectParamW(small, SmallTemplate(small, 300), main, SmallProc, 0), 1);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(focused, button);
    EXPECT_EQ(paintAnswer, 0) << "a paint its procedure leaves is answered with 0";
    While(200, look);
    ASSERT_EQ(DialogBoxIndirectParamW(small, SmallTemplate(small, 300), main, NoFocusProc, 0), 1);
    EXPECT_NE(focused, button);
}

// Dialogs at (10, 20), 80 x 40 dialog units, in fonts of 8, 0 and 1 points, and one with a
// control of a class nobody registered.
constexpr platform::DialogItemResource kUnknownItems[] = {
    {5, u"nonesuch", WS_CHILD | WS_VISIBLE, 0, 10, 10, 40, 14, platform::ResourceName::Text(u"?")},
};
constexpr platform::DialogResource kPlacedDialogs[] = {
    {400, WS_POPUP | DS_SETFONT, 0, 10, 20, 80, 40, u"Ocho", 8, u"sans-serif", {}},
    {401, WS_POPUP | DS_SETFONT, 0, 10, 20, 80, 40, u"Cero", 0, u"sans-serif", {}},
    {402, WS_POPUP | DS_SETFONT, 0, 10, 20, 80, 40, u"Uno", 1, u"sans-serif", {}},
    {403, WS_POPUP | DS_SETFONT, 0, 10, 20, 80, 40, u"Rara", 8, u"sans-serif", kUnknownItems},
    {404, WS_POPUP, 0, 10, 20, 80, 40, u"Sin fuente", 0, u"", kSmallItems},
};
const platform::ResourceModule kPlacedModule{u"placed", 3082, {}, {}, {}, {}, kPlacedDialogs, {}};

// The dialog's window rectangle while it runs.
RECT PlacedRect(platform::HeadlessBackend& backend, HWND owner, WORD id, const char16_t* title,
                platform::Millis at) {
    HINSTANCE placed = platform::RegisterModule(kPlacedModule);
    RECT rect{};
    backend.At(at, [&] {
        HWND dialog = FindWindowW(u"Dialog", title);
        GetWindowRect(dialog, &rect);
        EndDialog(dialog, 1);
    });
    EXPECT_EQ(DialogBoxIndirectParamW(placed, SmallTemplate(placed, id), owner, SmallProc, 0), 1);
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
    EXPECT_EQ(eight.left, origin.x + 10 * baseX / 4);
    EXPECT_EQ(eight.top, origin.y + 20 * baseY / 8);
    EXPECT_EQ(eight.right - eight.left, 80 * baseX / 4);
    EXPECT_EQ(eight.bottom - eight.top, 40 * baseY / 8);

    const RECT zero = PlacedRect(backend, main, 401, u"Cero", 200);
    EXPECT_EQ(zero.right - zero.left, eight.right - eight.left);
    EXPECT_EQ(zero.bottom - zero.top, eight.bottom - eight.top);
    const RECT one = PlacedRect(backend, main, 402, u"Uno", 300);
    EXPECT_LT(one.bottom - one.top, eight.bottom - eight.top);
}

TEST_F(Dialogs, AControlOutsideADialogHasTheFontOfADialogWithoutOne) {
    using platform::detail::ControlFont;
    platform::detail::Desktop& desktop = *platform::detail::Desktop::Current();
    HWND outside = CreateWindowExW(0, u"static", u"Hola", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, main,
                                   nullptr, nullptr, nullptr);
    platform::detail::chrome::Font inside;
    While(100, [&] {
        HWND dialog = FindWindowW(u"Dialog", u"Sin fuente");
        inside = ControlFont(desktop, GetDlgItem(dialog, IDOK));
        EndDialog(dialog, 1);
    });
    HINSTANCE placed = platform::RegisterModule(kPlacedModule);
    ASSERT_EQ(DialogBoxIndirectParamW(placed, SmallTemplate(placed, 404), main, SmallProc, 0), 1);
    const platform::detail::chrome::Font font = ControlFont(desktop, outside);
    EXPECT_EQ(font.family, inside.family);
    EXPECT_DOUBLE_EQ(font.pixels, inside.pixels);
    EXPECT_EQ(font.bold, inside.bold);
}

TEST_F(Dialogs, DialogsThatCannotBeMadeFailAndLeaveTheOwnerEnabled) {
    HINSTANCE placed = platform::RegisterModule(kPlacedModule);
    // A control of a class nobody registered, and a window that cannot be made.
    EXPECT_EQ(DialogBoxIndirectParamW(placed, SmallTemplate(placed, 403), main, SmallProc, 0), -1);
    EXPECT_EQ(FindWindowW(u"Dialog", u"Rara"), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    windows.RefuseWindowCreation(true);
    EXPECT_EQ(DialogBoxIndirectParamW(placed, SmallTemplate(placed, 400), main, SmallProc, 0), -1);
    windows.RefuseWindowCreation(false);
    EXPECT_TRUE(IsWindowEnabled(main));
    // A template cut short, none at all, and an owner that is no window.
    HINSTANCE small = platform::RegisterModule(kSmallModule);
    LPCDLGTEMPLATEW truncated = SmallTemplate(small, 301);
    ASSERT_NE(truncated, nullptr);
    EXPECT_EQ(DialogBoxIndirectParamW(small, truncated, main, SmallProc, 0), -1);
    EXPECT_EQ(DialogBoxIndirectParamW(instance, nullptr, main, FullScreenProc, 0), -1);
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resources::IDD_ABOUTBOX), RT_DIALOG);
    auto tpl = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(instance, found)));
    EXPECT_EQ(
        DialogBoxIndirectParamW(instance, tpl, reinterpret_cast<HWND>(0x40), FullScreenProc, 0), 0);
    EXPECT_EQ(EndDialog(main, 1), FALSE) << "not a dialog";
}

}  // namespace
}  // namespace window_test
