#include <cmath>

#include <gtest/gtest.h>

#include "game/match.h"
#include "tests/game/match_builders.h"

namespace {

// Ball 15 and discs 47 (contact radius 31), the user's disc at (97, 265), centre (120, 288).
MatchState UserDiscAt97x265() {
    MatchState state = MatchInPlay(240, 320);
    PlaceDisc(state, kUserPlayer, 97, 265);
    return state;
}

// The computer's disc at (97, 8), centre (120, 31).
MatchState ComputerDiscAt97x8() {
    MatchState state = MatchInPlay(240, 320);
    PlaceDisc(state, kComputerPlayer, 97, 8);
    return state;
}

}  // namespace

TEST(Contact, DistanceEqualToTheRadiusIsNoContact) {
    MatchState state = UserDiscAt97x265();
    PlaceBall(state, 113, 250);  // centre distance exactly 31
    CollideBallWithUser(state);
    EXPECT_EQ(state.recoilTicks, 0);
    EXPECT_EQ(state.ball.x, 113.0);
    EXPECT_EQ(state.ball.y, 250.0);

    PlaceBall(state, 113, 251);  // distance 30
    CollideBallWithUser(state);
    EXPECT_EQ(state.recoilTicks, 3);
}

TEST(Contact, PushOutWalksAlongTheDiagonalChosenByTheCorners) {
    struct Case {
        double x, y;
        double endX, endY;
        double distanceSquared;
    };
    // A ball on the disc's vertical centre line still moves right: its corner is right of the
    // disc's. Equal corners push up and left.
    const Case cases[] = {
        {113, 251, 114, 250, 962},
        {90, 262, 89, 261, 976},
        {97, 265, 91, 259, 968},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ball at " << c.x << "," << c.y);
        MatchState state = UserDiscAt97x265();
        PlaceBall(state, c.x, c.y);
        const double distance = SeparateBallFromPlayer(state, kUserPlayer);
        EXPECT_EQ(state.ball.x, c.endX);
        EXPECT_EQ(state.ball.y, c.endY);
        EXPECT_EQ(distance, std::sqrt(c.distanceSquared));
        EXPECT_EQ(state.recoilTicks, 3);
        EXPECT_EQ(state.players[kUserPlayer].x, 97.0);  // the disc never moves here
    }
}

TEST(Contact, SeparationWithoutOverlapOnlyStartsTheUsersRecoil) {
    MatchState state = UserDiscAt97x265();
    PlaceBall(state, 10, 10);
    const double expected = std::sqrt(103.0 * 103.0 + 271.0 * 271.0);
    EXPECT_EQ(SeparateBallFromPlayer(state, kUserPlayer), expected);
    EXPECT_EQ(state.ball.x, 10.0);
    EXPECT_EQ(state.recoilTicks, 3);
    // Exactly at the contact distance, 31 to the right of the centre, it is not pushed either.
    PlaceBall(state, 97 + 23 + 31 - 7, 265 + 23 - 7);
    EXPECT_EQ(SeparateBallFromPlayer(state, kUserPlayer), 31.0);
    EXPECT_EQ(state.ball.x, 144.0);

    state.recoilTicks = 1;
    PlaceDisc(state, kComputerPlayer, 97, 8);
    PlaceBall(state, 113, 44);
    SeparateBallFromPlayer(state, kComputerPlayer);
    EXPECT_EQ(state.recoilTicks, 1);
}

TEST(Contact, UserDiscExchangesNormalVelocitiesAndRecoils) {
    MatchState state = UserDiscAt97x265();
    PlaceDisc(state, kUserPlayer, 97, 265, 0, -20);
    PlaceBall(state, 113, 252, 0, 6);
    CollideBallWithUser(state);
    // Both step back by one tick; then they are 55 apart, so nothing is pushed.
    EXPECT_EQ(state.ball.x, 113.0);
    EXPECT_EQ(state.ball.y, 246.0);
    EXPECT_EQ(state.players[kUserPlayer].x, 97.0);
    EXPECT_EQ(state.players[kUserPlayer].y, 285.0);
    EXPECT_DOUBLE_EQ(state.ball.vx, 0.0);
    EXPECT_DOUBLE_EQ(state.ball.vy, -18.0);
    EXPECT_DOUBLE_EQ(state.players[kUserPlayer].vx, 0.0);
    EXPECT_DOUBLE_EQ(state.players[kUserPlayer].vy, 2.7);
    EXPECT_EQ(state.recoilTicks, 3);
}

TEST(Contact, ComputerDiscKicksTheBallDownAtLeastEightPixelsPerTick) {
    {
        SCOPED_TRACE("ball running up into the underside");
        MatchState state = ComputerDiscAt97x8();
        PlaceBall(state, 113, 44, 0, -6);
        CollideBallWithComputer(state);
        EXPECT_EQ(state.ball.x, 118.0);  // stepped back to (113, 50), then ten passes
        EXPECT_EQ(state.ball.y, 55.0);
        EXPECT_NEAR(state.ball.vx, 0.943, 0.0005);
        EXPECT_NEAR(state.ball.vy, 13.263, 0.0005);
        EXPECT_GT(state.ball.vy, 8.0);
    }
    {
        SCOPED_TRACE("ball coming from the side loses its horizontal speed");
        MatchState state = ComputerDiscAt97x8();
        PlaceBall(state, 143, 24, -5, 0);
        CollideBallWithComputer(state);
        EXPECT_EQ(state.ball.x, 148.0);
        EXPECT_EQ(state.ball.y, 24.0);
        EXPECT_DOUBLE_EQ(state.ball.vx, 0.0);
        EXPECT_EQ(state.ball.vy, 8.0);
    }
    {
        SCOPED_TRACE("slow ball: the kick is raised to the minimum");
        MatchState state = ComputerDiscAt97x8();
        PlaceBall(state, 113, 40, 0, 2);
        CollideBallWithComputer(state);
        EXPECT_EQ(state.ball.x, 127.0);  // 28 passes from (113, 38)
        EXPECT_EQ(state.ball.y, 52.0);
        EXPECT_NEAR(state.ball.vx, -0.8, 0.05);
        EXPECT_EQ(state.ball.vy, 8.0);
    }
}

TEST(Contact, PushOutStopsWhereHalfAPixelNoLongerMovesTheBall) {
    // Far out, a double's spacing is wider than half a pixel: the ball cannot step clear, and
    // the push-out must give up instead of looping forever.
    MatchState state = MatchInPlay(240, 320);
    PlaceDisc(state, kUserPlayer, 1e17, 1e17);
    PlaceBall(state, 1e17, 1e17);
    const double distance = SeparateBallFromPlayer(state, kUserPlayer);
    EXPECT_LT(distance, 31.0);
    EXPECT_EQ(state.ball.x, 1e17);
    EXPECT_EQ(state.ball.y, 1e17);

    // Only x is stuck: y still walks until the ball is clear.
    PlaceDisc(state, kUserPlayer, 1e17, 0);
    PlaceBall(state, 1e17, 0);
    EXPECT_GE(SeparateBallFromPlayer(state, kUserPlayer), 31.0);
    EXPECT_EQ(state.ball.y, -11.0) << "walked up in half pixels until clear";
}
