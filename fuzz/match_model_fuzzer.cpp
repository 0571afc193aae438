// Fuzzes the match model: any screen from 1 x 1 to 4096 x 4096, then any interleaving of game
// ticks, stylus moves anywhere in the 16-bit range, new games and difficulty toggles. After every
// step each position and velocity must be finite, and after each match step the ball's speed
// limit must hold. A push-out loop that never ends shows up as a libFuzzer timeout.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/byte_reader.h"
#include "game/match.h"

namespace {

// Enough ticks for goals, recoils and long chases, few enough to keep one input fast.
constexpr int kMaxTicksPerInput = 20000;
constexpr double kSpeedLimit = 30.0;

[[noreturn]] void Fail(const char* what, const MatchState& state) {
    const Ball& b = state.ball;
    const Player& u = state.players[kUserPlayer];
    const Player& c = state.players[kComputerPlayer];
    std::fprintf(stderr,
                 "match model: %s\n  pitch %d x %d, goal depth %d\n"
                 "  ball (%.17g, %.17g) v (%.17g, %.17g) size %d\n"
                 "  user (%.17g, %.17g) v (%.17g, %.17g) size %d\n"
                 "  computer (%.17g, %.17g) v (%.17g, %.17g) size %d\n",
                 what, state.geometry.width, state.geometry.height, state.geometry.goalDepth, b.x,
                 b.y, b.vx, b.vy, b.size, u.x, u.y, u.vx, u.vy, u.size, c.x, c.y, c.vx, c.vy,
                 c.size);
    std::abort();
}

void RequireFinite(const MatchState& state, const char* after) {
    const Ball& b = state.ball;
    bool finite =
        std::isfinite(b.x) && std::isfinite(b.y) && std::isfinite(b.vx) && std::isfinite(b.vy);
    for (const Player& p : state.players) {
        finite = finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.vx) &&
                 std::isfinite(p.vy);
    }
    if (!finite) {
        Fail(after, state);
    }
}

// One timer tick in the order the main window runs it, checking between the pieces.
void CheckedTick(MatchState& state) {
    if (state.recoilTicks > 0) {
        state.recoilTicks = state.recoilTicks - 1;
    }
    StepMatch(state);
    RequireFinite(state, "not finite after StepMatch");
    // An inactive ball leaves the step before the speed limit; after a kick-off it is active.
    if (state.ball.active != 0 &&
        (std::fabs(state.ball.vx) > kSpeedLimit || std::fabs(state.ball.vy) > kSpeedLimit)) {
        Fail("ball over the speed limit after StepMatch", state);
    }
    CollideBallWithComputer(state);
    RequireFinite(state, "not finite after CollideBallWithComputer");
}

enum Operation : std::uint8_t { kTick, kTicks, kStylusMove, kNewGame, kToggleDifficulty, kCount };

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader input(data, size);
    const int width = input.InRange(1, 4096);
    const int height = input.InRange(1, 4096);

    // The first paint: the match starts, then the pitch painter stores the goal depth that every
    // later kick-off uses.
    MatchState state{};
    state.initialised = 1;
    StartMatch(state, width, height);
    state.geometry.goalDepth = GoalDepthForWidth(width);
    RequireFinite(state, "not finite after StartMatch");

    int ticks = 0;
    while (!input.empty() && ticks < kMaxTicksPerInput) {
        switch (input.Byte() % kCount) {
            case kTick:
                CheckedTick(state);
                ++ticks;
                break;
            case kTicks:
                for (int n = 1 + input.Byte(); n > 0 && ticks < kMaxTicksPerInput; --n) {
                    CheckedTick(state);
                    ++ticks;
                }
                break;
            case kStylusMove: {
                const std::uint16_t x = input.Word();
                const std::uint16_t y = input.Word();
                OnStylusMove(state, x, y);
                RequireFinite(state, "not finite after OnStylusMove");
                break;
            }
            case kNewGame:
                NewGame(state);
                RequireFinite(state, "not finite after NewGame");
                break;
            case kToggleDifficulty:
                state.hardMode = state.hardMode != 0 ? 0 : 1;
                break;
            default:
                break;
        }
    }
    return 0;
}
