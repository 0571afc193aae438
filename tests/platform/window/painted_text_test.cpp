// Text a window draws in its paint reaches the screen shown, also when nothing else changed.
#include <string>

#include "platform/gdi/gdi.h"
#include "window_test_support.h"

namespace window_test {
namespace {

std::u16string gShownText;

LRESULT TextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        ExtTextOutW(dc, 10, 10, 0, nullptr, gShownText.c_str(),
                    static_cast<UINT>(gShownText.size()), nullptr);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

using PaintedText = Desktop;

TEST_F(PaintedText, TextDrawnOverTheLastFrameIsShown) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = TextProc;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = u"Text";
    RegisterClassW(&wc);
    gShownText = u"1";
    HWND window = CreateWindowExW(0, u"Text", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    PumpUntilIdle();
    ASSERT_NE(backend.PresentedScreen(), nullptr);
    // Drawn over the last text without erasing: only the text's own pixels change.
    gShownText = u"8";
    InvalidateRect(window, nullptr, FALSE);
    PumpUntilIdle();
    EXPECT_EQ(DifferingFromAFreshScreen(backend.PresentedScreen()), 0);
    DestroyWindow(window);
}

}  // namespace
}  // namespace window_test
