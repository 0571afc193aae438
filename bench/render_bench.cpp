// The cost of a frame against its floor: a frame is at least two whole-surface copies (background
// to frame, frame to window), so PaintFrame is measured beside two plain memcpy calls of a
// surface of the same size, in the same run.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cstring>
#include <vector>

#include "game/match.h"
#include "platform/gdi/surface_dc.h"
#include "render/frame_painter.h"
#include "render/pitch_painter.h"

namespace {

int HeightFor(int width) {
    return width * 4 / 3;
}

void BM_PaintFrame(benchmark::State& bench) {
    const int width = static_cast<int>(bench.range(0));
    const int height = HeightFor(width);
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    MatchState state{};
    PaintResources resources{};
    state.initialised = 1;
    StartMatch(state, width, height);
    const HDC paint = platform::CreateSurfaceDC(window);
    PaintPitchBackground(state, resources, paint, 0, 0, width, height);
    state.players[0].score = 12;
    state.players[1].score = 7;
    for (auto _ : bench) {
        // Ticks move the bodies, so each frame draws them somewhere new.
        RunGameTick(state);
        PaintFrame(state, resources, paint);
        state.scoreFlash = 60;  // keep the digits' colour changing as after a goal
    }
    DeleteDC(paint);
    DeleteDC(resources.frameSurface);
    DeleteDC(resources.backgroundSurface);
    DeleteObject(resources.currentBrush);
    cairo_surface_destroy(window);
}
BENCHMARK(BM_PaintFrame)->Arg(480)->Arg(240)->Unit(benchmark::kMicrosecond);

void BM_TwoSurfaceCopies(benchmark::State& bench) {
    const int width = static_cast<int>(bench.range(0));
    const std::size_t bytes = static_cast<std::size_t>(width) * HeightFor(width) * 4;
    std::vector<unsigned char> background(bytes, 1);
    std::vector<unsigned char> frame(bytes, 2);
    std::vector<unsigned char> window(bytes, 3);
    for (auto _ : bench) {
        std::memcpy(frame.data(), background.data(), bytes);
        benchmark::ClobberMemory();
        std::memcpy(window.data(), frame.data(), bytes);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TwoSurfaceCopies)->Arg(480)->Arg(240)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
