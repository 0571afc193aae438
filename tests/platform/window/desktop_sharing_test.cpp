// Desktops shared between processes: publishing windows, finding and bringing forward the windows
// of another process, against a listener of the test's own (the end-to-end test starts the game
// twice for real).
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/window/headless_backend.h"
#include "platform/window/window_endpoint.h"
#include "platform/window/window_system.h"
#include "platform/window/winuser.h"

namespace {

using namespace std::chrono_literals;
using platform::detail::EndpointListener;
using platform::detail::EndpointListening;
using platform::detail::EndpointName;
using platform::detail::RequestFront;

std::string UniqueDesktop() {
    static int counter = 0;
    return "sharing test " + std::to_string(getpid()) + "." + std::to_string(counter++);
}

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Dispatches every message that is ready now.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

class SharedDesktop : public testing::Test {
  protected:
    SharedDesktop() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = u"Plain";
        RegisterClassW(&wc);
    }

    HWND MakeWindow(LPCWSTR title, HWND owner = nullptr) {
        return CreateWindowExW(0, u"Plain", title, WS_VISIBLE, 0, 0, 240, 320, owner, nullptr,
                               nullptr, nullptr);
    }
    std::string NameOf(std::u16string_view className, std::u16string_view title) const {
        return EndpointName(desktop, geteuid(), className, title);
    }
    // Runs the loop until a quit posted at `quitAt`; returns how many times it slept and ticks.
    std::pair<int, int> RunLoopUntil(platform::Millis quitAt) {
        const int waitsBefore = backend.BlockingWaits();
        backend.At(quitAt, [] { PostQuitMessage(0); });
        backend.SetTimeLimit(2000);
        int ticks = 0;
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            ticks += msg.message == WM_TIMER ? 1 : 0;
            DispatchMessageW(&msg);
        }
        return {backend.BlockingWaits() - waitsBefore, ticks};
    }

    const std::string desktop = UniqueDesktop();
    platform::HeadlessBackend backend;
    platform::WindowSystem windows{backend, desktop};
};

TEST_F(SharedDesktop, AWindowWithATitleIsPublishedWhileItLives) {
    HWND main = MakeWindow(u"Main");
    EXPECT_TRUE(EndpointListening(NameOf(u"plain", u"Main")));
    MakeWindow(u"");
    EXPECT_FALSE(EndpointListening(NameOf(u"Plain", u""))) << "an untitled window is not found";
    DestroyWindow(main);
    EXPECT_FALSE(EndpointListening(NameOf(u"Plain", u"Main")));
}

TEST_F(SharedDesktop, FindWindowLooksElsewhereForAClassAndTitleNotHere) {
    std::unique_ptr<EndpointListener> remote =
        EndpointListener::Listen(NameOf(u"REMOTE", u"Remote"), nullptr);
    ASSERT_TRUE(remote);
    const HWND proxy = FindWindowW(u"REMOTE", u"Remote");
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(proxy) & 3, 2u) << "never one of this process's";
    EXPECT_EQ(FindWindowW(u"remote", u"Remote"), proxy) << "the same window, the same proxy";
    EXPECT_FALSE(IsWindow(proxy));
    EXPECT_EQ(FindWindowW(u"REMOTE", nullptr), nullptr) << "both class and title are needed";
    EXPECT_EQ(FindWindowW(nullptr, u"Remote"), nullptr);
    EXPECT_EQ(FindWindowW(u"REMOTE", u"remote"), nullptr) << "titles match exactly";
    const auto untitled = EndpointListener::Listen(NameOf(u"REMOTE", u""), nullptr);
    EXPECT_EQ(FindWindowW(u"REMOTE", u""), nullptr) << "nor is an empty title looked for";

    // Bringing the proxy forward asks the process behind it, once.
    std::atomic<int> requests{0};
    std::atomic<bool> stop{false};
    std::thread serving([&] {
        while (!stop) {
            remote->Serve([&] { return ++requests > 0; });
            std::this_thread::sleep_for(1ms);
        }
    });
    const auto flagged = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(proxy) | 1);
    EXPECT_TRUE(SetForegroundWindow(flagged));
    stop = true;
    serving.join();
    EXPECT_EQ(requests, 1);

    remote.reset();
    EXPECT_EQ(FindWindowW(u"REMOTE", u"Remote"), nullptr);
    EXPECT_FALSE(SetForegroundWindow(flagged)) << "the window behind the proxy is gone";
}

// Another process asks, and the loop answers between messages: the window comes forward, and the
// back end is asked to raise the screen over the other programs.
TEST_F(SharedDesktop, AFrontRequestFromElsewhereBringsTheWindowForwardAndRaisesTheScreen) {
    HWND main = MakeWindow(u"Main");
    MakeWindow(u"Cover");
    std::atomic<bool> answered{false};
    std::thread asking([&] { answered = RequestFront(NameOf(u"Plain", u"Main"), 10s); });
    for (int tries = 0; !answered && tries < 10000; ++tries) {
        std::this_thread::sleep_for(1ms);
        backend.Advance(50);
        Pump();
    }
    asking.join();
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(backend.Raises(), 1);
}

TEST_F(SharedDesktop, TheLoopOfAPublishedWindowNeverSleepsLongerThan50Ms) {
    MakeWindow(u"Main");
    Pump();
    EXPECT_GE(RunLoopUntil(1020).first, 21) << "a wait of 1020 ms in 50 ms steps";
    EXPECT_EQ(backend.Now(), 1020u);
}

TEST_F(SharedDesktop, ATimerOutOfStepWithTheSocketLooksCostsOneWakeATick) {
    HWND window = MakeWindow(u"Main");
    Pump();
    // The sockets were looked at on 0, 50, 100 ...; the timer ticks on 75, 125 ... 975 (the
    // quit at 1025 comes before that tick).
    backend.Advance(25);
    SetTimer(window, 1, 50, nullptr);
    const auto [waits, ticks] = RunLoopUntil(1025);
    EXPECT_EQ(ticks, 19);
    EXPECT_LE(waits, 20) << "not a wake for the sockets between";
}

}  // namespace
