#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "game/match.h"
#include "game/numeric.h"
#include "tests/game/match_builders.h"

namespace {

// 240 x 320, the user's disc at its first kick-off place (97, 273), no stylus position yet.
MatchState FreshKickoff() {
    MatchState state{};
    StartMatch(state, 240, 320);
    return state;
}

}  // namespace

TEST(Stylus, DiscClosesHalfTheGapToAnAimAboveTheTip) {
    MatchState state = FreshKickoff();
    OnStylusMove(state, 200, 300);  // aim (200, 284): target corner (177, 261)
    const Player& disc = state.players[kUserPlayer];
    EXPECT_EQ(disc.x, 137.0);
    EXPECT_EQ(disc.y, 267.0);
    EXPECT_EQ(disc.vx, 0.0);  // no last position yet
    EXPECT_EQ(disc.vy, 0.0);
    EXPECT_EQ(state.lastStylusX, 137);
    EXPECT_EQ(state.lastStylusY, 267);

    OnStylusMove(state, 200, 300);
    EXPECT_EQ(disc.x, 157.0);
    EXPECT_EQ(disc.y, 264.0);
    EXPECT_EQ(disc.vx, 80.0);
    EXPECT_EQ(disc.vy, -12.0);
}

TEST(Stylus, AimNeverRisesAboveTheHalfwayLevel) {
    for (const std::uint16_t tip : {3, 120, 159}) {
        MatchState high = FreshKickoff();
        OnStylusMove(high, 120, tip);
        // Highest aim at 240 x 320 is y = 144: corner 121, halfway from 273.
        EXPECT_EQ(high.players[kUserPlayer].y, (121.0 - 273.0) * 0.5 + 273.0) << tip;
    }
}

TEST(Stylus, RecoilIgnoresTheStylusAndDrifts) {
    MatchState state = FreshKickoff();
    PlaceDisc(state, kUserPlayer, 50, 200, 3, -4);
    state.recoilTicks = 2;
    state.lastStylusX = 40;
    OnStylusMove(state, 230, 310);
    OnStylusMove(state, 0, 0);
    EXPECT_EQ(state.players[kUserPlayer].x, 56.0);
    EXPECT_EQ(state.players[kUserPlayer].y, 192.0);
    EXPECT_EQ(state.lastStylusX, 40);
}

TEST(Stylus, OnlyTheLastXSaysWhetherThereIsALastPosition) {
    MatchState state = FreshKickoff();
    PlaceDisc(state, kUserPlayer, -30, 273, 7, 9);
    state.lastStylusX = 5;
    state.lastStylusY = 5;
    OnStylusMove(state, 0, 300);  // target x -23: the disc goes to -26.5, stored as -26
    EXPECT_EQ(state.lastStylusX, -26);
    EXPECT_EQ(state.players[kUserPlayer].vx, (-26.5 - 5) * 4.0);

    const double vx = state.players[kUserPlayer].vx;
    const double vy = state.players[kUserPlayer].vy;
    state.lastStylusX = -1;       // negative, however close to 0: no last position
    OnStylusMove(state, 0, 300);  // neither component changes
    EXPECT_EQ(state.players[kUserPlayer].vx, vx);
    EXPECT_EQ(state.players[kUserPlayer].vy, vy);

    // Truncation toward zero stores -0.5 as 0, so the next move measures again.
    PlaceDisc(state, kUserPlayer, -1, 273, vx, vy);
    OnStylusMove(state, 23, 300);  // target 0: x becomes -0.5
    EXPECT_EQ(state.lastStylusX, 0);
    OnStylusMove(state, 23, 300);
    EXPECT_EQ(state.players[kUserPlayer].vx, (-0.25 - 0) * 4.0);
}

TEST(Stylus, BeforeTheFirstPaintMovesWorkOnTheEmptyRecord) {
    MatchState state{};
    OnStylusMove(state, 100, 50);
    EXPECT_EQ(state.players[kUserPlayer].x, 50.0);
    EXPECT_EQ(state.players[kUserPlayer].y, 25.0);
    EXPECT_EQ(state.players[kUserPlayer].vx, 200.0);  // last x is 0, not -10, before the start
    StartMatch(state, 240, 320);
    EXPECT_EQ(state.players[kUserPlayer].x, 97.0);
    EXPECT_EQ(state.players[kUserPlayer].vx, 0.0);
}

TEST(Numeric, TruncationIsTowardZeroAndSaturates) {
    EXPECT_EQ(TruncateToInt32(113.9), 113);
    EXPECT_EQ(TruncateToInt32(-0.5), 0);
    EXPECT_EQ(TruncateToInt32(-1.5), -1);
    EXPECT_EQ(TruncateToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(TruncateToInt32(2147483648.0), 2147483647);
    EXPECT_EQ(TruncateToInt32(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt32(-2147483649.0), -2147483647 - 1);
    // In a constant expression an out-of-range conversion does not compile: the bounds hold.
    static_assert(TruncateToInt32(-2147483649.0) == -2147483647 - 1);
    static_assert(TruncateToInt32(2147483648.0) == 2147483647);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::infinity()), 2147483647);
    EXPECT_EQ(TruncateToInt32(-std::numeric_limits<double>::infinity()), -2147483647 - 1);
    EXPECT_EQ(TruncateToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}
