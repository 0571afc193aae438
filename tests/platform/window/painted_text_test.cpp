// Text drawn into a picture kept in a memory DC, as the game draws its score, reaches the screen
// when the window copies the picture in again, also when nothing else in it changed.
#include "platform/gdi/gdi.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using PaintedText = Desktop;

TEST_F(PaintedText, TextDrawnIntoThePictureIsShownWhenItIsCopiedAgain) {
    copiedPicture = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(copiedPicture, 240, 320);
    HGDIOBJ oldBitmap = SelectObject(copiedPicture, bitmap);
    const RECT all{0, 0, 240, 320};
    FillRect(copiedPicture, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ExtTextOutW(copiedPicture, 10, 10, 0, nullptr, u"1", 1, nullptr);
    HWND window = MakeWindowOfClass(u"Picture", CopyPictureProc);
    PumpUntilIdle();

    ExtTextOutW(copiedPicture, 10, 10, 0, nullptr, u"8", 1, nullptr);
    InvalidateRect(window, nullptr, FALSE);
    PumpUntilIdle();
    cairo_surface_t* shown = backend.PresentedScreen();
    ASSERT_NE(shown, nullptr);
    int differing = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            differing += PixelAt(shown, x, y) != GetPixel(copiedPicture, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
    DestroyWindow(window);
    SelectObject(copiedPicture, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(copiedPicture);
}

}  // namespace
}  // namespace window_test
