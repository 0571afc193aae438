// Window and class calls at the edges of what they take.
#include "platform/gdi/gdi.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using WindowCalls = Desktop;

TEST_F(WindowCalls, ClassesWithNegativeExtraBytesAreRefused) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"Extra";
    wc.cbClsExtra = -1;
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.cbClsExtra = 0;
    wc.cbWndExtra = -1;
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.cbWndExtra = 0;
    EXPECT_NE(RegisterClassW(&wc), 0);
}

TEST_F(WindowCalls, ClassNamesMatchWhateverTheirCaseFromAToZ) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = u"aSz";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND window = CreateWindowExW(0, u"AsZ", u"Folded", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowW(u"ASZ", nullptr), window);
    EXPECT_EQ(FindWindowW(u"asz", u"Folded"), window);
}

TEST_F(WindowCalls, NegativeSizesMoveAWindowAsNone) {
    HWND window = MakeWindow();
    ASSERT_TRUE(MoveWindow(window, 10, 20, -5, -7, TRUE));
    EXPECT_EQ(Sides(WindowRect(window)), (std::array<LONG, 4>{10, 20, 10, 20}));
    ASSERT_TRUE(MoveWindow(window, 10, 20, 0, 0, TRUE));
    EXPECT_EQ(Sides(WindowRect(window)), (std::array<LONG, 4>{10, 20, 10, 20}));
}

TEST_F(WindowCalls, AWindowPaintedWithoutPixelsGetsThemWhenItGrows) {
    HWND window = MakeWindow(u"Empty", 0, 0, 0, 0);
    PAINTSTRUCT paint{};
    EXPECT_EQ(BeginPaint(window, &paint), nullptr);
    EndPaint(window, &paint);
    ASSERT_TRUE(MoveWindow(window, 0, 0, 50, 40, TRUE));
    HDC dc = BeginPaint(window, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_NE(SetPixel(dc, 49, 39, RGB(1, 2, 3)), CLR_INVALID);
    EndPaint(window, &paint);
}

TEST_F(WindowCalls, APaintWithNothingInvalidHasNothingToPaint) {
    HWND window = MakeWindow();
    PumpUntilIdle();
    PAINTSTRUCT paint{};
    paint.rcPaint = {1, 2, 3, 4};
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(Sides(paint.rcPaint), (std::array<LONG, 4>{0, 0, 0, 0}));
    EndPaint(window, &paint);
}

TEST_F(WindowCalls, TheClientRectangleStartsAtTheOrigin) {
    HWND window = MakeWindow(u"Client", 10, 20, 50, 60);
    RECT client{-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(Sides(client), (std::array<LONG, 4>{0, 0, 50, 60}));
}

TEST_F(WindowCalls, WindowTextGoesOnlyIntoABufferWithRoom) {
    HWND window = MakeWindow(u"Titulo");
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetWindowTextW(window, nullptr, 4), 0);
    EXPECT_EQ(GetWindowTextW(window, buffer, 0), 0);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(GetWindowTextW(nullptr, buffer, 4), 0);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(GetWindowTextW(window, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Tit");
}

TEST_F(WindowCalls, AHeldKeysStateHasItsHighBitSet) {
    MakeWindow();
    backend.KeyDown('A');
    PumpUntilIdle();
    EXPECT_EQ(GetKeyState('A'), static_cast<SHORT>(0x8000));
    EXPECT_EQ(GetKeyState('B'), 0);
    backend.KeyUp('A');
    PumpUntilIdle();
    EXPECT_EQ(GetKeyState('A'), 0);
}

TEST(HeadlessDesktop, IsThePocketComputersScreenUnlessToldOtherwise) {
    platform::HeadlessBackend plain;
    EXPECT_EQ(std::pair(plain.Screen().width, plain.Screen().height), std::pair(240, 320));
    EXPECT_EQ(plain.Now(), 0u);
}

TEST_F(WindowCalls, DigitKeysTypeTheirDigitsFromZeroToNine) {
    MakeWindow();
    PumpUntilIdle();
    Log().clear();
    backend.PressKey('0');
    backend.PressKey('9');
    PumpUntilIdle();
    const std::vector<Seen> chars = SeenOf(WM_CHAR);
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(std::pair(chars[0].wParam, chars[1].wParam), (std::pair<WPARAM, WPARAM>(u'0', u'9')));
}

TEST_F(WindowCalls, DispatchingNoMessageGivesZeroAndUnknownMetricsOrLongsAreZero) {
    EXPECT_EQ(DispatchMessageW(nullptr), 0);
    EXPECT_EQ(GetWindowLongW(MakeWindow(), 12345), 0);
    EXPECT_EQ(GetSystemMetrics(49), 0) << "the small icon's width, which the platform has not";
    EXPECT_EQ(GetSystemMetrics(-1), 0);
}

}  // namespace
}  // namespace window_test
