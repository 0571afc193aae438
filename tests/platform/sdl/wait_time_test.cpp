#include "platform/sdl/wait_time.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace platform::sdl {
namespace {

// The time left rounded up to whole milliseconds (a fraction is one, never zero), a deadline
// already due polling only, and far deadlines capped rather than wrapped.
TEST(WaitTimeoutMs, RoundsUpPollsWhenDueAndCapsFarDeadlines) {
    EXPECT_EQ(WaitTimeoutMs(100'000, 150), 50);
    EXPECT_EQ(WaitTimeoutMs(100'999, 150), 50);
    EXPECT_EQ(WaitTimeoutMs(101'000, 150), 49);
    EXPECT_EQ(WaitTimeoutMs(149'999, 150), 1);
    EXPECT_FALSE(WaitTimeoutMs(150'000, 150).has_value());
    EXPECT_FALSE(WaitTimeoutMs(9'000'000, 0).has_value());
    EXPECT_EQ(WaitTimeoutMs(0, UINT64_MAX), INT_MAX);
    EXPECT_EQ(WaitTimeoutMs(0, std::uint64_t{INT_MAX} + 10), INT_MAX);
}

TEST(TicksToMicros, ConvertsExactlyWithoutOverflow) {
    EXPECT_EQ(TicksToMicros(1'500'000'000, 1'000'000'000), 1'500'000u);
    EXPECT_EQ(TicksToMicros(3, 1000), 3000u);
    // A year of a nanosecond counter: ticks * 1000000 alone would overflow.
    const std::uint64_t year = 365ull * 24 * 3600;
    EXPECT_EQ(TicksToMicros(year * 1'000'000'000 + 999, 1'000'000'000), year * 1'000'000);
    EXPECT_EQ(TicksToMicros(5, 0), 0u);
}

}  // namespace
}  // namespace platform::sdl
