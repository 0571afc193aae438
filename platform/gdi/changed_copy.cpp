#include "platform/gdi/changed_copy.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// Words compared at a time while looking for the first and last difference: a block compare
// runs at the speed of memory, a word at a time several times slower.
constexpr int kBlock = 16;

}  // namespace

ChangedSpan CopyChanged(const std::uint32_t* from, std::uint32_t* to, int words) {
    if (words <= 0 || std::memcmp(from, to, static_cast<std::size_t>(words) * 4) == 0) {
        return {};
    }
    ChangedSpan span{0, words};
    while (span.begin + kBlock <= words &&
           std::memcmp(from + span.begin, to + span.begin, kBlock * 4) == 0) {
        span.begin += kBlock;
    }
    while (from[span.begin] == to[span.begin]) {
        ++span.begin;
    }
    while (span.end - kBlock > span.begin &&
           std::memcmp(from + span.end - kBlock, to + span.end - kBlock, kBlock * 4) == 0) {
        span.end -= kBlock;
    }
    while (from[span.end - 1] == to[span.end - 1]) {
        --span.end;
    }
    std::memcpy(to + span.begin, from + span.begin,
                static_cast<std::size_t>(span.end - span.begin) * 4);
    return span;
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
