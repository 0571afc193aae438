// Scaling the device screen into the window's pixels on the CPU, a part at a time.
//
// At a whole factor every device pixel becomes a square of window pixels (nearest neighbour).
// Between two whole factors each device pixel is first a square of the lower factor, and only
// that is stretched the last bit with linear filtering: the pixels stay sharp and even, with a
// soft edge of one or two window pixels where two meet. Below one to one the screen is
// filtered linearly. Only the window pixels a changed part of the screen reaches are written.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display/letterbox.h"
#include "platform/gdi/pixel_rows.h"

namespace platform::sdl {

// Where one window pixel along an axis takes its colour from: `first` device pixel, blended with
// `second` by `weight` / 256 (0: `first` alone).
struct AxisSample {
    int first = 0;
    int second = 0;
    int weight = 0;
};

// The samples of every window pixel along one axis, from `device` pixels to `image` pixels.
// `wholeFactor` is the largest whole factor that fits (0 when the screen shrinks).
std::vector<AxisSample> SampleAxis(int device, int image, int wholeFactor);

class ScreenScaler {
  public:
    // Scales `device`-sized screens into `box.image` of a target.
    ScreenScaler(ScreenSize device, const Letterbox& box);

    // The window pixels (in the target's coordinates) that a change to `changed` device pixels
    // reaches. Empty when it reaches none.
    PixelRect Reach(const PixelRect& changed) const;

    // Writes the window pixels that `changed` reaches from `screen` into `target`, and returns
    // them. `screen` must be device-sized; `target` must hold the letterbox's image.
    PixelRect Scale(const ConstPixelRows& screen, const PixelRect& changed,
                    const PixelRows& target);

    const Letterbox& Box() const { return box_; }

  private:
    // Window pixels [begin, end) along an axis whose samples use device pixels [first, last].
    static void Span(const std::vector<AxisSample>& axis, int first, int last, int& begin,
                     int& end);
    // Scales device row `y` across window columns [begin, end) into `out`.
    void ScaleRow(const ConstPixelRows& screen, int y, int begin, int end,
                  std::uint32_t* out) const;
    // Device row `y` scaled across [begin, end), from the two rows kept for reuse.
    const std::uint32_t* ScaledRow(const ConstPixelRows& screen, int y, int begin, int end);

    ScreenSize device_;
    Letterbox box_;
    std::vector<AxisSample> columns_;
    std::vector<AxisSample> rows_;
    // Two scaled device rows of the call under way (a window row blends at most two), and
    // which rows they are.
    std::vector<std::uint32_t> scaled_[2];
    int scaledRow_[2] = {-1, -1};
};

// `a` blended with `b` by `weight` / 256, each of the three colour bytes on its own.
inline std::uint32_t BlendPixels(std::uint32_t a, std::uint32_t b, int weight) {
    const std::uint32_t w = static_cast<std::uint32_t>(weight);
    const std::uint32_t keep = 256 - w;
    const std::uint32_t redBlue = ((a & 0xFF00FFu) * keep + (b & 0xFF00FFu) * w) >> 8;
    const std::uint32_t green = ((a & 0x00FF00u) * keep + (b & 0x00FF00u) * w) >> 8;
    return (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

}  // namespace platform::sdl
