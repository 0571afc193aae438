// Copying pixels only where they differ. A game frame is mostly what the last one was: reading
// both rows and writing the few words that changed moves far less memory than writing them all,
// and says where the picture changed.
#pragma once

#include <cstdint>

namespace platform {

// The words [begin, end) of a row that were written; begin == end when none.
struct ChangedSpan {
    int begin = 0;
    int end = 0;

    bool Empty() const { return begin >= end; }
};

// Makes `to` equal to `from`, `words` 32-bit pixels, writing only from the first word that
// differs to the last; the rows must not overlap.
ChangedSpan CopyChanged(const std::uint32_t* from, std::uint32_t* to, int words);

// Makes the `words` pixels of `row` all `pixel`, writing only from the first that differs to the
// last.
ChangedSpan FillChanged(std::uint32_t* row, int words, std::uint32_t pixel);

}  // namespace platform
