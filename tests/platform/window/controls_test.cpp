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
    EXPECT_EQ(Extreme(WindowRect(button), true) & 0xF0F0F0, RGB(240, 240, 240)) << "white text";
    backend.PointerMove(5, 200);
    PumpUntilIdle();
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0);
    backend.PointerUp(20, 40);
    PumpUntilIdle();
    const std::vector<Seen> commands = SeenOf(WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    // A press just below it or just right of it is not its own.
    for (const POINT& off : {POINT{100, 70}, POINT{220, 50}}) {
        backend.PointerDown(off.x, off.y);
        PumpUntilIdle();
        EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0) << off.x;
        backend.PointerUp(off.x, off.y);
        PumpUntilIdle();
    }
    EXPECT_EQ(std::pair(commands[0].wParam, commands[0].lParam),
              std::pair(MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button)));
}

TEST_F(Controls, PaintsAndReleasesTheyHandleAnswerZeroAndOnlyAChildHasAnId) {
    HWND text = MakeControl(u"static", u"Hola", 0);
    // Drawn on the dialogs' white, not on the black a new window starts with.
    RECT area{};
    GetWindowRect(text, &area);
    EXPECT_EQ(PixelAt(platform::CaptureScreen().get(), area.right - 1, area.bottom - 1),
              RGB(255, 255, 255));
    EXPECT_LT(GetBValue(Extreme(area, false)), 8) << "in black";
    // Its class asks for no extra bytes, and has no long of an unknown index.
    EXPECT_EQ(GetClassLongW(text, GCL_CBWNDEXTRA) | GetClassLongW(text, 12345), 0u);
    HWND button = MakeControl(u"button", u"OK", 0, IDOK);
    EXPECT_EQ((std::array{SendMessageW(text, WM_PAINT, 0, 0), SendMessageW(button, WM_PAINT, 0, 0),
                          SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)),
                          SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5)),
                          SendMessageW(text, STM_SETICON, 0, 0)}),
              (std::array<LRESULT, 5>{}));
    EXPECT_EQ(Sides(WindowRect(text)), Sides(area)) << "given no icon, a static keeps its size";
    // Only a child has a control identifier.
    EXPECT_EQ(GetDlgCtrlID(MakeControl(u"button", u"OK", 0, 12)), 12);
    EXPECT_EQ(GetDlgCtrlID(main), 0);
    EXPECT_EQ(GetDlgCtrlID(nullptr), 0);
}

}  // namespace
}  // namespace window_test
