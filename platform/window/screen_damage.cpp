#include "platform/window/screen_damage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Words compared at a time while looking for the first and last difference of a changed row.
constexpr int kBlock = 16;

bool SameWords(const std::uint32_t* a, const std::uint32_t* b, int words) {
#ifdef __EMSCRIPTEN__
    return SameWordsInBlocks(a, b, words);
#else
    // Elsewhere the C library's compare runs at the speed of memory.
    return std::memcmp(a, b, static_cast<std::size_t>(words) * 4) == 0;
#endif
}

}  // namespace

bool SameWordsInBlocks(const std::uint32_t* a, const std::uint32_t* b, int words) {
    // A block's differences are gathered without a branch per word, two words to a load.
    const auto pair = [](const std::uint32_t* at) {
        std::uint64_t both;
        std::memcpy(&both, at, sizeof both);
        return both;
    };
    int i = 0;
    for (; i + kBlock <= words; i += kBlock) {
        std::uint64_t differ = 0;
        for (int k = 0; k < kBlock; k += 2) {
            differ |= pair(a + i + k) ^ pair(b + i + k);
        }
        if (differ != 0) {
            return false;
        }
    }
    std::uint32_t differ = 0;
    for (; i < words; ++i) {
        differ |= a[i] ^ b[i];
    }
    return differ == 0;
}

std::pair<int, int> CopyChangedWords(const std::uint32_t* from, std::uint32_t* to, int words) {
    // Most rows of a frame did not change: one compare of the whole row says so.
    if (words <= 0 || SameWords(from, to, words)) {
        return {0, 0};
    }
    int begin = 0;
    while (begin + kBlock <= words && SameWords(from + begin, to + begin, kBlock)) {
        begin += kBlock;
    }
    while (from[begin] == to[begin]) {
        ++begin;
    }
    int end = words;
    while (end - kBlock > begin && SameWords(from + end - kBlock, to + end - kBlock, kBlock)) {
        end -= kBlock;
    }
    while (from[end - 1] == to[end - 1]) {
        --end;
    }
    std::memcpy(to + begin, from + begin, static_cast<std::size_t>(end - begin) * 4);
    return {begin, end};
}

std::pair<int, int> FillChangedWords(std::uint32_t* to, int words, std::uint32_t pixel) {
    int begin = 0;
    int end = std::max(words, 0);
    while (begin < end && to[begin] == pixel) {
        ++begin;
    }
    while (end > begin && to[end - 1] == pixel) {
        --end;
    }
    std::fill(to + begin, to + end, pixel);
    return {begin, end};
}

ScreenDamage::ScreenDamage(int width, int height)
    : width_(std::max(width, 0)),
      rows_(static_cast<std::size_t>(std::max(height, 0)), {INT_MAX, 0}) {}

void ScreenDamage::Add(int y, int left, int right) {
    left = std::max(left, 0);
    right = std::min(right, width_);
    if (y < 0 || y >= static_cast<int>(rows_.size()) || left >= right) {
        return;
    }
    Span& row = rows_[static_cast<std::size_t>(y)];
    row.left = std::min(row.left, left);
    row.right = std::max(row.right, right);
    empty_ = false;
}

void ScreenDamage::Add(const RECT& rect) {
    const int top = std::max<int>(rect.top, 0);
    const int bottom = std::min<int>(rect.bottom, static_cast<int>(rows_.size()));
    for (int y = top; y < bottom; ++y) {
        Add(y, rect.left, rect.right);
    }
}

std::vector<RECT> ScreenDamage::Bands() const {
    std::vector<RECT> bands;
    if (empty_) {
        return bands;
    }
    for (int y = 0; y < static_cast<int>(rows_.size()); ++y) {
        const Span& row = rows_[static_cast<std::size_t>(y)];
        if (row.left >= row.right) {
            continue;
        }
        if (!bands.empty() && y - bands.back().bottom < kJoinGap) {
            RECT& band = bands.back();
            band.left = std::min<LONG>(band.left, row.left);
            band.right = std::max<LONG>(band.right, row.right);
            band.bottom = y + 1;
        } else {
            bands.push_back({row.left, y, row.right, y + 1});
        }
    }
    if (bands.size() > kMaxBands) {
        RECT all = bands.front();
        for (const RECT& band : bands) {
            all.left = std::min(all.left, band.left);
            all.right = std::max(all.right, band.right);
        }
        all.bottom = bands.back().bottom;
        bands.assign(1, all);
    }
    return bands;
}

}  // namespace platform
