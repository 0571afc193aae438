#include <gtest/gtest.h>

#include "app/command_line.h"

TEST(CommandLine, DefaultsAreAHighResolutionScreenInAWindow) {
    const CommandLineResult result = ParseCommandLine({});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.options.screenWidth, 480);
    EXPECT_EQ(result.options.screenHeight, 640);
    EXPECT_EQ(result.options.scale, 1);
    // A host that picks its own first scale (the monitor's density, on Windows) may.
    EXPECT_FALSE(result.options.scaleGiven);
    EXPECT_FALSE(result.options.fullscreen);
}

TEST(CommandLine, AcceptsEveryOptionInBothSpellings) {
    const CommandLineResult spaced = ParseCommandLine(
        {"--screen", "240x320", "--scale", "3", "--fullscreen", "--record", "a b.tarvel"});
    ASSERT_TRUE(spaced.ok) << spaced.error;
    EXPECT_EQ(spaced.options.recordPath, "a b.tarvel");
    EXPECT_EQ(spaced.options.screenWidth, 240);
    EXPECT_EQ(spaced.options.screenHeight, 320);
    EXPECT_EQ(spaced.options.scale, 3);
    EXPECT_TRUE(spaced.options.fullscreen);

    const CommandLineResult joined =
        ParseCommandLine({"--screen=32X4096", "--scale=16", "--replay=m.tarvel"});
    ASSERT_TRUE(joined.ok) << joined.error;
    EXPECT_EQ(joined.options.replayPath, "m.tarvel");
    EXPECT_EQ(joined.options.screenWidth, 32);
    EXPECT_EQ(joined.options.screenHeight, 4096);
    // Every limit is accepted, on either side.
    const CommandLineResult limits = ParseCommandLine({"--screen=4096x32", "--scale=1"});
    ASSERT_TRUE(limits.ok) << limits.error;
    EXPECT_EQ(limits.options.screenWidth, 4096);
    EXPECT_EQ(limits.options.scale, 1);
    // Asked for, even at the default: a host keeps it.
    EXPECT_TRUE(limits.options.scaleGiven);

    EXPECT_TRUE(ParseCommandLine({"--help"}).options.help);
    EXPECT_TRUE(ParseCommandLine({"-h"}).options.help);
    EXPECT_TRUE(ParseCommandLine({"--version"}).options.version);
    EXPECT_TRUE(ParseCommandLine({"--no-record"}).options.noRecord);
}

TEST(CommandLine, RefusesBadInputWithTheFieldAtFault) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"game.sav"}, "unknown option 'game.sav'"},
        {{"--screen"}, "option '--screen' needs a value"},
        {{"--screen", "240"}, "bad --screen value '240': expected WIDTHxHEIGHT, e.g. 240x320"},
        {{"--screen", "240x"}, "bad --screen value '240x': expected WIDTHxHEIGHT, e.g. 240x320"},
        {{"--screen", "-240x320"},
         "bad --screen value '-240x320': each side must be 32 to 4096 pixels"},
        {{"--screen=31x320"}, "bad --screen value '31x320': each side must be 32 to 4096 pixels"},
        {{"--screen", "240x4097"},
         "bad --screen value '240x4097': each side must be 32 to 4096 pixels"},
        {{"--screen", "4097x320"},
         "bad --screen value '4097x320': each side must be 32 to 4096 pixels"},
        {{"--scale=1--"}, "bad --scale value '1--': expected 1 to 16"},
        {{"---x=1"}, "option '---x' takes no value"},
        {{"--scale", "0"}, "bad --scale value '0': expected 1 to 16"},
        {{"--scale", "2.5"}, "bad --scale value '2.5': expected 1 to 16"},
        {{"--fullscreen=yes"}, "option '--fullscreen' takes no value"},
        {{"--record="}, "option '--record' needs a file name"},
        {{"--replay", "a", "--record", "b"},
         "--record, --no-record and --replay cannot be used together"},
        {{"--no-record", "--replay", "b"},
         "--record, --no-record and --replay cannot be used together"},
    };
    for (const Case& c : cases) {
        const CommandLineResult result = ParseCommandLine(c.arguments);
        EXPECT_FALSE(result.ok) << c.error;
        EXPECT_EQ(result.error, c.error);
    }
}
