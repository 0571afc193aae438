// Which pixels of the screen changed since it was last shown: for each row, the span of columns
// that differ. It is found in one place: the compositor writes the screen the back end keeps
// with the two functions below, which write only what differs and say where that was
// (compositor.cpp). A back end that sends pictures to a display sends only those parts.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "platform/display/screen_limits.h"
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

// Whether the display still holds the screen last sent to it. It holds none at first; a back end
// says so where the display loses it (an expose, a resize, new pixels or a new texture to draw
// in), and the next frame then goes whole. Asked once, when presenting.
class SentScreen {
  public:
    void Lose() { lost_ = true; }
    bool Lost() const { return lost_; }
    // Whether the whole screen is to go now rather than what changed; it is taken as sent.
    bool TakeWhole() { return std::exchange(lost_, false); }
    // The parts of `screen` to send now: `changed`'s bands, or all of it (see TakeWhole).
    std::vector<RECT> PartsToSend(const ScreenDamage& changed, ScreenSize screen) {
        return TakeWhole() ? std::vector<RECT>{{0, 0, screen.width, screen.height}}
                           : changed.Bands();
    }

  private:
    bool lost_ = true;
};

// Makes the `words` pixels of `to` equal to those of `from`, writing only from the first that
// differs to the last, and returns those columns: [first, second), empty when none differed.
std::pair<int, int> CopyChangedWords(const std::uint32_t* from, std::uint32_t* to, int words);
// The same for making them all `pixel`.
std::pair<int, int> FillChangedWords(std::uint32_t* to, int words, std::uint32_t pixel);
// Whether the `words` pixels at `a` and `b` are the same, compared two at a time in blocks: how
// the page compares them, whose C library's memcmp goes a byte at a time.
bool SameWordsInBlocks(const std::uint32_t* a, const std::uint32_t* b, int words);

}  // namespace platform
