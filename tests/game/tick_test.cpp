#include <cmath>

#include <gtest/gtest.h>

#include "game/match.h"
#include "tests/game/match_builders.h"

namespace {

// A 240 x 320 match with both discs parked where a ball in the middle band cannot reach them.
MatchState OpenPitch() {
    MatchState state = MatchInPlay(240, 320);
    PlaceDisc(state, kUserPlayer, 97, 265);
    PlaceDisc(state, kComputerPlayer, 97, 8);
    return state;
}

}  // namespace

TEST(Tick, ComputerChasesAShareOfTheGapToTheBallsOldPosition) {
    MatchState state = OpenPitch();
    PlaceBall(state, 150, 150, 40, 0);  // moves to 190 this tick, but the chase aims at 150
    StepMatch(state);
    EXPECT_EQ(state.players[kComputerPlayer].x, 106.25);
    EXPECT_EQ(state.ball.x, 190.0);

    MatchState hard = OpenPitch();
    hard.hardMode = 1;
    PlaceBall(hard, 150, 150);
    StepMatch(hard);
    EXPECT_EQ(hard.players[kComputerPlayer].x, 109.33333333333333);  // a third of the gap

    MatchState centred = OpenPitch();
    PlaceBall(centred, 113, 150);
    StepMatch(centred);
    EXPECT_EQ(centred.players[kComputerPlayer].x, 97.0);
    EXPECT_EQ(centred.players[kComputerPlayer].y, 8.0);
}

TEST(Tick, SideLinesTakeBackTheHorizontalMoveAndDampBothComponents) {
    struct Case {
        const char* name;
        double x, y, vx, vy;
        double endX, endY, endVx, endVy;
    };
    const Case cases[] = {
        {"right line", 220, 100, 10, 2, 220, 102, -9.0, 2 * 0.9},
        {"left line", 3, 100, -5, -1, 3, 99, 4.5, -1 * 0.9},
        {"already outside is clamped", 226, 100, 1, 0, 225, 100, -0.9, 0},
        {"exactly on the right limit is no rebound", 224, 100, 1, 0, 225, 100, 1, 0},
        {"exactly on the left line is no rebound", 2, 100, -2, 1, 0, 101, -2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MatchState state = OpenPitch();
        PlaceBall(state, c.x, c.y, c.vx, c.vy);
        StepMatch(state);
        EXPECT_EQ(state.ball.x, c.endX);
        EXPECT_EQ(state.ball.y, c.endY);
        EXPECT_EQ(state.ball.vx, c.endVx);
        EXPECT_EQ(state.ball.vy, c.endVy);
    }
}

TEST(Tick, GoalLinesAreTheWholeTopAndBottomEdges) {
    struct Case {
        double y, vy;
        int userScore, computerScore;
    };
    const Case cases[] = {
        {0.5, -1.0, 1, 0},   // y = -0.5 after the move: the user scores
        {1.0, -1.0, 0, 0},   // y = 0 is still on the pitch
        {304.0, 1.5, 0, 1},  // y = 305.5 > 320 - 15: the computer scores
        {304.0, 1.0, 0, 0},  // y = 305 exactly is not a goal
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ball y " << c.y << " moving " << c.vy);
        MatchState state = OpenPitch();
        state.scoreFlash = 3;
        PlaceBall(state, 20, c.y, 0, c.vy);
        StepMatch(state);
        EXPECT_EQ(state.players[kUserPlayer].score, c.userScore);
        EXPECT_EQ(state.players[kComputerPlayer].score, c.computerScore);
        const bool goal = c.userScore + c.computerScore > 0;
        EXPECT_EQ(state.scoreFlash, goal ? 100 : 3);
        if (goal) {
            // Back at the kick-off place, at rest, within the same step.
            EXPECT_EQ(state.ball.x, 113.0);
            EXPECT_EQ(state.ball.y, 160.0);
            EXPECT_EQ(state.ball.vx, 0.0);
            EXPECT_EQ(state.ball.vy, 0.0);
            EXPECT_EQ(state.players[kUserPlayer].y, 265.0);
            EXPECT_EQ(state.lastStylusX, -10);
        }
    }
}

TEST(Tick, SpeedLimitReducesEachComponentByRepeatedMultiplication) {
    struct Case {
        double v;
        double limited;
    };
    const Case cases[] = {
        {40, 25.6},
        {-31, -24.8},
        {30, 30},
        {100, 26.21440000000001},  // six roundings in a row, not the exact 26.2144
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.v);
        MatchState state = OpenPitch();
        PlaceBall(state, 100, 150, 0, c.v / 10);
        state.ball.vx = c.v;
        state.ball.x = 112 - c.v;  // lands at 112, clear of both side lines
        StepMatch(state);
        EXPECT_EQ(state.ball.vx, c.limited);
    }

    MatchState state = OpenPitch();
    PlaceBall(state, 60, 150, 40, 10);
    StepMatch(state);
    EXPECT_EQ(state.ball.vx, 25.6);
    EXPECT_EQ(state.ball.vy, 10.0);
}

TEST(Tick, ComputerKickComesAfterTheSpeedLimit) {
    // The ball runs fast up into the computer's disc: the kick leaves it above 30 until the end
    // of the next step.
    MatchState state = OpenPitch();
    PlaceBall(state, 113, 62, 0, -30);
    RunGameTick(state);
    ASSERT_GT(state.ball.vy, 8.0);
    const double kicked = state.ball.vy;
    EXPECT_GT(kicked, 30.0);
    StepMatch(state);
    EXPECT_LE(state.ball.vy, 30.0);
}

TEST(Tick, RecoilDriftsTheUserDiscForTwoTicksAfterAContact) {
    MatchState state = OpenPitch();
    PlaceDisc(state, kUserPlayer, 97, 265, 0, -20);
    PlaceBall(state, 113, 246, 0, 6);  // meets the disc in this tick's step
    RunGameTick(state);
    ASSERT_EQ(state.recoilTicks, 3);
    const Player afterContact = state.players[kUserPlayer];
    ASSERT_NE(afterContact.vy, 0.0);

    RunGameTick(state);
    EXPECT_EQ(state.recoilTicks, 2);
    EXPECT_EQ(state.players[kUserPlayer].y, afterContact.y + afterContact.vy);
    RunGameTick(state);
    EXPECT_EQ(state.recoilTicks, 1);
    EXPECT_EQ(state.players[kUserPlayer].y, afterContact.y + afterContact.vy + afterContact.vy);
    RunGameTick(state);
    EXPECT_EQ(state.recoilTicks, 0);
    EXPECT_EQ(state.players[kUserPlayer].y, afterContact.y + afterContact.vy + afterContact.vy);
}

TEST(Tick, InactiveBallStillMovesButMeetsNothing) {
    MatchState state = OpenPitch();
    PlaceBall(state, 230, -50, 5, -5);  // outside both lines
    state.ball.active = 0;
    StepMatch(state);
    EXPECT_EQ(state.ball.x, 235.0);
    EXPECT_EQ(state.ball.y, -55.0);
    EXPECT_EQ(state.players[kUserPlayer].score, 0);
}
