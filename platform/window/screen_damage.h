// Which pixels of the screen changed since it was last shown: for each row, the span of columns
// that differ. It is found in one place, CopyChangedRows, where the composed screen meets the
// back end (frame_path.h), and a back end that sends pictures to a display sends only those
// parts.
#pragma once

#include <vector>

#include "platform/gdi/pixel_rows.h"
#include "platform/win32_types.h"

namespace platform {

class ScreenDamage {
  public:
    ScreenDamage(int width, int height);

    // Columns [left, right) of row `y` changed; parts off the screen are ignored.
    void Add(int y, int left, int right);
    void Add(const RECT& rect);
    bool Empty() const { return empty_; }

    // The changed pixels covered by rectangles that do not overlap, top to bottom: runs of
    // changed rows (each as wide as its changes reach), joined across gaps of fewer than
    // `kJoinGap` unchanged rows, since each rectangle sent costs a request of its own; more than
    // `kMaxBands` become the one that covers them all.
    std::vector<RECT> Bands() const;

    static constexpr int kJoinGap = 8;
    static constexpr std::size_t kMaxBands = 8;

  private:
    struct Span {
        int left;
        int right;
    };
    int width_;
    std::vector<Span> rows_;
    bool empty_ = true;
};

// Makes `to` hold what `from` holds (both of the same size), writing only from the first pixel of
// each row that differs to the last, and says which those were.
ScreenDamage CopyChangedRows(ConstPixelRows from, PixelRows to);

}  // namespace platform
