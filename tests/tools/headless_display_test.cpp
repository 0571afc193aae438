// The simulator's display gives back every drawing object it made when it goes, including the
// bitmaps and the brush that the program itself leaves to the end of the process: one process
// may run many simulations (tests, the fuzzer).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/gdi/gdi_debug.h"
#include "tools/script_runner.h"

namespace {

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
