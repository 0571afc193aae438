// Timers: one tick pending at most, no burst after a stall, a steady grid, callbacks.
#include "window_test_support.h"

namespace window_test {
namespace {

using Timers = Desktop;

std::vector<platform::Millis> TickTimes() {
    std::vector<platform::Millis> times;
    for (const Seen& s : SeenOf(WM_TIMER)) {
        times.push_back(s.time);
    }
    return times;
}

TEST_F(Timers, ALateTimerTicksOnceThenWaitsForItsNextSlot) {
    HWND window = MakeWindow();
    PumpUntilIdle();
    ASSERT_EQ(SetTimer(window, 666, 50, nullptr), 666u);
    backend.AdvanceTo(500);  // ten periods without a look at the queue
    PumpUntilIdle();
    EXPECT_EQ(SeenOf(WM_TIMER).size(), 1u) << "a timer is never pending twice";
    RunUntil(549);
    EXPECT_EQ(SeenOf(WM_TIMER).size(), 1u) << "no catching up with a burst";
    RunUntil(550);
    EXPECT_EQ(TickTimes(), (std::vector<platform::Millis>{500, 550}));
}

platform::HeadlessBackend* workClock = nullptr;

LRESULT SlowTicks(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = RecordingProc(window, message, wParam, lParam);
    if (message == WM_TIMER) {
        workClock->Advance(7);  // each tick's work takes 7 ms
    }
    return result;
}

TEST_F(Timers, TicksKeepTheirGridHoweverLongTheWorkTakes) {
    workClock = &backend;
    HWND window = MakeWindowOfClass(u"SlowTicks", SlowTicks);
    SetTimer(window, 1, 50, nullptr);
    RunUntil(5000);
    std::vector<platform::Millis> expected;
    for (platform::Millis t = 50; t <= 5000; t += 50) {
        expected.push_back(t);
    }
    EXPECT_EQ(TickTimes(), expected);
}

TEST_F(Timers, EachTimerTicksOnItsOwnPeriodAndStopsWhenKilled) {
    HWND window = MakeWindow();
    SetTimer(window, 1, 30, nullptr);
    SetTimer(window, 2, 50, nullptr);
    RunUntil(100);
    std::vector<std::pair<WPARAM, platform::Millis>> ticks;
    for (const Seen& s : SeenOf(WM_TIMER)) {
        ticks.emplace_back(s.wParam, s.time);
    }
    EXPECT_EQ(ticks, (std::vector<std::pair<WPARAM, platform::Millis>>{
                         {1, 30}, {2, 50}, {1, 60}, {1, 90}, {2, 100}}));
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    Log().clear();
    RunUntil(200);
    EXPECT_EQ(TickTimes(), (std::vector<platform::Millis>{150, 200}));
}

TEST_F(Timers, SettingATimerAgainRestartsItsPeriod) {
    HWND window = MakeWindow();
    SetTimer(window, 5, 50, nullptr);
    RunUntil(40);
    SetTimer(window, 5, 50, nullptr);
    RunUntil(100);
    EXPECT_EQ(TickTimes(), (std::vector<platform::Millis>{90}));
}

TEST_F(Timers, ADestroyedWindowsTimersStop) {
    HWND window = MakeWindow();
    HWND other = MakeWindow();
    SetTimer(window, 1, 50, nullptr);
    SetTimer(other, 1, 80, nullptr);
    DestroyWindow(window);
    RunUntil(160);
    std::vector<Seen> ticks = SeenOf(WM_TIMER);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].hwnd, other);
    EXPECT_EQ(SetTimer(window, 1, 50, nullptr), 0u) << "no timers for a window that is gone";
}

std::vector<std::pair<UINT_PTR, DWORD>> callbackTicks;

void OnTick(HWND, UINT, UINT_PTR id, DWORD time) {
    callbackTicks.emplace_back(id, time);
}

TEST_F(Timers, AThreadTimerCallsItsCallbackWhenDispatched) {
    callbackTicks.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 40, OnTick);
    ASSERT_NE(id, 0u);
    UINT_PTR second = SetTimer(nullptr, 0, 1000, OnTick);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, id) << "each thread timer gets its own number";
    // A number of the caller's own is not taken: the platform numbers thread timers, and a
    // number it gave resets that timer.
    const UINT_PTR third = SetTimer(nullptr, 777, 1000, OnTick);
    EXPECT_NE(third, 777u);
    EXPECT_NE(third, 0u);
    EXPECT_EQ(SetTimer(nullptr, third, 1000, OnTick), third);
    EXPECT_TRUE(KillTimer(nullptr, third));
    RunUntil(80);
    EXPECT_EQ(callbackTicks, (std::vector<std::pair<UINT_PTR, DWORD>>{{id, 40}, {id, 80}}));
    EXPECT_TRUE(KillTimer(nullptr, id));
}

TEST_F(Timers, ThreadTimerNumbersRunFromOneTo0x7FFFAndRoundAgain) {
    UINT_PTR first = SetTimer(nullptr, 0, 1000, OnTick);
    ASSERT_EQ(first, 1u);
    KillTimer(nullptr, first);
    UINT_PTR last = 0;
    for (int i = 2; i <= 0x7FFF; ++i) {
        last = SetTimer(nullptr, 0, 1000, OnTick);
        KillTimer(nullptr, last);
    }
    EXPECT_EQ(last, 0x7FFFu);
    EXPECT_EQ(SetTimer(nullptr, 0, 1000, OnTick), 1u);
}

TEST_F(Timers, AWindowTimerNumberedZeroSucceedsWhenSetAndSetAgain) {
    HWND window = MakeWindow();
    EXPECT_NE(SetTimer(window, 0, 50, nullptr), 0u);
    EXPECT_NE(SetTimer(window, 0, 80, nullptr), 0u);
    EXPECT_TRUE(KillTimer(window, 0));
}

}  // namespace
}  // namespace window_test
