#include "platform/web/canvas_pixels.h"

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
            rgba[0] = static_cast<std::uint8_t>(pixel >> 16);
            rgba[1] = static_cast<std::uint8_t>(pixel >> 8);
            rgba[2] = static_cast<std::uint8_t>(pixel);
            rgba[3] = 0xff;
            rgba += 4;
        }
    }
}

}  // namespace platform
