#include "game/match.h"
#include "game/numeric.h"

void OnStylusMove(MatchState& state, std::uint16_t px, std::uint16_t py) {
    const std::int32_t width = state.geometry.width;
    const std::int32_t height = state.geometry.height;
    Player& disc = state.players[kUserPlayer];

    // The aim point sits a little above the tip, and never above the halfway level.
    std::int32_t sy = py;
    if (sy < height / 2) {
        sy = height / 2;
    }
    sy = sy - StylusLiftForWidth(width);

    if (state.recoilTicks != 0) {
        // While recoiling the disc drifts and ignores where the stylus is.
        disc.x = disc.x + disc.vx;
        disc.y = disc.y + disc.vy;
        return;
    }

    const std::int32_t half = disc.size / 2;
    const double targetX = static_cast<std::int32_t>(px) - half;
    disc.x = (targetX - disc.x) * 0.5 + disc.x;
    const double targetY = sy - half;
    disc.y = (targetY - disc.y) * 0.5 + disc.y;

    // Only the x of the last position says whether there is one.
    if (state.lastStylusX >= 0) {
        disc.vx = (disc.x - state.lastStylusX) * 4.0;
        disc.vy = (disc.y - state.lastStylusY) * 4.0;
    }
    state.lastStylusX = TruncateToInt32(disc.x);
    state.lastStylusY = TruncateToInt32(disc.y);
}
