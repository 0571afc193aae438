#include "platform/web/canvas_pixels.h"

#include <bit>
#include <cstddef>
#include <cstring>

namespace platform {
namespace {

// Red and blue change places, alpha goes on top: one pixel in each 32-bit half of a word.
constexpr std::uint64_t kLowBytes = 0x000000ff000000ffu;
constexpr std::uint64_t kGreen = 0x0000ff000000ff00u;
constexpr std::uint64_t kOpaque = 0xff000000ff000000u;

std::uint64_t SwapRedBlue(std::uint64_t pixels) {
    return ((pixels >> 16) & kLowBytes) | (pixels & kGreen) | ((pixels & kLowBytes) << 16) |
           kOpaque;
}

}  // namespace

void RgbToCanvasBytes(const std::uint8_t* rgb, int stride, int width, int height,
                      std::uint8_t* rgba) {
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = rgb + static_cast<std::size_t>(y) * stride;
        if constexpr (std::endian::native == std::endian::little) {
            // Two pixels a word: a frame is converted many times a second.
            int x = 0;
            for (; x + 1 < width; x += 2) {
                std::uint64_t pair;
                std::memcpy(&pair, row + static_cast<std::size_t>(x) * 4, sizeof pair);
                const std::uint64_t out = SwapRedBlue(pair);
                std::memcpy(rgba, &out, sizeof out);
                rgba += 8;
            }
            if (x < width) {
                std::uint32_t pixel;
                std::memcpy(&pixel, row + static_cast<std::size_t>(x) * 4, sizeof pixel);
                const auto out = static_cast<std::uint32_t>(SwapRedBlue(pixel));
                std::memcpy(rgba, &out, sizeof out);
                rgba += 4;
            }
        } else {
            for (int x = 0; x < width; ++x) {
                std::uint32_t pixel;
                std::memcpy(&pixel, row + static_cast<std::size_t>(x) * 4, sizeof pixel);
                rgba[0] = static_cast<std::uint8_t>(pixel >> 16);
                rgba[1] = static_cast<std::uint8_t>(pixel >> 8);
                rgba[2] = static_cast<std::uint8_t>(pixel);
                rgba[3] = 0xff;
                rgba += 4;
            }
        }
    }
}

}  // namespace platform
