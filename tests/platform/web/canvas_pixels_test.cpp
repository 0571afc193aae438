#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/web/canvas_pixels.h"

// Two rows of two pixels, each row padded to 12 bytes as an image's stride may be; the padding
// must not reach the canvas.
TEST(CanvasPixels, RgbWordsBecomeOpaqueCanvasBytesRowByRow) {
    const std::uint32_t words[2][3] = {{0x00ff8040, 0x00010203, 0xdeadbeef},
                                       {0x7f000000, 0x0000ff00, 0xdeadbeef}};
    std::uint8_t rgb[sizeof words];
    std::memcpy(rgb, words, sizeof words);
    std::vector<std::uint8_t> rgba(2 * 2 * 4, 0x55);

    platform::RgbToCanvasBytes(rgb, 12, 2, 2, rgba.data());

    const std::vector<std::uint8_t> expected = {
        0xff, 0x80, 0x40, 0xff, 0x01, 0x02, 0x03, 0xff,  // the unused top byte is not alpha
        0x00, 0x00, 0x00, 0xff, 0x00, 0xff, 0x00, 0xff,
    };
    EXPECT_EQ(rgba, expected);
}
