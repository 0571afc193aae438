// What the window manager says changed on the screen, and the copies that find it: every changed
// pixel must be covered (one left out would stay stale in the window), the screen must end up
// exactly what was copied, and the cover must stay small and few.
#include "platform/window/screen_damage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

#include "window_test_support.h"

namespace platform {
namespace {

using window_test::Sides;

constexpr int kWidth = 48;
constexpr int kHeight = 96;

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

TEST(SentScreen, TheWholeScreenGoesFirstAndAfterALossElseWhatChanged) {
    ScreenDamage changed(kWidth, kHeight);
    changed.Add({1, 2, 3, 4});
    const ScreenSize screen{kWidth, kHeight};
    const std::array<LONG, 4> whole{0, 0, kWidth, kHeight};
    SentScreen display;
    for (int round = 0; round < 2; ++round) {
        std::vector<RECT> parts = display.PartsToSend(changed, screen);
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_EQ(Sides(parts[0]), whole);
        parts = display.PartsToSend(changed, screen);
        ASSERT_EQ(parts.size(), 1u);
        EXPECT_EQ(Sides(parts[0]), (std::array<LONG, 4>{1, 2, 3, 4}));
        display.Lose();
    }
}

TEST(ChangedWords, ACopyWritesOnlyFromTheFirstDifferenceToTheLastAndSaysSo) {
    // Longer than the blocks compared at once, so the ends are found block by block too.
    std::vector<std::uint32_t> from(40);
    std::iota(from.begin(), from.end(), 0u);
    std::vector<std::uint32_t> to = from;
    EXPECT_EQ(CopyChangedWords(from.data(), to.data(), 40), (std::pair{0, 0}));
    to[2] = 99;
    to[35] = 99;
    EXPECT_EQ(CopyChangedWords(from.data(), to.data(), 40), (std::pair{2, 36}));
    EXPECT_EQ(to, from);
    to[0] = 99;
    to[39] = 99;
    EXPECT_EQ(CopyChangedWords(from.data(), to.data(), 40), (std::pair{0, 40}));
    EXPECT_EQ(to, from);
    to[17] = 99;
    EXPECT_EQ(CopyChangedWords(from.data(), to.data(), 20), (std::pair{17, 18}));
    EXPECT_EQ(CopyChangedWords(from.data(), to.data(), 0), (std::pair{0, 0}));

    std::vector<std::uint32_t> row{0, 0, 9, 0, 9, 0};
    EXPECT_EQ(FillChangedWords(row.data(), 6, 0), (std::pair{2, 5}));
    EXPECT_EQ(row, std::vector<std::uint32_t>(6, 0));
    EXPECT_EQ(FillChangedWords(row.data(), 6, 0), (std::pair{6, 6}));
}

TEST(ChangedWords, ThePagesCompareFindsADifferenceAtEveryPlaceOfEveryLength) {
    // Lengths around the block and its halves, a row starting off an 8-byte boundary, and a
    // difference in either word of a pair, in the top bit or the bottom one.
    std::vector<std::uint32_t> a(60, 0x00336633u);
    for (int offset = 0; offset < 2; ++offset) {
        for (int words = 0; words <= 50; ++words) {
            std::vector<std::uint32_t> b = a;
            const std::uint32_t* left = a.data() + offset;
            std::uint32_t* right = b.data() + offset;
            EXPECT_TRUE(SameWordsInBlocks(left, right, words)) << words;
            for (int at = 0; at < words; ++at) {
                for (const std::uint32_t bit : {1u, 0x80000000u}) {
                    right[at] ^= bit;
                    EXPECT_FALSE(SameWordsInBlocks(left, right, words))
                        << "length " << words << ", at " << at << ", offset " << offset;
                    right[at] ^= bit;
                }
            }
            // A difference just past the end is not looked at.
            right[words] ^= 1;
            EXPECT_TRUE(SameWordsInBlocks(left, right, words)) << words;
        }
    }
}

}  // namespace
}  // namespace platform
