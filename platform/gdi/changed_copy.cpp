#include "platform/gdi/changed_copy.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Words compared at a time while looking for the first and last difference: a block compare
// runs at the speed of memory, a word at a time several times slower.
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

}  // namespace

ChangedSpan CopyChanged(const std::uint32_t* from, std::uint32_t* to, int words) {
    // One pass over a row that did not change; from both ends over one that did.
    int begin = 0;
    while (begin + kBlock <= words && SameBlock(from + begin, to + begin)) {
        begin += kBlock;
    }
    while (begin < words && from[begin] == to[begin]) {
        ++begin;
    }
    if (begin >= words) {
        return {};
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

ChangedSpan FillChanged(std::uint32_t* row, int words, std::uint32_t pixel) {
    ChangedSpan span{0, std::max(words, 0)};
    while (span.begin < span.end && row[span.begin] == pixel) {
        ++span.begin;
    }
    while (span.end > span.begin && row[span.end - 1] == pixel) {
        --span.end;
    }
    std::fill(row + span.begin, row + span.end, pixel);
    return span;
}

}  // namespace platform
