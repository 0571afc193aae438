// The cost of a frame against its floor: a frame is at least two whole-surface copies (background
// to frame, frame to window), so PaintFrame is measured beside two plain memcpy calls of a
// surface of the same size, in the same run.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "game/match.h"
#include "platform/gdi/surface_dc.h"
#include "platform/window/screen_damage.h"
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

// Finding what changed on the screen, once a frame: a window's rows copied over the screen shown
// last where they differ, with a square the size of a player's disc moved as a frame moves it.
void BM_CopyChangedWords(benchmark::State& bench) {
    const int width = static_cast<int>(bench.range(0));
    const int height = HeightFor(width);
    std::vector<std::uint32_t> window(static_cast<std::size_t>(width) * height, 0x00336633u);
    std::vector<std::uint32_t> shown = window;
    const int side = width / 8;
    int x = 0;
    for (auto _ : bench) {
        for (int y = side; y < 2 * side; ++y) {
            std::uint32_t* row = window.data() + static_cast<std::size_t>(y) * width;
            std::fill(row + x, row + x + side, 0x00336633u);
            std::fill(row + x + 3, row + x + 3 + side, 0x00FFFFFFu);
        }
        x = (x + 3) % (width - side - 3);
        platform::ScreenDamage changed(width, height);
        for (int y = 0; y < height; ++y) {
            const std::size_t start = static_cast<std::size_t>(y) * width;
            const auto [begin, end] =
                platform::CopyChangedWords(window.data() + start, shown.data() + start, width);
            changed.Add(y, begin, end);
        }
        benchmark::DoNotOptimize(changed.Empty());
    }
}
BENCHMARK(BM_CopyChangedWords)->Arg(480)->Arg(240)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
