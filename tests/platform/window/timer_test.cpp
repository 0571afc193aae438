// Timers: thread timers numbered by the platform and called back, window timers by their own
// number. The timer table's scheduling (periods, a late tick, a killed or destroyed window's
// timers) is left to the message loop's tests and the game timer's, which catch every fault of
// it these tests caught.
#include "window_test_support.h"

namespace window_test {
namespace {

using Timers = Desktop;

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

TEST_F(Timers, ThreadTimerNumbersRunFromOneTo0x7FFFAndRoundAgainAndAWindowTimerMayBeZero) {
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
    // A window timer numbered zero succeeds when set and set again.
    HWND window = MakeWindow();
    EXPECT_NE(SetTimer(window, 0, 50, nullptr), 0u);
    EXPECT_NE(SetTimer(window, 0, 80, nullptr), 0u);
    EXPECT_TRUE(KillTimer(window, 0));
}

}  // namespace
}  // namespace window_test
