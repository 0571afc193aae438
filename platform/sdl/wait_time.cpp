#include "platform/sdl/wait_time.h"

#include <climits>
#include <limits>

namespace platform::sdl {

std::optional<int> WaitTimeoutMs(std::uint64_t nowMicros, std::uint64_t deadlineMillis) {
    constexpr std::uint64_t kFarAway = std::numeric_limits<std::uint64_t>::max() / 1000;
    if (deadlineMillis > kFarAway) {
        return INT_MAX;
    }
    const std::uint64_t deadlineMicros = deadlineMillis * 1000;
    if (nowMicros >= deadlineMicros) {
        return std::nullopt;
    }
    const std::uint64_t leftMillis = (deadlineMicros - nowMicros + 999) / 1000;
    return leftMillis > INT_MAX ? INT_MAX : static_cast<int>(leftMillis);
}

std::uint64_t TicksToMicros(std::uint64_t ticks, std::uint64_t frequency) {
    if (frequency == 0) {
        return 0;
    }
    // Whole seconds and the rest apart: ticks * 1000000 overflows after a few months at a
    // nanosecond counter.
    return ticks / frequency * 1'000'000 + ticks % frequency * 1'000'000 / frequency;
}

}  // namespace platform::sdl
