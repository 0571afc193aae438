#include <gtest/gtest.h>

#include "game/match.h"
#include "tests/game/match_builders.h"

TEST(Kickoff, FirstKickoffPutsDiscsFlushWithThePitchEdges) {
    MatchState state{};
    StartMatch(state, 240, 320);

    EXPECT_EQ(state.ball.size, 15);
    EXPECT_EQ(state.ball.x, 113.0);
    EXPECT_EQ(state.ball.y, 160.0);
    EXPECT_EQ(state.ball.active, 1);
    EXPECT_EQ(state.ball.colour, (Rgb{200, 50, 100}));
    for (const Player& disc : state.players) {
        EXPECT_EQ(disc.size, 47);
        EXPECT_EQ(disc.x, 97.0);
    }
    // The goal depth is not stored yet at the first kick-off.
    EXPECT_EQ(state.players[kUserPlayer].y, 273.0);
    EXPECT_EQ(state.players[kComputerPlayer].y, 0.0);
    EXPECT_EQ(state.players[kUserPlayer].colour, (Rgb{150, 0, 150}));
    EXPECT_EQ(state.players[kComputerPlayer].colour, (Rgb{200, 100, 0}));
    EXPECT_EQ(state.lastStylusX, -10);
    EXPECT_EQ(state.lastStylusY, -10);
}

TEST(Kickoff, SizesAndPlacesScaleWithTheWidth) {
    MatchState state = MatchInPlay(480, 640);
    EXPECT_EQ(state.ball.size, 31);
    EXPECT_EQ(state.players[0].size, 95);
    EXPECT_EQ(state.geometry.goalDepth, 16);
    EXPECT_EQ(state.ball.x, 225.0);
    EXPECT_EQ(state.ball.y, 320.0);
    EXPECT_EQ(state.players[0].x, 193.0);
    EXPECT_EQ(state.players[1].x, 193.0);
    EXPECT_EQ(state.players[0].y, 640.0 - 16 - 95);

    // Sizes truncate: a 30-pixel-wide pitch has a ball of 1 and a goal depth of 1.
    EXPECT_EQ(BallSizeForWidth(30), 1);
    EXPECT_EQ(GoalDepthForWidth(29), 0);
    EXPECT_EQ(DiscSizeForWidth(5), 0);
    // Truncated where one pixel less of width shows.
    EXPECT_EQ(BallSizeForWidth(479), 30);
    EXPECT_EQ(DiscSizeForWidth(479), 94);
    EXPECT_EQ(GoalDepthForWidth(479), 15);
    EXPECT_EQ(StylusLiftForWidth(479), 31);
}

TEST(Kickoff, ResetKeepsScoresAndModeButClearsMotionAndStylus) {
    MatchState state = MatchInPlay();
    state.players[0].score = 4;
    state.players[1].score = 7;
    state.scoreFlash = 55;
    state.hardMode = 1;
    state.recoilTicks = 2;
    state.lastStylusX = 50;
    state.lastStylusY = 60;
    PlaceBall(state, 10, 10, 3, 4);
    PlaceDisc(state, 0, 1, 2, 5, 6);

    ResetKickoff(state);
    EXPECT_EQ(state.players[0].score, 4);
    EXPECT_EQ(state.players[1].score, 7);
    EXPECT_EQ(state.scoreFlash, 55);
    EXPECT_EQ(state.hardMode, 1);
    EXPECT_EQ(state.recoilTicks, 0);
    EXPECT_EQ(state.lastStylusX, -10);
    EXPECT_EQ(state.lastStylusY, -10);
    EXPECT_EQ(state.ball.vx, 0.0);
    EXPECT_EQ(state.players[0].vx, 0.0);
    EXPECT_EQ(state.players[0].vy, 0.0);

    PlaceBall(state, 10, 10, 3, 4);
    NewGame(state);
    EXPECT_EQ(state.ball.vx, 0.0) << "a new kick-off";
    EXPECT_EQ(state.players[0].score, 0);
    EXPECT_EQ(state.players[1].score, 0);
    EXPECT_EQ(state.scoreFlash, 0);
    EXPECT_EQ(state.hardMode, 1);

    StartMatch(state, 240, 320);
    EXPECT_EQ(state.hardMode, 0);
}
