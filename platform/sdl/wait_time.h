// The arithmetic of the loop's sleep: how long to wait in SDL_WaitEventTimeout for a deadline,
// and the clock it is measured on. Pure, so it is tested without a display.
#pragma once

#include <cstdint>
#include <optional>

namespace platform::sdl {

// How long to sleep before `deadline` (whole milliseconds), given the time now in microseconds
// on the same clock: the time left rounded up to whole milliseconds, so the sleep never ends
// before the deadline. Nothing when the deadline is due, and the caller only polls: SDL takes a
// 0 ms timeout as a poll, so a wait rounded down to 0 would spin through the last millisecond
// before each deadline.
std::optional<int> WaitTimeoutMs(std::uint64_t nowMicros, std::uint64_t deadlineMillis);

// A performance-counter reading (`ticks` at `frequency` ticks a second) in microseconds.
std::uint64_t TicksToMicros(std::uint64_t ticks, std::uint64_t frequency);

}  // namespace platform::sdl
