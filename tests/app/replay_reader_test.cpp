// Reading a recording whole before it is shown: what a recorder writes is taken, and anything
// else is refused with its line, within bounds on size, line length and ticks.
#include "app/replay_reader.h"

#include <algorithm>
#include <string>

#include <gtest/gtest.h>

namespace {

const std::string kHead = "# tarvel-replay 1 tarvel 1.2 linux\n# screen 240 320\nstart 240 294\n";

}  // namespace

TEST(ReplayReader, TakesWhatARecorderWrites) {
    const ReplayReading reading = ReadReplay(
        "# tarvel-replay 1 tarvel 1.2 windows\r\n# screen 240 320\nmove 5 6\n"
        "start 240 294\nframe\nplay 19\nmove 10 20\ntick\nhard\ncheck 20 "
        "00000000000000ff\nnew\nplay 2\ncheck 22 ffffffffffffffff\n");
    ASSERT_TRUE(reading.ok) << reading.line << ": " << reading.reason;
    const Replay& replay = reading.replay;
    EXPECT_EQ(replay.screenWidth, 240);
    EXPECT_EQ(replay.screenHeight, 320);
    EXPECT_EQ(replay.screenLine, 2);
    EXPECT_EQ(replay.startWidth, 240);
    EXPECT_EQ(replay.startHeight, 294);
    ASSERT_EQ(replay.steps.size(), 9u);
    EXPECT_EQ(replay.steps[1].verb, ScriptVerb::kPlay);
    EXPECT_EQ(replay.steps[1].first, 19);
    EXPECT_EQ(replay.steps[5].digest, 0xffu);
    EXPECT_EQ(replay.steps[5].line, 10);
    EXPECT_EQ(replay.ticks, 22);
}

TEST(ReplayReader, RefusesAnythingElseWithItsLine) {
    struct Case {
        std::string text;
        std::int64_t line;
        std::string reason;
    };
    const std::string notARecording =
        "not a recording: its first line is not '# tarvel-replay VERSION ...'";
    const std::string noVersion =
        "a recording's first line names its format version: '# tarvel-replay VERSION ...'";
    const Case cases[] = {
        {"", 1, "the file is empty, not a recording"},
        {"\177ELF\x02\x01\n", 1, notARecording},
        {"start 240 294\n", 1, notARecording},
        {"#\n", 1, notARecording},
        {"#! tarvel-replay 1 x\n", 1, notARecording},
        {"# tarvel-replay 1000000 tarvel 9.0 linux\n", 1,
         "this recording is of format version 1000000, newer than the 1 this program reads"},
        {"# tarvel-replay 0\n", 1, noVersion},
        {"# tarvel-replay\n", 1, noVersion},
        {"# tarvel-replay 1000001\n", 1, noVersion},
        {"# tarvel-replay 1\nstart 240 294\n", 2,
         "the recording does not say its screen ('# screen W H') before 'start'"},
        {"# tarvel-replay 1 x\n#\nstart 240 294\n", 3,
         "the recording does not say its screen ('# screen W H') before 'start'"},
        {"# tarvel-replay 1 x\n# screen\n", 2,
         "the screen line is '# screen W H': 'start' takes a width and a height, got 0 arguments"},
        {"# tarvel-replay 1 x\n# screen 240 320\nplay\n", 3, "'play' before 'start'"},
        {"# tarvel-replay 1 x\n# screen 240 320\n", 2, "the recording ends before its 'start'"},
        {kHead + "play 3\ncheck 4 0000000000000000\n", 5,
         "'check' names tick 4, but the recording is at tick 3"},
        {kHead + "play 3\nche", 5, "the recording is cut short in this line"},
        {kHead + "dump \n", 4, "'dump' has no place in a recording"},
        {kHead + "move 5\n", 4, "'move' takes an x and a y, got 1 argument"},
        // A word is quoted back whole up to 40 bytes, cut short after.
        {kHead + std::string(40, 'w') + "\n", 4, "unknown command '" + std::string(40, 'w') + "'"},
        {kHead + std::string(41, 'w') + "\n", 4,
         "unknown command '" + std::string(40, 'w') + "...'"},
        {kHead + "frame /tmp/x.png\n", 4, "a recording's 'frame' saves no file"},
        {kHead + "start 240 294\n", 4, "'start' may be given only once"},
        {kHead + "move 1 " + std::string(5000, '1') + "\n", 4,
         "the line is longer than 4096 bytes"},
        {kHead + "play 1000000\ntick 728000\ntick\n", 6,
         "the script runs more than 1728000 ticks in all (a day of play)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        const ReplayReading reading = ReadReplay(c.text);
        EXPECT_FALSE(reading.ok);
        EXPECT_EQ(reading.line, c.line);
        EXPECT_EQ(reading.reason, c.reason);
    }
}

TEST(ReplayReader, TakesUpTo16MiBAndNotAByteMore) {
    // Lines of 4096 bytes, the longest, up to where one more ends the script at 16 MiB exactly.
    std::string text = kHead;
    const std::string line = "# " + std::string(4094, 'x') + "\n";
    const std::size_t lastStart = 16 * 1024 * 1024 - 4096;
    while (text.size() + line.size() <= lastStart) {
        text += line;
    }
    text += "#" + std::string(lastStart - text.size() - 2, 'x') + "\n";
    ASSERT_EQ(text.size(), lastStart);
    EXPECT_TRUE(ReadReplay(text + "#" + std::string(4094, 'x') + "\n").ok);
    // A line past both limits from the same byte on: the script's is told.
    text += "#" + std::string(4096, 'x');
    const ReplayReading reading = ReadReplay(text);
    EXPECT_FALSE(reading.ok);
    EXPECT_EQ(reading.reason, "the script is longer than 16777216 bytes");
    EXPECT_EQ(reading.line, std::count(text.begin(), text.end(), '\n') + 1);
}
