// Window and class calls at the edges of what they take.
#include <fontconfig/fontconfig.h>

#include "platform/gdi/gdi.h"
#include "platform/window/aygshell.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using WindowCalls = Desktop;

TEST_F(WindowCalls, ClassesWithoutANameOrWithNegativeExtraBytesAreRefused) {
    WNDCLASSW wc = ClassOf(u"", RecordingProc);
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.lpszClassName = MAKEINTRESOURCEW(5);
    EXPECT_EQ(RegisterClassW(&wc), 0) << "nor is a number";
    wc.lpszClassName = u"Extra";
    wc.cbClsExtra = -1;
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.cbClsExtra = 0;
    wc.cbWndExtra = -1;
    EXPECT_EQ(RegisterClassW(&wc), 0);
    wc.cbWndExtra = 0;
    EXPECT_NE(RegisterClassW(&wc), 0);
}

TEST_F(WindowCalls, NegativeSizesMoveAWindowAsNone) {
    HWND window = MakeWindow();
    for (const int size : {-5, 0}) {
        ASSERT_TRUE(MoveWindow(window, 10, 20, size, size - 2, TRUE));
        EXPECT_EQ(Sides(WindowRect(window)), (std::array<LONG, 4>{10, 20, 10, 20})) << size;
    }
    EXPECT_EQ(SeenOf(WM_SIZE).back().wParam, 0u) << "restored";
}

TEST_F(WindowCalls, AWindowWithoutPixelsGetsThemWhenItGrowsAndAValidOneHasNothingToPaint) {
    HWND window = MakeWindow(u"Empty", 0, 0, 10, 0);
    PAINTSTRUCT paint{};
    EXPECT_EQ(BeginPaint(window, &paint), nullptr);
    EndPaint(window, &paint);
    ASSERT_TRUE(MoveWindow(window, 0, 0, 50, 40, TRUE));
    HDC dc = BeginPaint(window, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(paint.fErase) << "a class without a brush leaves the erasing to the paint";
    EXPECT_NE(SetPixel(dc, 49, 39, RGB(1, 2, 3)), CLR_INVALID);
    EndPaint(window, &paint);
    // Painted, it is valid: a second paint has nothing to paint.
    paint.rcPaint = {1, 2, 3, 4};
    ASSERT_NE(BeginPaint(window, &paint), nullptr);
    EXPECT_EQ(Sides(paint.rcPaint), (std::array<LONG, 4>{0, 0, 0, 0}));
    EndPaint(window, &paint);
}

// A resize asked for during a paint waits for its end: the paint's DC keeps drawing into the
// pixels it began with, which are not freed under it, and what it drew is shown.
TEST_F(WindowCalls, AResizeInAPaintWaitsForItsEnd) {
    HWND window = MakeWindow(u"Painted", 0, 0, 20, 20);
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    MoveWindow(window, 0, 0, 30, 30, FALSE);
    SetPixel(dc, 5, 5, RGB(1, 2, 3));
    EndPaint(window, &paint);
    EXPECT_EQ(PixelAt(platform::CaptureScreen().get(), 5, 5), RGB(1, 2, 3));
}

TEST_F(WindowCalls, TheClientRectangleStartsAtTheOriginAndTheDefaultPlaceIsTheScreen) {
    HWND window = MakeWindow(u"Client", 10, 20, 50, 60);
    RECT client{-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(Sides(client), (std::array<LONG, 4>{0, 0, 50, 60}));
    HWND placed = CreateWindowExW(0, u"Recording", u"", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(Sides(WindowRect(placed)), (std::array<LONG, 4>{0, 0, 240, 320})) << "the default";
    // Below a caption 26 pixels high, one row is left.
    HWND captioned = CreateWindowExW(0, u"Recording", u"", WS_VISIBLE | WS_CAPTION, 0, 0, 50, 27,
                                     nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(GetClientRect(captioned, &client));
    EXPECT_EQ(client.bottom, 1);
    EXPECT_NE(PixelAt(platform::CaptureScreen().get(), 40, 3), RGB(255, 255, 255))
        << "no OK button's outline without WS_EX_CAPTIONOKBTN";
}

TEST_F(WindowCalls, WindowTextGoesOnlyIntoABufferWithRoom) {
    HWND window = MakeWindow(u"Titulo");
    char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetWindowTextW(window, nullptr, 4), 0);
    EXPECT_EQ(std::pair(GetWindowTextW(window, buffer, 0), GetWindowTextW(nullptr, buffer, 4)),
              std::pair(0, 0));
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(GetWindowTextW(window, buffer, 1), 0);
    EXPECT_EQ(buffer[0], u'\0') << "room for the terminating zero only";
    EXPECT_EQ(GetWindowTextW(window, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Tit");
}

TEST_F(WindowCalls, DispatchingNoMessageGivesZeroAndUnknownMetricsOrLongsAreZero) {
    EXPECT_EQ(DispatchMessageW(nullptr), 0);
    EXPECT_EQ(GetWindowLongW(MakeWindow(), 12345), 0);
    EXPECT_EQ(GetSystemMetrics(49), 0) << "the small icon's width, which the platform has not";
    EXPECT_EQ(GetSystemMetrics(-1), 0);
    EXPECT_FALSE(SetForegroundWindow(reinterpret_cast<HWND>(0x1234)));
}

TEST_F(WindowCalls, AWindowClosingOverAHiddenOwnerLeavesTheActivationToAShownOne) {
    HWND shown = MakeWindow(u"Shown");
    HWND owner = MakeWindow(u"Owner");
    HWND owned = CreateWindowExW(0, u"Recording", u"Owned", WS_VISIBLE, 0, 0, 9, 9, owner, nullptr,
                                 nullptr, nullptr);
    ShowWindow(owner, SW_HIDE);
    ASSERT_EQ(GetForegroundWindow(), owned);
    DestroyWindow(owned);
    EXPECT_EQ(GetForegroundWindow(), shown);
}

TEST_F(WindowCalls, ADisabledWindowTakesNoInputAndEnablingSaysWhetherItWasDisabled) {
    HWND window = MakeWindow();
    EXPECT_FALSE(EnableWindow(window, FALSE));
    backend.Tap(10, 10);
    PumpUntilIdle();
    EXPECT_TRUE(SeenOf(WM_LBUTTONDOWN).empty());
    EXPECT_TRUE(EnableWindow(window, TRUE));
}

// Called before any window system is made, the calls fail as the real ones do without a window
// station.
TEST(WithoutAWindowSystem, DialogsBarsAndMessagesFail) {
    alignas(DWORD) constexpr DWORD kTemplate[] = {WS_POPUP, 0, 0, 0, 0, 0};
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(kTemplate),
                                      nullptr, nullptr, 0),
              -1);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    EXPECT_FALSE(SHCreateMenuBar(&bar));
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0), 0);
    EXPECT_EQ(std::pair(GetSystemMetrics(SM_CXICON), GetKeyState(VK_SHIFT)),
              (std::pair<int, SHORT>(0, 0)));
}

// In a process of its own, before any text: the window system reads the program's font
// configuration, from memory, not fontconfig's default, from the system's files.
TEST(WindowSystemStart, ReadsTheProgramsFontConfiguration) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            platform::HeadlessBackend backend;
            platform::WindowSystem windows{backend};
            FcStrList* files = FcConfigGetConfigFiles(nullptr);
            const bool fromFiles = FcStrListNext(files) != nullptr;
            FcStrListDone(files);
            std::exit(fromFiles ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace window_test
