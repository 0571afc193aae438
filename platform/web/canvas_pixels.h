// The composed screen as a canvas takes it. Plain arithmetic, tested without a browser.
#pragma once

#include <cstdint>

namespace platform {

// Converts rows of CAIRO_FORMAT_RGB24 pixels (native-endian 0x00RRGGBB words, `stride` bytes a
// row) into a canvas's R, G, B, A bytes, opaque. `rgba` holds width * height * 4 bytes; it may be
// `rgb` itself when the rows lie back to back (stride width * 4), and the pixels change in place.
void RgbToCanvasBytes(const std::uint8_t* rgb, int stride, int width, int height,
                      std::uint8_t* rgba);

}  // namespace platform
