#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/page_query.h"

TEST(PageQuery, ScreenIsReadDecoded) {
    struct Case {
        const char* query;
        int width;
        int height;
    };
    const Case cases[] = {
        {"?screen=240x320", 240, 320},
        {"screen=32X4096", 32, 4096},
        {"?&screen=480x640&", 480, 640},
        {"?scr%65en=240%78320", 240, 320},
    };
    for (const Case& c : cases) {
        const PageQueryResult result = ParsePageQuery(c.query);
        ASSERT_TRUE(result.ok) << c.query << ": " << result.error;
        ASSERT_TRUE(result.options.screen.has_value()) << c.query;
        EXPECT_EQ(result.options.screen->width, c.width) << c.query;
        EXPECT_EQ(result.options.screen->height, c.height) << c.query;
    }
}

TEST(PageQuery, RefusesEveryMalformedAddressWithTheReason) {
    struct Case {
        std::string query;
        std::string error;
    };
    const auto badShape = [](const std::string& size) {
        return "Bad screen size '" + size + "': expected WIDTHxHEIGHT, e.g. 240x320.";
    };
    const Case cases[] = {
        {"?screen", badShape("")},
        {"?screen=", badShape("")},
        {"?screen=big", badShape("big")},
        {"?screen=240+x+320", badShape("240 x 320")},
        {"?screen=10x10", "Bad screen size '10x10': each side must be 32 to 4096 pixels."},
        {"?screen=240x99999999999", badShape("240x99999999999")},
        {"?screen=240x320&screen=480x640", "The address gives 'screen' more than once."},
        {"?replay=a&replay=b", "The address gives 'replay' more than once."},
        {"?screen=1234567890123456789012345678901234567890123",
         badShape("1234567890123456789012345678901234567890...")},
        {"?screen=1234567890123456789012345678901234567890",
         badShape("1234567890123456789012345678901234567890")},
        // Every edge of the hex digits, in either case, and of the characters let through; the
        // message quotes the value decoded.
        {"?screen=%4a%4A%4f%4F%300%39", badShape("JJOO009")},
        {"?screen=%20%7E%7e", badShape(" ~~")},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    // A part that is no name=value, or whose escapes do not decode to printable ASCII, quoted.
    const std::vector<std::string> malformed = {
        "?screen=240x320%", "?screen=240x32%3", "?screen=%zz", "?screen=240x320%0A", "?screen=%1F",
        "?screen=%7F",      "?screen=%4g",      "?screen=%g4", "?screen=%4/",        "?screen=%4:",
        "?screen=%4@",      "?screen=%4G",      "?screen=%4`"};
    for (const std::string& query : malformed) {
        all.push_back({query, "The address has a malformed part: '" + query.substr(1) + "'."});
    }
    for (const Case& c : all) {
        const PageQueryResult result = ParsePageQuery(c.query);
        EXPECT_FALSE(result.ok) << c.query;
        EXPECT_EQ(result.error, c.error) << c.query;
        EXPECT_FALSE(result.options.screen.has_value()) << c.query;
    }
}

// Links shared on the web carry other sites' parameters; a mistyped name is passed over too.
TEST(PageQuery, NamesThePageDoesNotUseArePassedOverAndListed) {
    const PageQueryResult result =
        ParsePageQuery("?fbclid=IwAR0x%zz&screen=240x320&utm%5Fsource&%zz=1&scr%65en2=9");
    ASSERT_TRUE(result.ok) << result.error;
    ASSERT_TRUE(result.options.screen.has_value());
    EXPECT_EQ(result.options.screen->width, 240);
    EXPECT_EQ(result.ignored,
              (std::vector<std::string>{"'fbclid'", "'utm_source'", "'%zz'", "'screen2'"}));
    EXPECT_TRUE(ParsePageQuery("?fbclid=1&screen=big").ignored.empty()) << "nothing half-done";
}

// The page fetches the replay; the program only lets its address through, decoded.
TEST(PageQuery, ReplayIsLetThroughDecoded) {
    const PageQueryResult result =
        ParsePageQuery("?screen=240x320&replay=https%3A%2F%2Fx.test%2Fa+b");
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.options.replay, "https://x.test/a b");
    EXPECT_TRUE(result.options.screen.has_value());
}

TEST(PageQuery, AnEscapeCutShortAtTheEndIsMalformedWhateverFollowsInMemory) {
    // The address ends after "%4"; the '1' after it is not part of it.
    const std::string_view cut("?screen=%41", 10);
    const PageQueryResult result = ParsePageQuery(cut);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "The address has a malformed part: 'screen=%4'.");
}
