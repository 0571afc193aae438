// The single record of one match: pitch size, the two discs, the ball, the scores and the few
// counters the rules need. Plain data; it starts zero-filled and lives for the whole run.
#pragma once

#include <cstdint>

struct Rgb {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct PitchGeometry {
    std::int32_t width;
    std::int32_t height;
    // Depth of each goal band; written by the pitch painter, 0 until the background is painted.
    std::int32_t goalDepth;
};

// Positions are the top-left corner of the bounding square; velocities are pixels per tick.
struct Player {
    double x;
    double y;
    double vx;
    double vy;
    std::int32_t size;
    std::int32_t score;
    Rgb colour;
};

struct Ball {
    double x;
    double y;
    double vx;
    double vy;
    std::int32_t active;
    std::int32_t size;
    Rgb colour;
};

inline constexpr int kUserPlayer = 0;      // the lower disc, steered by the stylus
inline constexpr int kComputerPlayer = 1;  // the upper disc, steered by the chase rule

struct MatchState {
    PitchGeometry geometry;
    Player players[2];
    Ball ball;
    std::int32_t scoreFlash;
    std::int32_t recoilTicks;
    std::int32_t lastStylusX;
    std::int32_t lastStylusY;
    std::int32_t hardMode;
    std::int32_t initialised;
};

// Every size of the game follows from the pitch width alone, in truncating integer arithmetic.
constexpr std::int32_t BallSizeForWidth(std::int32_t width) {
    return 31 * width / 480;
}
constexpr std::int32_t DiscSizeForWidth(std::int32_t width) {
    return 95 * width / 480;
}
constexpr std::int32_t GoalDepthForWidth(std::int32_t width) {
    return 16 * width / 480;
}
// How far above the stylus tip the user's disc aims.
constexpr std::int32_t StylusLiftForWidth(std::int32_t width) {
    return 32 * width / 480;
}

inline constexpr Rgb kBallColour{200, 50, 100};
inline constexpr Rgb kUserDiscColour{150, 0, 150};
inline constexpr Rgb kComputerDiscColour{200, 100, 0};
