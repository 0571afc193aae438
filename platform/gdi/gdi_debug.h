// Inspection of the drawing layer for tests and diagnostics: how many objects are alive, and which
// installed face a font was matched to.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32_types.h"

namespace platform {

// Live objects made by the program; stock objects are never counted.
struct GdiObjectCounts {
    std::size_t deviceContexts = 0;
    std::size_t bitmaps = 0;
    std::size_t brushes = 0;
    std::size_t pens = 0;
    std::size_t fonts = 0;

    friend bool operator==(const GdiObjectCounts&, const GdiObjectCounts&) = default;
};

GdiObjectCounts LiveGdiObjects();
// Objects made so far, stock ones included: the difference of two readings is what was made
// between them, whether or not it was released since.
GdiObjectCounts MadeGdiObjects();

// Blocks from LocalAlloc not yet freed.
std::size_t LiveLocalBlocks();

// What a font resolved to.
struct FontDescription {
    std::string family;  // the matched face's family, e.g. "DejaVu Sans"
    std::string style;   // e.g. "ExtraLight"
    std::string file;
    double weight = 0;      // the matched face's weight on the platform's 0..1000 scale
    int cellHeight = 0;     // pixels
    double emSize = 0;      // pixels
    double digitWidth = 0;  // advance of "0" in pixels, after the lfWidth scaling
};

// False for a stale or non-font handle.
bool DescribeFont(HFONT font, FontDescription* description);

}  // namespace platform
