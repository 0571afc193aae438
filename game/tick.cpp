#include <cmath>

#include "game/match.h"

namespace {

constexpr double kSideReboundFactor = 0.9;
constexpr std::int32_t kGoalFlash = 100;
constexpr double kSpeedLimit = 30.0;
constexpr double kSpeedReduction = 0.8;

// Repeated multiplications, one rounding each, not a single power of the factor.
double LimitSpeed(double velocity) {
    while (std::fabs(velocity) > kSpeedLimit) {
        velocity = velocity * kSpeedReduction;
    }
    return velocity;
}

}  // namespace

void StepMatch(MatchState& state) {
    Ball& ball = state.ball;
    Player& user = state.players[kUserPlayer];
    Player& computer = state.players[kComputerPlayer];
    const std::int32_t width = state.geometry.width;
    const std::int32_t height = state.geometry.height;

    const std::int32_t aiDivisor = state.hardMode != 0 ? 3 : 4;

    // The computer's disc closes a fixed share of the sideways gap to where the ball is before
    // this tick's move.
    const double ballHalf = ball.size / 2;
    const double discHalf = computer.size / 2;
    computer.x = ((((ballHalf + ball.x) - discHalf) - computer.x) / aiDivisor) + computer.x;

    ball.x = ball.x + ball.vx;
    ball.y = ball.y + ball.vy;

    if (state.recoilTicks > 0) {
        user.x = user.x + user.vx;
        user.y = user.y + user.vy;
    }

    if (ball.active == 0) {
        return;
    }

    const double rightLimit = width - ball.size;
    if (ball.x < 0.0 || ball.x > rightLimit) {
        // Only the horizontal move is taken back; the vertical one stands.
        ball.x = ball.x - ball.vx;
        if (ball.x < 0.0) {
            ball.x = 0.0;
        }
        if (ball.x > rightLimit) {
            ball.x = rightLimit;
        }
        ball.vx = (-ball.vx) * kSideReboundFactor;
        ball.vy = ball.vy * kSideReboundFactor;
    }

    const double bottomLimit = height - ball.size;
    bool goal = false;
    if (ball.y < 0.0) {
        user.score = user.score + 1;
        goal = true;
    } else if (ball.y > bottomLimit) {
        computer.score = computer.score + 1;
        goal = true;
    }
    if (goal) {
        state.scoreFlash = kGoalFlash;
        ResetKickoff(state);
    }

    CollideBallWithUser(state);

    ball.vx = LimitSpeed(ball.vx);
    ball.vy = LimitSpeed(ball.vy);
}

void RunGameTick(MatchState& state) {
    if (state.recoilTicks > 0) {
        state.recoilTicks = state.recoilTicks - 1;
    }
    StepMatch(state);
    CollideBallWithComputer(state);
}
