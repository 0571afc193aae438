#include "app/page_screen.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kShapeWidth = 3;
constexpr int kShapeHeight = 4;

// a * b / c to the nearest whole number, at most `limit`; no overflow for any positive ints.
int Scaled(int a, int b, int c, int limit) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t rounded = (2 * product + c) / (2 * static_cast<std::int64_t>(c));
    return static_cast<int>(std::min<std::int64_t>(rounded, limit));
}

}  // namespace

platform::ScreenSize PageScreenFor(int viewport_width, int viewport_height) {
    constexpr int kMinHeight = kPageScreenMinWidth * kShapeHeight / kShapeWidth;
    constexpr int kMaxHeight = kPageScreenMaxWidth * kShapeHeight / kShapeWidth;
    if (viewport_width <= 0 || viewport_height <= 0) {
        return {kPageScreenMaxWidth, kMaxHeight};
    }
    const bool tall = static_cast<std::int64_t>(viewport_height) * kShapeWidth >=
                      static_cast<std::int64_t>(viewport_width) * kShapeHeight;
    if (tall) {
        const int width = std::clamp(viewport_width, kPageScreenMinWidth, kPageScreenMaxWidth);
        return {width, Scaled(viewport_height, width, viewport_width, platform::kMaxScreenSide)};
    }
    const int height = std::clamp(viewport_height, kMinHeight, kMaxHeight);
    return {Scaled(height, kShapeWidth, kShapeHeight, kPageScreenMaxWidth), height};
}
