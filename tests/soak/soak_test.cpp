// A long game: the whole program, headless on a 240 x 320 screen, plays a million ticks (almost
// fourteen hours of game time) with the stylus chasing the ball and every tick painted. Nothing it
// holds may grow: the drawing objects alive stay the same, the process's memory stays put, and
// the game timer delivers exactly one tick, and so one painted frame, every 50 ms to the end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/gdi/gdi_debug.h"
#include "tests/app/headless_program.h"

namespace {

constexpr std::int64_t kTicks = 1'000'000;
constexpr std::int64_t kSampleEvery = 100'000;
constexpr platform::Millis kPeriod = kGameTimerPeriodMs;
// The stylus follows the ball every few ticks, as a hand would.
constexpr platform::Millis kChaseEvery = 3 * kPeriod;
// Allocator slack between the first sample and the last; a leak of even a few bytes a tick would
// pass this many times over.
constexpr long kRssSlackKb = 4096;

// Resident memory of this process, from /proc/self/status.
long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

struct Sample {
    std::int64_t tick;
    platform::GdiObjectCounts objects;
    std::size_t localBlocks;
    long residentKb;
    int presents;
    std::int64_t timerTicks;
};

// The game timer as the loop hands it out: how many ticks, and any that broke the 50 ms grid.
struct TimerWatch {
    std::int64_t ticks = 0;
    platform::Millis lastDue = 0;
    std::int64_t offGrid = 0;
    std::int64_t late = 0;

    void Taken(const platform::TimerTaken& timer) {
        if (timer.id != GAME_TIMER_ID) {
            return;
        }
        if (ticks > 0 && timer.due != lastDue + kPeriod) {
            ++offGrid;
        }
        // The headless clock only moves when the loop waits, so a tick is taken when it is due.
        if (timer.taken != timer.due) {
            ++late;
        }
        lastDue = timer.due;
        ++ticks;
    }
};

// Moves the stylus to just below the ball, so the disc keeps running into it, then comes back
// later to do it again.
void ChaseBall(HeadlessProgram& game, platform::Millis now) {
    const MatchState& match = game.match();
    const int width = match.geometry.width;
    const int height = match.geometry.height;
    const int ballCentreX = static_cast<int>(match.ball.x) + match.ball.size / 2;
    const int ballCentreY = static_cast<int>(match.ball.y) + match.ball.size / 2;
    // The disc aims above the tip by the stylus lift; aim its centre a little below the ball.
    const int aimY = ballCentreY + StylusLiftForWidth(width) + match.players[kUserPlayer].size / 3;
    game.backend().PointerMove(std::clamp(ballCentreX, 0, width - 1),
                               std::clamp(aimY, 0, height - 1));
    game.At(now + kChaseEvery, [&game, now] { ChaseBall(game, now + kChaseEvery); });
}

TEST(Soak, AMillionTicksHoldObjectsMemoryAndTheTimerSteady) {
    TimerWatch timer;  // outlives the program that reports to it
    HeadlessProgram game;
    game.windows().ObserveTimers([&](const platform::TimerTaken& t) { timer.Taken(t); });
    std::vector<Sample> samples;

    game.At(kPeriod / 2, [&] {
        game.backend().PointerDown(120, 280);
        ChaseBall(game, kPeriod / 2);
    });
    // Samples fall half-way between two ticks, so each one sees whole ticks only.
    for (std::int64_t tick = kSampleEvery; tick <= kTicks; tick += kSampleEvery) {
        game.At(static_cast<platform::Millis>(tick) * kPeriod + kPeriod / 2, [&game, &samples,
                                                                              &timer, tick] {
            samples.push_back({tick, platform::LiveGdiObjects(), platform::LiveLocalBlocks(),
                               ResidentKb(), game.backend().Presents(), timer.ticks});
        });
    }
    int goals = 0;
    const platform::Millis end = static_cast<platform::Millis>(kTicks) * kPeriod + kPeriod;
    game.At(end, [&] {
        goals = game.match().players[0].score + game.match().players[1].score;
        game.backend().PressControlKey('Q');
    });
    ASSERT_EQ(game.Run(end + kPeriod), 0);

    ASSERT_EQ(samples.size(), static_cast<std::size_t>(kTicks / kSampleEvery));
    const Sample& first = samples.front();
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        SCOPED_TRACE("at tick " + std::to_string(s.tick));
        EXPECT_EQ(s.objects, first.objects);
        EXPECT_EQ(s.localBlocks, first.localBlocks);
        EXPECT_EQ(s.timerTicks - samples[i - 1].timerTicks, kSampleEvery)
            << "one game tick every 50 ms";
        EXPECT_EQ(s.presents - samples[i - 1].presents, kSampleEvery)
            << "every tick painted and shown";
    }
    EXPECT_EQ(timer.offGrid, 0) << "ticks off the 50 ms grid";
    EXPECT_EQ(timer.late, 0) << "ticks taken after they were due";
    EXPECT_GE(timer.ticks, kTicks);
    const Sample& last = samples.back();
    EXPECT_LE(last.residentKb - first.residentKb, kRssSlackKb);
    EXPECT_GT(goals, 0) << "the chase never reached the ball";

    std::printf(
        "soak: %lld ticks, %d goals; RSS %ld kB at tick %lld, %ld kB at tick %lld; "
        "%zu DCs, %zu bitmaps, %zu brushes, %zu pens, %zu fonts alive throughout\n",
        static_cast<long long>(kTicks), goals, first.residentKb, static_cast<long long>(first.tick),
        last.residentKb, static_cast<long long>(last.tick), first.objects.deviceContexts,
        first.objects.bitmaps, first.objects.brushes, first.objects.pens, first.objects.fonts);
}

}  // namespace
