#include "platform/web/canvas_pixels.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace platform {

void RgbToCanvasBytes(const std::uint8_t* rgb, int stride, int width, int height,
                      std::uint8_t* rgba) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, row + static_cast<std::size_t>(x) * 4, sizeof pixel);
            if constexpr (std::endian::native == std::endian::little) {
                // A word at a time: red and blue change places, alpha goes on top.
                const std::uint32_t out = ((pixel >> 16) & 0xffu) | (pixel & 0xff00u) |
                                          ((pixel & 0xffu) << 16) | 0xff000000u;
                std::memcpy(rgba, &out, sizeof out);
            } else {
                rgba[0] = static_cast<std::uint8_t>(pixel >> 16);
                rgba[1] = static_cast<std::uint8_t>(pixel >> 8);
                rgba[2] = static_cast<std::uint8_t>(pixel);
                rgba[3] = 0xff;
            }
            rgba += 4;
        }
    }
}

}  // namespace platform
