// The message loop: the order messages come in, quitting, sleeping, sending, painting.
#include <cairo.h>

#include <algorithm>
#include <tuple>

#include "platform/gdi/gdi.h"
#include "platform/window/desktop.h"
#include "window_test_support.h"

namespace window_test {
namespace {

class MessageLoop : public Desktop {
  protected:
    // A window of the recording class, painted once.
    HWND PaintedWindow() {
        HWND window = MakeWindow();
        PumpUntilIdle();
        return window;
    }
};

TEST_F(MessageLoop, PostedBeforeInputBeforePaintBeforeTimerAndQuitAfterPosted) {
    HWND window = PaintedWindow();
    SetTimer(window, 7, 50, nullptr);
    backend.Advance(60);
    InvalidateRect(window, nullptr, FALSE);
    backend.PointerDown(10, 10);
    PostMessageW(window, WM_USER + 1, 0, 0);

    std::vector<UINT> order;
    MSG msg;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
        order.push_back(msg.message);
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_LBUTTONDOWN, WM_PAINT, WM_TIMER}));
    EXPECT_EQ(msg.wParam, 7u);
    // A quit comes after posted messages and carries the exit code.
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(42);
    EXPECT_EQ(GetMessageW(&msg, nullptr, WM_USER, WM_USER), TRUE) << "a range of one message";
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(std::tuple(msg.message, msg.wParam, msg.lParam),
              (std::tuple<UINT, WPARAM, LPARAM>(WM_QUIT, 42, 0)));
}

// A game's tick: a timer message whose handling invalidates the window, then the paint.
TEST_F(MessageLoop, TheBackEndIsAskedForInputOnceAMomentNotOnceAMessage) {
    HWND window = PaintedWindow();
    SetTimer(window, 1, 50, nullptr);
    const int looksBefore = backend.InputLooks();
    backend.At(1000, [] { PostQuitMessage(0); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER) {
            InvalidateRect(window, nullptr, FALSE);
        }
        DispatchMessageW(&msg);
    }
    // Ticks at 50 ... 950; the quit at 1000 comes before that tick.
    EXPECT_EQ(SeenOf(WM_PAINT).size(), 20u) << "the first paint and one for each of 19 ticks";
    EXPECT_LE(backend.InputLooks() - looksBefore, 20) << "the wait of each tick, and no more";
}

TEST_F(MessageLoop, TheFirstScreenIsShownBeforeInputIsLookedFor) {
    HWND window = MakeWindow();
    UpdateWindow(window);
    // A press already waiting, as the program starts: the painted screen goes out first.
    backend.PointerDown(10, 10);
    MSG msg;
    do {
        ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
        DispatchMessageW(&msg);
    } while (msg.message != WM_LBUTTONDOWN);
    EXPECT_EQ(backend.Presents(), 1);
    EXPECT_EQ(backend.Now(), 0u) << "and the press in the same moment";

    // From then on the loop looks for input before it shows what was drawn.
    backend.Advance(1);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    backend.KeyDown('A');
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(backend.Presents(), 1);
}

// Bad arguments fail at once; a wait for what can never arrive, and a loop that runs past the
// time limit, are stopped.
TEST_F(MessageLoop, BadArgumentsFailWithoutWaitingAndAWaitForeverOrPastTheTimeLimitIsStopped) {
    MSG msg;
    EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(GetMessageW(&msg, reinterpret_cast<HWND>(0x1234), 0, 0), -1);
    EXPECT_EQ(PostMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x1234), WM_USER, 0, 0), 0);
    EXPECT_EQ(std::pair(backend.BlockingWaits(), backend.InputLooks()), std::pair(0, 0));
    HWND window = PaintedWindow();
    EXPECT_THROW(GetMessageW(&msg, nullptr, 0, 0), platform::HeadlessStall);
    SetTimer(window, 1, 50, nullptr);
    backend.SetTimeLimit(100);  // a tick due at the limit still comes
    EXPECT_THROW(
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) { DispatchMessageW(&msg); },
        platform::HeadlessStall);
    EXPECT_EQ(backend.Now(), 100u);
    EXPECT_EQ(SeenOf(WM_TIMER).size(), 2u);
    EXPECT_THROW(platform::HeadlessBackend({0, 1}), std::invalid_argument) << "no screen";
    EXPECT_NO_THROW(platform::HeadlessBackend({1, 1}));
}

// What the default procedure answers a program that sends it a message and reads the result.
TEST_F(MessageLoop, TheDefaultProcedureAnswersPaintAndEraseAndCloseDestroysTheWindow) {
    // A default close destroys the window.
    HWND painted = PaintedWindow();
    SetTimer(painted, 1, 50, nullptr);
    PostMessageW(painted, WM_USER, 0, 0);
    Log().clear();
    EXPECT_EQ(SendMessageW(painted, WM_CLOSE, 0, 0), 0) << "a close handled answers 0";
    EXPECT_FALSE(IsWindow(painted));
    ASSERT_EQ(Log().size(), 3u);
    EXPECT_EQ(std::pair(Log()[1].message, Log()[2].message), std::pair(WM_DESTROY, WM_NCDESTROY));
    for (const Seen& s : {Log()[1], Log()[2]}) {
        EXPECT_EQ(std::pair(s.wParam, s.lParam), (std::pair<WPARAM, LPARAM>(0, 0))) << s.message;
    }
    // Its queued message and its timer went with it.
    backend.Advance(100);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    HBRUSH black = RegisterFilledClass(u"Black", RGB(0, 0, 0));
    HWND window = CreateWindowExW(WS_EX_CAPTIONOKBTN, u"Black", u"Black", WS_VISIBLE | WS_CAPTION,
                                  0, 0, 240, 320, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(DefWindowProcW(window, WM_PAINT, 0, 0), 0);
    EXPECT_EQ(PumpUntilIdle(), 0) << "the default paint leaves nothing to paint";
    EXPECT_EQ(platform::detail::Desktop::Current()->Find(window)->paintsOpen, 0) << "and ends";

    // Erasing fills the client area with the class's brush and says so; a context that is none,
    // a class without a brush or a window that is none erases nothing.
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, CreateCompatibleBitmap(memory, 240, 320));
    SetPixel(memory, 239, 293, RGB(255, 255, 255));
    SetPixel(memory, 239, 294, RGB(255, 255, 255));
    EXPECT_EQ(SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0), 1);
    // The client area's last pixel, and nothing below it.
    EXPECT_EQ(std::pair(GetPixel(memory, 239, 293), GetPixel(memory, 239, 294)),
              std::pair(RGB(0, 0, 0), RGB(255, 255, 255)));
    const auto dc = reinterpret_cast<WPARAM>(memory);
    EXPECT_EQ((std::array{SendMessageW(window, WM_ERASEBKGND, 0x1234, 0),
                          SendMessageW(MakeWindow(), WM_ERASEBKGND, dc, 0),
                          DefWindowProcW(reinterpret_cast<HWND>(0x1234), WM_ERASEBKGND, dc, 0)}),
              (std::array<LRESULT, 3>{}));
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    DestroyWindow(window);
    DeleteObject(black);
}

LRESULT CountDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) {
        return wParam == 0 ? 100 : SendMessageW(window, WM_USER, wParam - 1, 0) + 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(MessageLoop, SendMessageRunsTheProcedureAtOnceAndReenters) {
    const WNDCLASSW wc = ClassOf(u"CountDown", CountDown);
    ASSERT_NE(RegisterClassW(&wc), 0);
    EXPECT_EQ(RegisterClassW(&wc), 0) << "a class name registers once";
    HWND window =
        CreateWindowExW(0, u"countdown", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_USER, 3, 0), 103);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE));
}

TEST_F(MessageLoop, InvalidationsMergeIntoOnePaintAndEraseOnlyWhenAsked) {
    HWND window = PaintedWindow();
    Log().clear();
    const RECT left{0, 0, 10, 10};
    const RECT right{100, 100, 120, 130};
    InvalidateRect(window, &left, FALSE);
    InvalidateRect(window, &right, FALSE);
    EXPECT_EQ(PumpUntilIdle(), 1);
    ASSERT_EQ(SeenOf(WM_PAINT).size(), 1u);
    EXPECT_EQ(SeenOf(WM_PAINT)[0].wParam, 0u);
    EXPECT_TRUE(SeenOf(WM_ERASEBKGND).empty());
    InvalidateRect(window, nullptr, TRUE);
    PumpUntilIdle();
    ASSERT_EQ(SeenOf(WM_ERASEBKGND).size(), 1u);
    EXPECT_EQ(SeenOf(WM_ERASEBKGND)[0].lParam, 0);
    // Validating exactly what is invalid leaves nothing to paint.
    InvalidateRect(window, &right, FALSE);
    ValidateRect(window, &right);
    EXPECT_EQ(PumpUntilIdle(), 0);
}

LRESULT WhiteThenRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        // Grows during the paint, as the game's first paint does when it goes full screen.
        MoveWindow(window, 0, 0, 240, 320, FALSE);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT top{0, 0, client.right, 20};
        FillRect(dc, &top, red);
        DeleteObject(red);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(MessageLoop, PaintErasesWithTheClassBrushAndSurvivesAResizeDuringThePaint) {
    const WNDCLASSW wc =
        ClassOf(u"WhiteThenRed", WhiteThenRed, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND window = CreateWindowExW(0, u"WhiteThenRed", u"", WS_VISIBLE, 0, 0, 240, 294, nullptr,
                                  nullptr, nullptr, nullptr);
    UpdateWindow(window);
    platform::SurfacePtr screen = platform::CaptureScreen();
    // The strip uncovered by the resize was never painted.
    EXPECT_EQ((std::array{PixelAt(screen.get(), 5, 5), PixelAt(screen.get(), 5, 200),
                          PixelAt(screen.get(), 5, 310)}),
              (std::array{RGB(255, 0, 0), RGB(255, 255, 255), RGB(0, 0, 0)}));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 320);
}

TEST_F(MessageLoop, WindowAndClassLongsReadTheStylesIdentifierAndExtraByteCounts) {
    WNDCLASSW wc = ClassOf(u"Extra", RecordingProc);
    wc.style = CS_HREDRAW;
    wc.cbClsExtra = 6;
    wc.cbWndExtra = 4;
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND window = CreateWindowExW(WS_EX_CAPTIONOKBTN, u"Extra", u"Extra", WS_VISIBLE, 0, 0, 50, 50,
                                  nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"Extra", u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window,
                                 reinterpret_cast<HMENU>(42), nullptr, nullptr);
    EXPECT_EQ((std::array{static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)),
                          static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)),
                          static_cast<DWORD>(GetWindowLongW(child, GWL_ID))}),
              (std::array<DWORD, 3>{WS_VISIBLE, WS_EX_CAPTIONOKBTN, 42}));
    EXPECT_EQ((std::array{GetClassLongW(window, GCL_STYLE), GetClassLongW(child, GCL_CBCLSEXTRA),
                          GetClassLongW(child, GCL_CBWNDEXTRA)}),
              (std::array<DWORD, 3>{CS_HREDRAW, 6, 4}));
    // Unknown windows read as 0.
    DestroyWindow(window);
    EXPECT_EQ(std::pair(GetWindowLongW(window, GWL_STYLE), GetClassLongW(window, GCL_STYLE)),
              (std::pair<LONG, DWORD>(0, 0)));
}

}  // namespace
}  // namespace window_test
