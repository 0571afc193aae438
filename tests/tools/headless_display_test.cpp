// The simulator's display gives back every drawing object it made when it goes, including the
// bitmaps and the brush that the program itself leaves to the end of the process: one process
// may run many simulations (tests, the fuzzer).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "game/match.h"
#include "platform/gdi/gdi_debug.h"
#include "tools/headless_display.h"
#include "tools/script_runner.h"

namespace {

TEST(HeadlessDisplay, LeavesNoDrawingObjectsBehind) {
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    {
        MatchState state{};
        HeadlessDisplay display;
        std::string error;
        ASSERT_TRUE(display.FirstPaint(state, 64, 48, &error)) << error;
        RunGameTick(state);
        ASSERT_TRUE(display.Paint(state, "", &error)) << error;
        const platform::GdiObjectCounts painting = platform::LiveGdiObjects();
        EXPECT_EQ(painting.deviceContexts, before.deviceContexts + 2) << "the two surfaces";
        EXPECT_EQ(painting.bitmaps, before.bitmaps + 2);
    }
    EXPECT_EQ(platform::LiveGdiObjects(), before);
}

TEST(HeadlessDisplay, RepeatedScriptsDoNotPileUpObjects) {
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    for (const char* script : {"start 64 48\nframe\ntick 30\nframe\n",
                               "start 32 32\nstart 10 10\n",  // refused on line 2
                               "start 48 64\nhard\ntick 5\n"}) {
        std::istringstream in(script);
        std::ostringstream out;
        std::ostringstream err;
        RunSimulatorScript(in, out, err);
        EXPECT_EQ(platform::LiveGdiObjects(), before) << script;
    }
}

}  // namespace
