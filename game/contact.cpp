#include <cmath>

#include "game/match.h"

namespace {

constexpr double kSeparationStep = 0.5;
constexpr double kTransferFactor = 0.9;
constexpr double kRecoilShare = 0.5;
constexpr double kMinimumKick = 8.0;
constexpr std::int32_t kRecoilCount = 3;

struct Centre {
    double x;
    double y;
};

Centre BallCentre(const Ball& ball) {
    const double half = ball.size / 2;
    return {half + ball.x, half + ball.y};
}

Centre DiscCentre(const Player& disc) {
    const double half = disc.size / 2;
    return {disc.x + half, disc.y + half};
}

double Distance(Centre from, Centre to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Half the summed diameters, halved in integers: 47 and 15 give 31, not 23 + 7.
double ContactRadius(const Ball& ball, const Player& disc) {
    return (disc.size + ball.size) / 2;
}

bool Touches(const Ball& ball, const Player& disc) {
    return Distance(DiscCentre(disc), BallCentre(ball)) < ContactRadius(ball, disc);
}

// Normal and tangential parts of a velocity along the unit normal (nx, ny), in the order the
// rules fix them.
struct Components {
    double normal;
    double tangential;
};

Components Split(double vx, double vy, double nx, double ny) {
    return {vy * ny + vx * nx, vy * nx - vx * ny};
}

struct Normal {
    double x;
    double y;
};

// Unit vector from the disc's centre toward the ball's centre; the reciprocal is formed first.
Normal ContactNormal(const Ball& ball, const Player& disc, double distance) {
    const Centre ballCentre = BallCentre(ball);
    const Centre discCentre = DiscCentre(disc);
    const double dx = ballCentre.x - discCentre.x;
    const double dy = ballCentre.y - discCentre.y;
    const double reciprocal = 1.0 / distance;
    return {dx * reciprocal, dy * reciprocal};
}

}  // namespace

double SeparateBallFromPlayer(MatchState& state, int playerIndex) {
    if (playerIndex == kUserPlayer) {
        state.recoilTicks = kRecoilCount;
    }
    Ball& ball = state.ball;
    const Player& disc = state.players[playerIndex];
    const Centre discCentre = DiscCentre(disc);
    const double radius = ContactRadius(ball, disc);

    // The push direction comes from the top-left corners, not the centres, and cannot change
    // during the loop: the ball walks along one fixed diagonal until it is clear.
    double distance = Distance(discCentre, BallCentre(ball));
    while (distance < radius) {
        const double nextX = ball.x > disc.x ? ball.x + kSeparationStep : ball.x - kSeparationStep;
        const double nextY = ball.y > disc.y ? ball.y + kSeparationStep : ball.y - kSeparationStep;
        if (nextX == ball.x && nextY == ball.y) {
            // At magnitudes where half a pixel no longer changes a double the ball can never get
            // clear; stop rather than spin forever.
            break;
        }
        ball.x = nextX;
        ball.y = nextY;
        distance = Distance(discCentre, BallCentre(ball));
    }
    return distance;
}

void CollideBallWithComputer(MatchState& state) {
    Ball& ball = state.ball;
    const Player& computer = state.players[kComputerPlayer];
    if (!Touches(ball, computer)) {
        return;
    }
    ball.x = ball.x - ball.vx;
    ball.y = ball.y - ball.vy;
    const double distance = SeparateBallFromPlayer(state, kComputerPlayer);
    const Normal n = ContactNormal(ball, computer, distance);
    const Components b = Split(ball.vx, ball.vy, n.x, n.y);
    const Components c = Split(computer.vx, computer.vy, n.x, n.y);

    ball.vx = (c.normal * n.x) * kTransferFactor - b.tangential * n.y;
    ball.vy = kMinimumKick - ((c.tangential * n.x) + (b.normal * n.y) * kTransferFactor);
    if (ball.vy < kMinimumKick) {
        ball.vy = kMinimumKick;
    }
}

void CollideBallWithUser(MatchState& state) {
    Ball& ball = state.ball;
    Player& user = state.players[kUserPlayer];
    if (!Touches(ball, user)) {
        return;
    }
    // Both bodies step back by one tick of their velocities, whatever moved them this tick.
    ball.x = ball.x - ball.vx;
    ball.y = ball.y - ball.vy;
    user.x = user.x - user.vx;
    user.y = user.y - user.vy;
    const double distance = SeparateBallFromPlayer(state, kUserPlayer);
    const Normal n = ContactNormal(ball, user, distance);
    const Components b = Split(ball.vx, ball.vy, n.x, n.y);
    const Components u = Split(user.vx, user.vy, n.x, n.y);

    ball.vx = (u.normal * n.x) * kTransferFactor - b.tangential * n.y;
    ball.vy = (u.normal * n.y) * kTransferFactor + b.tangential * n.x;
    user.vx = ((b.normal * n.x) * kTransferFactor - u.tangential * n.y) * kRecoilShare;
    user.vy = (u.tangential * n.x + (b.normal * n.y) * kTransferFactor) * kRecoilShare;
}
