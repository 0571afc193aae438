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
    HeadlessProgram game({240, 320});
    const platform::GdiObjectCounts atStart = platform::LiveGdiObjects();
    std::vector<Sample> samples;

    game.At(kPeriod / 2, [&] {
        game.backend().PointerDown(120, 280);
        ChaseBall(game, kPeriod / 2);
    });
    // Samples fall half-way between two ticks, so each one sees whole ticks only.
    for (std::int64_t tick = kSampleEvery; tick <= kTicks; tick += kSampleEvery) {
        game.At(
            static_cast<platform::Millis>(tick) * kPeriod + kPeriod / 2, [&game, &samples, tick] {
                samples.push_back({tick, platform::LiveGdiObjects(), platform::LiveLocalBlocks(),
                                   ResidentKb(), game.backend().Presents()});
            });
    }
    int goals = 0;
    game.At(static_cast<platform::Millis>(kTicks) * kPeriod + kPeriod, [&] {
        goals = game.match().players[0].score + game.match().players[1].score;
        game.backend().PressControlKey('Q');
    });
    ASSERT_EQ(game.Run(), 0);

    ASSERT_EQ(samples.size(), static_cast<std::size_t>(kTicks / kSampleEvery));
    const Sample& first = samples.front();
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        SCOPED_TRACE("at tick " + std::to_string(s.tick));
        EXPECT_EQ(s.objects, first.objects);
        EXPECT_EQ(s.localBlocks, first.localBlocks);
        EXPECT_EQ(s.presents - samples[i - 1].presents, kSampleEvery)
            << "one tick, and so one painted frame, every 50 ms";
    }
    const Sample& last = samples.back();
    EXPECT_LE(last.residentKb - first.residentKb, kRssSlackKb);
    EXPECT_GT(goals, 0) << "the chase never reached the ball";

    // What the program leaves to the end of the process, and nothing more.
    const platform::GdiObjectCounts atEnd = platform::LiveGdiObjects();
    EXPECT_EQ(atEnd.bitmaps, atStart.bitmaps + 2);
    EXPECT_EQ(atEnd.brushes, atStart.brushes + 1);
    EXPECT_EQ(atEnd.deviceContexts, atStart.deviceContexts);
    EXPECT_EQ(atEnd.pens, atStart.pens);
    EXPECT_EQ(atEnd.fonts, atStart.fonts);

    testing::Test::RecordProperty("ticks", std::to_string(kTicks));
    testing::Test::RecordProperty("goals", std::to_string(goals));
    testing::Test::RecordProperty("rss_kb_at_100k", std::to_string(first.residentKb));
    testing::Test::RecordProperty("rss_kb_at_1m", std::to_string(last.residentKb));
    std::printf(
        "soak: %lld ticks, %d goals; RSS %ld kB at tick %lld, %ld kB at tick %lld; "
        "%zu DCs, %zu bitmaps, %zu brushes, %zu pens, %zu fonts alive throughout\n",
        static_cast<long long>(kTicks), goals, first.residentKb, static_cast<long long>(first.tick),
        last.residentKb, static_cast<long long>(last.tick), first.objects.deviceContexts,
        first.objects.bitmaps, first.objects.brushes, first.objects.pens, first.objects.fonts);
}

}  // namespace
