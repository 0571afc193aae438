// Finding what changed between two frames: every changed pixel must be covered (a pixel left out
// would stay stale on the screen), and the cover must stay small and few.
#include "platform/sdl/frame_damage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace platform::sdl {
namespace {

struct Frames {
    static constexpr int kWidth = 48;
    static constexpr int kHeight = 96;
    std::vector<std::uint32_t> before = std::vector<std::uint32_t>(kWidth * kHeight, 0x008000u);
    std::vector<std::uint32_t> after = before;

    void Change(int x, int y) { after[y * kWidth + x] ^= 0xFFFFFFu; }
    std::vector<PixelRect> Bands() const {
        return FindChangedBands({before.data(), after.data(), kWidth, kHeight, kWidth * 4});
    }
};

bool Covers(const std::vector<PixelRect>& bands, int x, int y) {
    for (const PixelRect& band : bands) {
        if (x >= band.x && x < band.x + band.width && y >= band.y && y < band.y + band.height) {
            return true;
        }
    }
    return false;
}

TEST(FrameDamage, NothingChangedIsNoBandAndBadFramesAreNone) {
    Frames frames;
    EXPECT_TRUE(frames.Bands().empty());
    frames.Change(3, 3);
    EXPECT_TRUE(FindChangedBands({nullptr, frames.after.data(), 48, 96, 192}).empty());
    EXPECT_TRUE(FindChangedBands({frames.before.data(), frames.after.data(), 48, 96, 100}).empty());
}

TEST(FrameDamage, FarApartChangesAreBandsAsWideAsTheirRows) {
    Frames frames;
    frames.Change(5, 2);
    frames.Change(9, 4);    // same band, reaching further right and down
    frames.Change(40, 50);  // far below: a band of its own
    frames.Change(47, 57);  // the right edge, a few rows further down
    const std::vector<PixelRect> bands = frames.Bands();
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(bands[0].x, 5);
    EXPECT_EQ(bands[0].y, 2);
    EXPECT_EQ(bands[0].width, 5);
    EXPECT_EQ(bands[0].height, 3);
    EXPECT_EQ(bands[1].x, 40);
    EXPECT_EQ(bands[1].y, 50);
    EXPECT_EQ(bands[1].width, 8);
    EXPECT_EQ(bands[1].height, 8);
}

TEST(FrameDamage, NearbyRowsJoinAndTooManyBandsBecomeOne) {
    Frames near;
    near.Change(0, 10);
    near.Change(30, 10 + kJoinGap);     // a gap of kJoinGap - 1 rows: joined
    near.Change(1, 11 + 2 * kJoinGap);  // a gap of kJoinGap rows: apart
    const std::vector<PixelRect> joined = near.Bands();
    ASSERT_EQ(joined.size(), 2u);
    EXPECT_EQ(joined[0].width, 31);
    EXPECT_EQ(joined[0].height, kJoinGap + 1);

    // Rows kJoinGap apart stay bands of their own, more of them than are sent one by one.
    Frames scattered;
    int last = 0;
    int right = 0;
    for (int y = 0; y < Frames::kHeight; y += kJoinGap + 1) {
        scattered.Change(y % Frames::kWidth, y);
        last = y;
        right = std::max(right, y % Frames::kWidth);
    }
    ASSERT_GT(last / (kJoinGap + 1) + 1, static_cast<int>(kMaxBands));
    const std::vector<PixelRect> one = scattered.Bands();
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].y, 0);
    EXPECT_EQ(one[0].height, last + 1);
    EXPECT_EQ(one[0].x, 0);
    EXPECT_EQ(one[0].width, right + 1);
}

TEST(FrameDamage, EveryChangedPixelIsCoveredAndBandsDoNotOverlap) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Frames frames;
        const int changes = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < changes; ++i) {
            frames.Change(static_cast<int>(random() % Frames::kWidth),
                          static_cast<int>(random() % Frames::kHeight));
        }
        const std::vector<PixelRect> bands = frames.Bands();
        for (int y = 0; y < Frames::kHeight; ++y) {
            for (int x = 0; x < Frames::kWidth; ++x) {
                if (frames.before[y * Frames::kWidth + x] != frames.after[y * Frames::kWidth + x]) {
                    ASSERT_TRUE(Covers(bands, x, y))
                        << "round " << round << " at " << x << "," << y;
                }
            }
        }
        for (std::size_t i = 1; i < bands.size(); ++i) {
            EXPECT_GE(bands[i].y, bands[i - 1].y + bands[i - 1].height);
        }
        EXPECT_LE(bands.size(), kMaxBands);
    }
}

}  // namespace
}  // namespace platform::sdl
