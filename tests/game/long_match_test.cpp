// Properties that must hold over long matches with a busy stylus: everything stays finite and the
// speed limit holds after every match step.
#include <cmath>
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "game/match.h"

namespace {

bool Finite(const MatchState& state) {
    const Ball& b = state.ball;
    bool finite =
        std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.vx) && std::isfinite(b.vy);
    for (const Player& p : state.players) {
        finite = finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.vx) &&
                 std::isfinite(p.vy);
    }
    return finite;
}

struct Pitch {
    int width;
    int height;
};

}  // namespace

TEST(LongMatch, StaysFiniteAndWithinTheSpeedLimitWhileTheStylusChasesTheBall) {
    const Pitch pitches[] = {{240, 294}, {480, 588}, {240, 240}, {31, 47}, {4096, 4096}};
    for (const Pitch pitch : pitches) {
        SCOPED_TRACE(testing::Message() << pitch.width << "x" << pitch.height);
        std::mt19937 random(20261206u + static_cast<unsigned>(pitch.width));
        std::uniform_int_distribution<int> choice(0, 99);
        std::uniform_int_distribution<int> coordinate(0, 65535);
        MatchState state{};
        state.initialised = 1;
        StartMatch(state, pitch.width, pitch.height);
        state.geometry.goalDepth = GoalDepthForWidth(pitch.width);

        int goals = 0;
        for (int tick = 0; tick < 60000; ++tick) {
            const int roll = choice(random);
            if (roll < 45) {
                // Steer toward the ball, as a player would, with a little jitter.
                const double aimX = state.ball.x + state.ball.size / 2 + (roll % 7) - 3;
                const double aimY = state.ball.y + state.ball.size + 20;
                const auto clamp = [](double v) {
                    return static_cast<std::uint16_t>(v < 0 ? 0 : v > 65535 ? 65535 : v);
                };
                OnStylusMove(state, clamp(aimX), clamp(aimY));
            } else if (roll < 47) {
                OnStylusMove(state, static_cast<std::uint16_t>(coordinate(random)),
                             static_cast<std::uint16_t>(coordinate(random)));
            } else if (roll == 47 && tick % 5000 == 0) {
                state.hardMode = 1 - state.hardMode;
            }
            const int scoredBefore = state.players[0].score + state.players[1].score;
            if (state.recoilTicks > 0) {
                --state.recoilTicks;
            }
            StepMatch(state);
            ASSERT_LE(std::fabs(state.ball.vx), 30.0) << "tick " << tick;
            ASSERT_LE(std::fabs(state.ball.vy), 30.0) << "tick " << tick;
            CollideBallWithComputer(state);
            ASSERT_TRUE(Finite(state)) << "tick " << tick;
            goals += state.players[0].score + state.players[1].score - scoredBefore;
        }
        if (pitch.width >= 240) {
            EXPECT_GT(goals, 0);  // the match really was played, not stuck
        }
    }
}
