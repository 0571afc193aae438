// Text drawn into a picture kept in a memory DC, as the game draws its score, reaches the screen
// when the window copies the picture in again, also when nothing else in it changed.
#include "platform/gdi/gdi.h"
#include "window_test_support.h"

namespace window_test {
namespace {

HDC gPicture = nullptr;

LRESULT CopyPictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(dc, 0, 0, 240, 320, gPicture, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

using PaintedText = Desktop;

TEST_F(PaintedText, TextDrawnIntoThePictureIsShownWhenItIsCopiedAgain) {
    gPicture = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(gPicture, 240, 320);
    HGDIOBJ oldBitmap = SelectObject(gPicture, bitmap);
    const RECT all{0, 0, 240, 320};
    FillRect(gPicture, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ExtTextOutW(gPicture, 10, 10, 0, nullptr, u"1", 1, nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = CopyPictureProc;
    wc.lpszClassName = u"Picture";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, u"Picture", u"", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
    PumpUntilIdle();

    ExtTextOutW(gPicture, 10, 10, 0, nullptr, u"8", 1, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    PumpUntilIdle();
    cairo_surface_t* shown = backend.PresentedScreen();
    ASSERT_NE(shown, nullptr);
    int differing = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            differing += PixelAt(shown, x, y) != GetPixel(gPicture, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    DestroyWindow(window);
    SelectObject(gPicture, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(gPicture);
}

}  // namespace
}  // namespace window_test
