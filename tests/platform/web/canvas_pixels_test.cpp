#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/web/canvas_pixels.h"

// Pixels go two at a time: an odd width leaves one at the end of each row, which must come out
// the same as the others, while the row's padding (a stride wider than the row) stays out, the
// unused top byte is not taken for alpha, and nothing is written past the last row.
TEST(CanvasPixels, OddWidthsConvertTheLastPixelOfEachRow) {
    const std::uint32_t words[2][4] = {{0x00102030, 0xff405060, 0x00708090, 0xdeadbeef},
                                       {0x00a0b0c0, 0x00d0e0f0, 0x80000001, 0xdeadbeef}};
    std::uint8_t rgb[sizeof words];
    std::memcpy(rgb, words, sizeof words);
    std::vector<std::uint8_t> rgba(3 * 2 * 4 + 4, 0x55);

    platform::RgbToCanvasBytes(rgb, 16, 3, 2, rgba.data());

    const std::vector<std::uint8_t> expected = {
        0x10, 0x20, 0x30, 0xff, 0x40, 0x50, 0x60, 0xff, 0x70, 0x80, 0x90, 0xff,  // pair, last
        0xa0, 0xb0, 0xc0, 0xff, 0xd0, 0xe0, 0xf0, 0xff, 0x00, 0x00, 0x01, 0xff,  // pair, last
        0x55, 0x55, 0x55, 0x55,
    };
    EXPECT_EQ(rgba, expected);
}

// The web back end composes over the canvas's own bytes and converts them where they lie.
TEST(CanvasPixels, RowsBackToBackConvertInPlace) {
    const std::uint32_t words[2][3] = {{0x00ff8040, 0x00010203, 0xff0a0b0c},
                                       {0x7f000000, 0x0000ff00, 0x00332211}};
    std::vector<std::uint8_t> pixels(sizeof words);
    std::memcpy(pixels.data(), words, sizeof words);

    platform::RgbToCanvasBytes(pixels.data(), 12, 3, 2, pixels.data());

    const std::vector<std::uint8_t> expected = {
        0xff, 0x80, 0x40, 0xff, 0x01, 0x02, 0x03, 0xff, 0x0a, 0x0b, 0x0c, 0xff,  // first row
        0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff, 0x33, 0x22, 0x11, 0xff,  // second row
    };
    EXPECT_EQ(pixels, expected);
}
