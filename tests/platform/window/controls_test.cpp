// The static and button controls as a dialog uses them, outside any dialog.
#include <algorithm>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/chrome.h"
#include "platform/window/dialogs.h"
#include "resources/resource_ids.h"
#include "resources/tarvel_resources.h"
#include "window_test_support.h"

namespace window_test {
namespace {

class Controls : public Desktop {
  protected:
    Controls() {
        main = MakeWindow();
        PumpUntilIdle();
        Log().clear();
    }

    HWND MakeControl(LPCWSTR windowClass, LPCWSTR text, DWORD style, int id = 9) {
        HWND control =
            CreateWindowExW(0, windowClass, text, WS_CHILD | WS_VISIBLE | style, 20, 40, 200, 30,
                            main, reinterpret_cast<HMENU>(id), nullptr, nullptr);
        PumpUntilIdle();
        return control;
    }

    HWND main = nullptr;
};

// The box of the pixels other than white in the 200 x 30 area at (left, top).
RECT InkIn(cairo_surface_t* surface, int left, int top) {
    RECT box{200, 30, 0, 0};
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (PixelAt(surface, left + x, top + y) != RGB(255, 255, 255)) {
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
            }
        }
    }
    return box;
}

TEST_F(Controls, StaticTextIsDrawnFromTheTopLeftOrCentred) {
    namespace chrome = platform::detail::chrome;
    HWND text = MakeControl(u"static", u"Hola", 0);
    // The same text in the same font drawn at the top left of a white image.
    platform::SurfacePtr alone = platform::MakeImageSurface(200, 30);
    {
        platform::CairoPtr cr(cairo_create(alone.get()));
        chrome::Fill(cr.get(), {0, 0, 200, 30}, chrome::kDialogBack);
        chrome::UseFont(cr.get(),
                        platform::detail::ControlFont(*platform::detail::Desktop::Current(), text));
        chrome::Text(cr.get(), u"Hola", 0, 0, chrome::kDialogText);
    }
    cairo_surface_flush(alone.get());
    EXPECT_EQ(Sides(InkIn(platform::CaptureScreen().get(), 20, 40)),
              Sides(InkIn(alone.get(), 0, 0)));
    DestroyWindow(text);
    MakeControl(u"static", u"Hola", SS_CENTER);
    const RECT centred = InkIn(platform::CaptureScreen().get(), 20, 40);
    EXPECT_NEAR(centred.left, 200 - centred.right, 2);
    EXPECT_GT(centred.left, 40);
}

TEST_F(Controls, AnIconTakenAwayIsPaintedAway) {
    const HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    const char16_t title[] = {0xFFFF, resources::IDI_TARVEL, 0};
    HWND icon = CreateWindowExW(0, u"static", title, WS_CHILD | WS_VISIBLE | SS_ICON, 20, 40, 10,
                                10, main, nullptr, instance, nullptr);
    ASSERT_NE(icon, nullptr);
    PumpUntilIdle();
    RECT area{};
    GetWindowRect(icon, &area);
    // How many pixels of the control are not the dialogs' white.
    const auto inked = [&] {
        platform::SurfacePtr screen = platform::CaptureScreen();
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                count += PixelAt(screen.get(), x, y) != RGB(255, 255, 255) ? 1 : 0;
            }
        }
        return count;
    };
    ASSERT_GT(inked(), 0);
    const HICON shown = reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0));
    EXPECT_EQ(SendMessageW(icon, STM_SETICON, 0, 0), reinterpret_cast<LRESULT>(shown));
    PumpUntilIdle();
    EXPECT_EQ(inked(), 0);
}

TEST_F(Controls, AButtonClicksOnlyWhenReleasedOverIt) {
    HWND button = MakeControl(u"button", u"OK", 0, IDOK);
    // Pressed over it, released just left of it, just above it, just right and just below.
    for (const POINT& off : {POINT{19, 50}, POINT{100, 39}, POINT{220, 50}, POINT{100, 70}}) {
        backend.PointerDown(100, 50);
        backend.PointerUp(off.x, off.y);
    }
    PumpUntilIdle();
    EXPECT_TRUE(SeenOf(WM_COMMAND).empty());
    EXPECT_EQ(PixelAt(platform::CaptureScreen().get(), 24, 44), RGB(232, 232, 232)) << "its face";
    // Held over it, it is pushed and turns blue; held off it, it is not.
    backend.PointerDown(100, 50);
    PumpUntilIdle();
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), BST_PUSHED);
    const COLORREF face = PixelAt(platform::CaptureScreen().get(), 24, 44);
    EXPECT_GT(GetBValue(face), GetRValue(face) + 60);
    backend.PointerMove(5, 200);
    PumpUntilIdle();
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0);
    backend.PointerUp(20, 40);
    PumpUntilIdle();
    const std::vector<Seen> commands = SeenOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    // A press just below it is not its own.
    backend.PointerDown(100, 70);
    PumpUntilIdle();
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0);
    backend.PointerUp(100, 70);
    PumpUntilIdle();
    EXPECT_EQ(std::pair(commands[0].wParam, commands[0].lParam),
              std::pair(MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button)));
}

TEST_F(Controls, PaintsAndReleasesTheyHandleAnswerZeroAndOnlyAChildHasAnId) {
    HWND text = MakeControl(u"static", u"Hola", 0);
    HWND button = MakeControl(u"button", u"OK", 0, IDOK);
    EXPECT_EQ((std::array{SendMessageW(text, WM_PAINT, 0, 0), SendMessageW(button, WM_PAINT, 0, 0),
                          SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)),
                          SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5))}),
              (std::array<LRESULT, 4>{}));
    // Only a child has a control identifier.
    EXPECT_EQ(GetDlgCtrlID(MakeControl(u"button", u"OK", 0, 12)), 12);
    EXPECT_EQ(GetDlgCtrlID(main), 0);
    EXPECT_EQ(GetDlgCtrlID(nullptr), 0);
}

}  // namespace
}  // namespace window_test
