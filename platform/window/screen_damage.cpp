#include "platform/window/screen_damage.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

namespace platform {
namespace {

// Words compared at a time while looking for the first and last difference of a row: a block
// compare runs at the speed of memory, a word at a time several times slower.
constexpr int kBlock = 16;

bool SameBlock(const std::uint32_t* a, const std::uint32_t* b) {
    std::uint64_t x[kBlock / 2];
    std::uint64_t y[kBlock / 2];
    std::memcpy(x, a, sizeof x);
    std::memcpy(y, b, sizeof y);
    std::uint64_t differ = 0;
    for (int i = 0; i < kBlock / 2; ++i) {
        differ |= x[i] ^ y[i];
    }
    return differ == 0;
}

// Makes the `words` pixels of `to` equal to `from`'s, writing only from the first that differs
// to the last; returns those columns, begin == end when the rows were equal already.
std::pair<int, int> CopyRowChanges(const std::uint32_t* from, std::uint32_t* to, int words) {
    // One pass over a row that did not change; from both ends over one that did.
    int begin = 0;
    while (begin + kBlock <= words && SameBlock(from + begin, to + begin)) {
        begin += kBlock;
    }
    while (begin < words && from[begin] == to[begin]) {
        ++begin;
    }
    if (begin >= words) {
        return {0, 0};
    }
    int end = words;
    while (end - kBlock > begin && SameBlock(from + end - kBlock, to + end - kBlock)) {
        end -= kBlock;
    }
    while (from[end - 1] == to[end - 1]) {
        --end;
    }
    std::memcpy(to + begin, from + begin, static_cast<std::size_t>(end - begin) * 4);
    return {begin, end};
}

}  // namespace

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

ScreenDamage CopyChangedRows(ConstPixelRows from, PixelRows to) {
    const int width = std::min(from.width, to.width);
    const int height = std::min(from.height, to.height);
    ScreenDamage changed(to.width, to.height);
    for (int y = 0; y < height; ++y) {
        const auto [begin, end] = CopyRowChanges(from.Row(y), to.Row(y), width);
        changed.Add(y, begin, end);
    }
    return changed;
}

}  // namespace platform
