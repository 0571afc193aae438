#include "platform/window/screen_damage.h"

#include <algorithm>
#include <climits>

namespace platform {

ScreenDamage::ScreenDamage(int width, int height)
    : width_(std::max(width, 0)),
      rows_(static_cast<std::size_t>(std::max(height, 0)), {INT_MAX, 0}) {}

void ScreenDamage::Add(int y, int left, int right) {
    left = std::max(left, 0);
    right = std::min(right, width_);
    if (y < 0 || y >= static_cast<int>(rows_.size()) || left >= right) {
        return;
    }
    Span& row = rows_[static_cast<std::size_t>(y)];
    row.left = std::min(row.left, left);
    row.right = std::max(row.right, right);
    empty_ = false;
}

void ScreenDamage::Add(const RECT& rect) {
    const int top = std::max<int>(rect.top, 0);
    const int bottom = std::min<int>(rect.bottom, static_cast<int>(rows_.size()));
    for (int y = top; y < bottom; ++y) {
        Add(y, rect.left, rect.right);
    }
}

std::vector<RECT> ScreenDamage::Bands() const {
    std::vector<RECT> bands;
    if (empty_) {
        return bands;
    }
    for (int y = 0; y < static_cast<int>(rows_.size()); ++y) {
        const Span& row = rows_[static_cast<std::size_t>(y)];
        if (row.left >= row.right) {
            continue;
        }
        if (!bands.empty() && y - bands.back().bottom < kJoinGap) {
            RECT& band = bands.back();
            band.left = std::min<LONG>(band.left, row.left);
            band.right = std::max<LONG>(band.right, row.right);
            band.bottom = y + 1;
        } else {
            bands.push_back({row.left, y, row.right, y + 1});
        }
    }
    if (bands.size() > kMaxBands) {
        RECT all = bands.front();
        for (const RECT& band : bands) {
            all.left = std::min(all.left, band.left);
            all.right = std::max(all.right, band.right);
        }
        all.bottom = bands.back().bottom;
        bands.assign(1, all);
    }
    return bands;
}

}  // namespace platform
