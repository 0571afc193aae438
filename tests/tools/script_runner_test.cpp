#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/tools/script_run.h"

using tarvel_test::RunScript;
using tarvel_test::ScriptRun;

TEST(Simulator, ShortScriptGivesTheExactState) {
    const ScriptRun run = RunScript(
        "# the stylus worked example\n"
        "\n"
        "start 240 320\r\n"
        "  move 201 300\n"
        "move 201 300\n"
        "hard\n"
        "tick\n"
        "dump\n");
    ASSERT_EQ(run.status, kScriptOk) << run.err;
    EXPECT_EQ(run.err, "");
    // After the two moves the disc is at (157.75, 264) with velocity (83, -12); the tick moves
    // the computer's disc a third of the way (hard mode) toward a centred ball: it stays.
    EXPECT_EQ(run.out,
              "{\"geometry\":{\"width\":240,\"height\":320,\"goalDepth\":8},\"players\":[{\"x\":"
              "157.75,\"y\":264,\"vx\":83,\"vy\":-12,\"size\":47,\"score\":0,\"colour\":[150,0,"
              "150]},{\"x\":97,\"y\":0,\"vx\":0,\"vy\":0,\"size\":47,\"score\":0,\"colour\":[200,"
              "100,0]}],\"ball\":{\"x\":113,\"y\":160,\"vx\":0,\"vy\":0,\"active\":1,\"size\":15,"
              "\"colour\":[200,50,100]},\"scoreFlash\":0,\"recoilTicks\":0,\"lastStylusX\":157,"
              "\"lastStylusY\":264,\"hardMode\":1,\"initialised\":1}\n");
}

// As in the program, the stylus may move before the first paint.
TEST(Simulator, AMoveBeforeTheStartWorksOnTheEmptyRecord) {
    const ScriptRun run = RunScript("move 0 0\ndump\n");
    ASSERT_EQ(run.status, kScriptOk);
    EXPECT_EQ(RunScript("move 0 0\nmove +65535 +65535\n").status, kScriptOk) << "a step from 0";
    EXPECT_NE(run.out.find("\"initialised\":0"), std::string::npos);
    EXPECT_NE(run.out.find("\"players\":[{\"x\":0,\"y\":0,\"vx\":0"), std::string::npos);
}

TEST(Simulator, RefusesBadLinesWithTheirNumberAndStopsThere) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"start 240 320\nfly\n", "2: unknown command 'fly'"},
        {"tick\n", "1: 'tick' before 'start': the game timer runs only after the first paint"},
        {"start 240 320\n\nstart 240 320\n", "3: 'start' may be given only once"},
        {"start 0 320\n", "1: width '0' is out of range 1..65535"},
        {"start 240 65536\n", "1: height '65536' is out of range 1..65535"},
        {"start 240 320\ntick 1000001\n", "2: tick count '1000001' is out of range 1..1000000"},
        {"move -1 5\n", "1: a move by steps needs a move before it"},
        {"move 5 5\nmove -6 +0\n", "2: the move goes to -1, 5, off 0..65535"},
        {"move 5 5\nmove +0 -6\n", "2: the move goes to 5, -1, off 0..65535"},
        {"move 5 5\nmove +65531 +0\n", "2: the move goes to 65536, 5, off 0..65535"},
        {"move 5 5\nmove +- 1\n", "2: x must be a whole number, not '+-'"},
        {"move 5 5\nmove 1 +\n", "2: y must be a whole number, not '+'"},
        {"move 5 5\nmove 1 +70000\n",
         "2: y step '+70000' must be a whole number of -65535..+65535"},
        {"move 5 99999999999999999999999\n",
         "1: y '99999999999999999999999' is out of range 0..65535"},
        {"move 1.5 2\n", "1: x must be a whole number, not '1.5'"},
        {"move 0x10 2\n", "1: x must be a whole number, not '0x10'"},
        {"start 240\n", "1: 'start' takes a width and a height, got 1 argument"},
        {"start 240 320 5\n", "1: 'start' takes a width and a height, got 3 arguments"},
        {"dump now\n", "1: 'dump' takes no arguments, got 1 argument"},
        {"tick 1 2\n", "1: 'tick' takes an optional number of ticks, got 2 arguments"},
        {"hard\x1f\x7f\n", "1: unknown command 'hard?\?'"},
        {"check 0\n", "1: 'check' takes a tick count and a digest, got 1 argument"},
        {"check 0 0123456789abcdef x\n",
         "1: 'check' takes a tick count and a digest, got 3 arguments"},
        {"check -1 0123456789abcdef\n", "1: tick count '-1' is out of range 0..1728000"},
        {"check 0 12345678abcdef0g\n",
         "1: a digest is 16 hexadecimal digits, not '12345678abcdef0g'"},
        {"check 0 0123\n", "1: a digest is 16 hexadecimal digits, not '0123'"},
        {"start 48 64\nplay 2\ncheck 3 0000000000000000\n",
         "3: 'check' names tick 3, but the match is at tick 2"},
        {"play\n", "1: 'play' before 'start': the game timer runs only after the first paint"},
        // Frames it cannot paint.
        {"frame\n", "1: 'frame' before 'start': there is no window to paint yet"},
        {"start 30000 30000\n",
         "1: a 30000 x 30000 window is too large to paint (at most 16384 "
         "pixels a side and 67108864 pixels in all)"},
        {"start 1 16385\n",
         "1: a 1 x 16385 window is too large to paint (at most 16384 pixels a "
         "side and 67108864 pixels in all)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        const ScriptRun run = RunScript(c.script);
        EXPECT_EQ(run.status, kScriptRefused);
        EXPECT_EQ(run.err, "tarvel-sim: line " + std::string(c.error) + "\n");
        EXPECT_EQ(run.out, "");
    }
}

TEST(Simulator, OutputBeforeARefusalIsWholeLinesOnly) {
    const ScriptRun run = RunScript("start 48 64\ndump\ntick 3\ndump\nmove 1 2 3\ndump\n");
    EXPECT_EQ(run.status, kScriptRefused);
    EXPECT_EQ(run.err, "tarvel-sim: line 5: 'move' takes an x and a y, got 3 arguments\n");
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.back(), '\n');
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
}

TEST(SimulatorFrames, FrameIsPaintedAndSavedAtThePitchSize) {
    const std::string path = testing::TempDir() + "tarvel sim frame.png";
    std::remove(path.c_str());
    const ScriptRun run = RunScript("start 240 294\nframe  " + path + " \t \ndump\n");
    ASSERT_EQ(run.status, kScriptOk) << run.err;

    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 240);
    EXPECT_EQ(cairo_image_surface_get_height(png), 294);
    // The ball's highlight, 8 pixels in from its kick-off corner (113, 147).
    const unsigned char* data = cairo_image_surface_get_data(png);
    std::uint32_t pixel;
    std::memcpy(&pixel, data + 155 * cairo_image_surface_get_stride(png) + 121 * 4, 4);
    EXPECT_EQ(pixel & 0xFFFFFF, 0xFAFAC8u);
    cairo_surface_destroy(png);
    std::remove(path.c_str());
    // The painter stored the goal depth; painting a frame lowers nothing at flash 0.
    EXPECT_NE(run.out.find("\"goalDepth\":8"), std::string::npos);
}

TEST(SimulatorFrames, RefusesAFrameItCannotSave) {
    const ScriptRun unwritable = RunScript("start 48 64\nframe\nframe /nonexistent/dir/f.png\n");
    EXPECT_EQ(unwritable.status, kScriptRefused);
    EXPECT_EQ(unwritable.err.rfind("tarvel-sim: line 3: ", 0), 0u) << unwritable.err;
    EXPECT_NE(unwritable.err.find("/nonexistent/dir/f.png"), std::string::npos);
}
