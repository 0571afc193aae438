// What the window manager says changed on the screen, and the comparison that finds it: every
// changed pixel must be covered (one left out would stay stale in the window), the screen shown
// must end up exactly the one composed, and the cover must stay small and few.
#include "platform/window/screen_damage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace platform {
namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 96;

std::array<LONG, 4> Sides(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool Covers(const std::vector<RECT>& bands, int x, int y) {
    return std::any_of(bands.begin(), bands.end(), [&](const RECT& band) {
        return x >= band.left && x < band.right && y >= band.top && y < band.bottom;
    });
}

TEST(ScreenDamage, NothingChangedIsNoBandAndWhatLiesOffTheScreenIsIgnored) {
    ScreenDamage damage(kWidth, kHeight);
    EXPECT_TRUE(damage.Empty());
    damage.Add(-1, 0, 10);
    damage.Add(kHeight, 0, 10);
    damage.Add(5, 20, 20);
    damage.Add(5, kWidth, kWidth + 4);
    EXPECT_TRUE(damage.Empty());
    EXPECT_TRUE(damage.Bands().empty());
    damage.Add({-5, -5, 3, 2});
    const std::vector<RECT> bands = damage.Bands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{0, 0, 3, 2}));
}

TEST(ScreenDamage, FarApartChangesAreBandsAsWideAsTheirRowsAndNearOnesJoin) {
    ScreenDamage damage(kWidth, kHeight);
    damage.Add(2, 5, 6);
    damage.Add(4, 9, 10);                               // the same band, further right
    damage.Add(50, 40, 41);                             // far below: a band of its own
    damage.Add(50 + ScreenDamage::kJoinGap, 47, 48);    // kJoinGap - 1 rows between: joined
    damage.Add(51 + 2 * ScreenDamage::kJoinGap, 0, 1);  // kJoinGap rows between: apart
    const std::vector<RECT> bands = damage.Bands();
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{5, 2, 10, 5}));
    EXPECT_EQ(Sides(bands[1]), (std::array<LONG, 4>{40, 50, 48, 51 + ScreenDamage::kJoinGap}));
    EXPECT_EQ(bands[2].top, 51 + 2 * ScreenDamage::kJoinGap);
}

TEST(ScreenDamage, TooManyBandsBecomeTheOneThatCoversThem) {
    ScreenDamage damage(kWidth, kHeight);
    int last = 0;
    int right = 0;
    std::size_t apart = 0;
    for (int y = 0; y < kHeight; y += ScreenDamage::kJoinGap + 1, ++apart) {
        damage.Add(y, y % kWidth, y % kWidth + 1);
        last = y;
        right = std::max(right, y % kWidth + 1);
    }
    ASSERT_GT(apart, ScreenDamage::kMaxBands);
    const std::vector<RECT> bands = damage.Bands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{0, 0, right, last + 1}));
}

TEST(ScreenDamage, EveryChangedPixelIsCoveredAndBandsDoNotOverlap) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        ScreenDamage damage(kWidth, kHeight);
        std::vector<std::pair<int, int>> changed;
        const int changes = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < changes; ++i) {
            const int x = static_cast<int>(random() % kWidth);
            const int y = static_cast<int>(random() % kHeight);
            damage.Add(y, x, x + 1);
            changed.emplace_back(x, y);
        }
        const std::vector<RECT> bands = damage.Bands();
        for (const auto& [x, y] : changed) {
            ASSERT_TRUE(Covers(bands, x, y)) << "round " << round << " at " << x << "," << y;
        }
        for (std::size_t i = 1; i < bands.size(); ++i) {
            EXPECT_GE(bands[i].top, bands[i - 1].bottom);
        }
        EXPECT_LE(bands.size(), ScreenDamage::kMaxBands);
    }
}

// Rows of `width` words with a few words of padding after each, as a stride may have.
struct Rows {
    Rows(int width, int height) : width(width), height(height), words((width + 3) * height, 0) {}
    PixelRows View() { return {words.data(), width, height, (width + 3) * 4}; }
    std::uint32_t& At(int x, int y) { return words[static_cast<std::size_t>(y * (width + 3) + x)]; }
    int width;
    int height;
    std::vector<std::uint32_t> words;
};

TEST(CopyChangedRows, WritesOnlyWhatDiffersAndSaysExactlyWhere) {
    Rows composed(kWidth, kHeight);
    Rows shown(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            composed.At(x, y) = shown.At(x, y) = static_cast<std::uint32_t>(x * 1000 + y);
        }
    }
    EXPECT_TRUE(CopyChangedRows(composed.View(), shown.View()).Empty());

    // Two changes on one row and one far below: the row's span runs from the first to the
    // last, and the padding after each row is neither compared nor written.
    composed.At(3, 4) = 1;
    composed.At(9, 4) = 1;
    composed.At(20, 17) = 1;
    composed.At(kWidth, 4) = 99;
    const std::vector<RECT> bands = CopyChangedRows(composed.View(), shown.View()).Bands();
    ASSERT_EQ(bands.size(), 2u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{3, 4, 10, 5}));
    EXPECT_EQ(Sides(bands[1]), (std::array<LONG, 4>{20, 17, 21, 18}));
    EXPECT_EQ(shown.At(kWidth, 4), 0u);
    shown.At(kWidth, 4) = 99;
    EXPECT_EQ(shown.words, composed.words);
}

TEST(CopyChangedRows, EveryDifferenceIsCopiedAndCoveredWhereverItLies) {
    // Rows longer than the blocks compared at once, changed at their ends, across block edges
    // and anywhere at random.
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        Rows composed(kWidth, kHeight);
        Rows shown(kWidth, kHeight);
        std::vector<std::pair<int, int>> changed;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i) {
            const int x = round % 3 == 0 ? (i % 2 == 0 ? 0 : kWidth - 1)
                                         : static_cast<int>(random() % kWidth);
            const int y = static_cast<int>(random() % kHeight);
            composed.At(x, y) = 1 + static_cast<std::uint32_t>(random() % 0xFFFFFF);
            changed.emplace_back(x, y);
        }
        const std::vector<RECT> bands = CopyChangedRows(composed.View(), shown.View()).Bands();
        for (const auto& [x, y] : changed) {
            ASSERT_TRUE(Covers(bands, x, y)) << "round " << round << " at " << x << "," << y;
        }
        ASSERT_EQ(shown.words, composed.words) << "round " << round;
    }
}

}  // namespace
}  // namespace platform
