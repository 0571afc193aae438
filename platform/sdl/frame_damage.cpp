#include "platform/sdl/frame_damage.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {
namespace {

const std::uint32_t* Row(const std::uint32_t* pixels, int stride, int y) {
    return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(pixels) +
                                                  static_cast<std::ptrdiff_t>(stride) * y);
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    const int right = std::max(a.x + a.width, b.x + b.width);
    const int bottom = std::max(a.y + a.height, b.y + b.height);
    return {left, top, right - left, bottom - top};
}

}  // namespace

std::vector<PixelRect> FindChangedBands(const FramePair& frames) {
    std::vector<PixelRect> bands;
    if (frames.previous == nullptr || frames.current == nullptr || frames.width <= 0 ||
        frames.height <= 0 || frames.stride < frames.width * 4) {
        return bands;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(frames.width) * 4;
    for (int y = 0; y < frames.height; ++y) {
        const std::uint32_t* before = Row(frames.previous, frames.stride, y);
        const std::uint32_t* after = Row(frames.current, frames.stride, y);
        // Most rows are the same: one comparison of the whole row says so quickly.
        if (std::memcmp(before, after, rowBytes) == 0) {
            continue;
        }
        int left = 0;
        while (before[left] == after[left]) {
            ++left;
        }
        int right = frames.width;
        while (before[right - 1] == after[right - 1]) {
            --right;
        }
        const PixelRect row{left, y, right - left, 1};
        if (!bands.empty() && y - (bands.back().y + bands.back().height) < kJoinGap) {
            bands.back() = Union(bands.back(), row);
        } else {
            bands.push_back(row);
        }
    }
    if (bands.size() > kMaxBands) {
        PixelRect all = bands.front();
        for (const PixelRect& band : bands) {
            all = Union(all, band);
        }
        bands.assign(1, all);
    }
    return bands;
}

}  // namespace platform::sdl
