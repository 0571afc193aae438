// What changed between two frames of the device screen, as a few rectangles: a game frame moves
// a disc or two and the ball, so sending only those parts to the display saves almost all of
// the copying a whole frame costs, the more so when the window scales it up.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/sdl/letterbox.h"

namespace platform::sdl {

// Two frames of `width` x `height` 32-bit pixels, `stride` bytes from one row to the next.
struct FramePair {
    const std::uint32_t* previous = nullptr;
    const std::uint32_t* current = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// The changed pixels, covered by rectangles that do not overlap: runs of changed rows (each as
// wide as its changes reach), joined across gaps of fewer than `kJoinGap` unchanged rows, since
// every rectangle sent costs a request of its own. Empty when nothing changed.
std::vector<PixelRect> FindChangedBands(const FramePair& frames);

inline constexpr int kJoinGap = 8;
// More rectangles than this are sent as the one that covers them all.
inline constexpr std::size_t kMaxBands = 8;

}  // namespace platform::sdl
