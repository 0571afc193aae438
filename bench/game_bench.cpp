// The cost of the match model: a whole game tick in play, and the match step alone.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "game/match.h"

namespace {

MatchState StartedMatch(int width, int height) {
    MatchState state{};
    state.initialised = 1;
    StartMatch(state, width, height);
    state.geometry.goalDepth = GoalDepthForWidth(width);
    return state;
}

// A player's input between ticks: about one stylus move per tick, steering toward the ball, as
// a pointer sends them at 20 to 60 moves a second.
struct StylusMove {
    std::uint16_t dx;
    std::uint16_t dy;
    bool moves;
};

std::vector<StylusMove> PlayerInput(std::size_t count) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> jitter(0, 20);
    std::vector<StylusMove> input(count);
    for (StylusMove& move : input) {
        move = {static_cast<std::uint16_t>(jitter(random)),
                static_cast<std::uint16_t>(jitter(random)), jitter(random) < 15};
    }
    return input;
}

void BM_GameTickInPlay(benchmark::State& bench) {
    const int width = static_cast<int>(bench.range(0));
    const int height = width * 4 / 3 - width / 10;
    MatchState state = StartedMatch(width, height);
    const std::vector<StylusMove> input = PlayerInput(4096);
    std::size_t i = 0;
    for (auto _ : bench) {
        const StylusMove& move = input[i++ & 4095];
        if (move.moves) {
            const double x = state.ball.x + state.ball.size / 2 + move.dx - 10;
            const double y = state.ball.y + state.ball.size + move.dy;
            OnStylusMove(state, static_cast<std::uint16_t>(x < 0 ? 0 : x),
                         static_cast<std::uint16_t>(y < 0 ? 0 : y));
        }
        RunGameTick(state);
        benchmark::DoNotOptimize(state);
    }
    bench.counters["goals"] = state.players[0].score + state.players[1].score;
}
BENCHMARK(BM_GameTickInPlay)->Arg(240)->Arg(480);

void BM_StepMatch(benchmark::State& bench) {
    MatchState state = StartedMatch(480, 588);
    state.ball.vx = 7.25;
    state.ball.vy = -3.5;
    for (auto _ : bench) {
        StepMatch(state);
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(BM_StepMatch);

}  // namespace

BENCHMARK_MAIN();
