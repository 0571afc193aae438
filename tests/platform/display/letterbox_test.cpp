#include "platform/display/letterbox.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

void ExpectImage(const Letterbox& box, int x, int y, int width, int height) {
    EXPECT_EQ(box.image.x, x);
    EXPECT_EQ(box.image.y, y);
    EXPECT_EQ(box.image.width, width);
    EXPECT_EQ(box.image.height, height);
}

TEST(FitScreen, WholeFactorsFillTheWindowAndAreExact) {
    const Letterbox one = FitScreen({480, 640}, {480, 640});
    ExpectImage(one, 0, 0, 480, 640);
    EXPECT_EQ(one.wholeFactor, 1);
    EXPECT_TRUE(one.exact);

    const Letterbox three = FitScreen({720, 960}, {240, 320});
    ExpectImage(three, 0, 0, 720, 960);
    EXPECT_EQ(three.wholeFactor, 3);
    EXPECT_TRUE(three.exact);
}

TEST(FitScreen, WideAndTallWindowsPutBarsOnTheLongSide) {
    // Wider than the screen: bars left and right.
    ExpectImage(FitScreen({1000, 640}, {480, 640}), 260, 0, 480, 640);
    // Taller: bars above and below.
    ExpectImage(FitScreen({480, 1000}, {480, 640}), 0, 180, 480, 640);
    // A square screen in a tall window at twice its size.
    const Letterbox square = FitScreen({500, 900}, {240, 240});
    ExpectImage(square, 10, 210, 480, 480);
    EXPECT_EQ(square.wholeFactor, 2);
}

TEST(FitScreen, OddLeftoversPutTheExtraPixelRightAndBelow) {
    ExpectImage(FitScreen({483, 640}, {480, 640}), 1, 0, 480, 640);
    ExpectImage(FitScreen({480, 645}, {480, 640}), 0, 2, 480, 640);
}

TEST(FitScreen, ASlightlyLargerWindowKeepsTheCrispWholeFactor) {
    // 975 x 1300 would fit; 960 x 1280 is within 1/15 of it and keeps square pixels.
    const Letterbox box = FitScreen({1000, 1300}, {480, 640});
    ExpectImage(box, 20, 10, 960, 1280);
    EXPECT_EQ(box.wholeFactor, 2);
    EXPECT_TRUE(box.exact);
}

TEST(FitScreen, FullScreenBetweenWholeFactorsFillsTheHeight) {
    // 1.6875 times: the whole factor 1 would leave far too much unused.
    const Letterbox box = FitScreen({1920, 1080}, {480, 640});
    ExpectImage(box, 555, 0, 810, 1080);
    EXPECT_EQ(box.wholeFactor, 1);
    EXPECT_FALSE(box.exact);

    // Just past the margin: 2 x 240 = 480 against a fit of 515 (more than 1/15 larger).
    const Letterbox past = FitScreen({515, 1000}, {240, 320});
    ExpectImage(past, 0, 157, 515, 686);
    EXPECT_FALSE(past.exact);
}

TEST(FitScreen, AWindowSmallerThanTheScreenShrinksIt) {
    const Letterbox box = FitScreen({200, 300}, {480, 640});
    ExpectImage(box, 0, 17, 200, 266);
    EXPECT_EQ(box.wholeFactor, 0);
    EXPECT_FALSE(box.exact);
}

TEST(FitScreen, NothingToShowGivesAnEmptyImage) {
    EXPECT_TRUE(FitScreen({0, 640}, {480, 640}).image.Empty());
    EXPECT_TRUE(FitScreen({480, -1}, {480, 640}).image.Empty());
    EXPECT_TRUE(FitScreen({480, 640}, {0, 0}).image.Empty());
    // So thin a screen that less than a pixel of its width fits.
    EXPECT_TRUE(FitScreen({100, 100}, {32, 4096}).image.Empty());
}

TEST(InitialWindowSize, ScalesWhenTheDesktopHasRoom) {
    // A screen of one pixel is a screen; one of none gives no window.
    EXPECT_EQ(InitialWindowSize({1, 1}, 1, {100, 100}).width, 1);
    EXPECT_EQ(InitialWindowSize({0, 5}, 1, {100, 100}).height, 0);
    EXPECT_EQ(InitialWindowSize({480, 640}, 1, {1920, 1050}).height, 640);
    const ScreenSize twice = InitialWindowSize({240, 320}, 3, {1920, 1050});
    EXPECT_EQ(twice.width, 720);
    EXPECT_EQ(twice.height, 960);
    // Nothing known of the desktop: as asked.
    const ScreenSize unknown = InitialWindowSize({480, 640}, 4, {0, 0});
    EXPECT_EQ(unknown.width, 1920);
    EXPECT_EQ(unknown.height, 2560);
}

TEST(InitialWindowSize, LowersTheScaleToAWholeFactorThatFits) {
    const ScreenSize size = InitialWindowSize({480, 640}, 3, {1920, 1300});
    EXPECT_EQ(size.width, 960);
    EXPECT_EQ(size.height, 1280);
}

TEST(InitialWindowSize, ShrinksKeepingTheAspectWhenNotEvenOneToOneFits) {
    const ScreenSize size = InitialWindowSize({480, 800}, 1, {1366, 700});
    EXPECT_EQ(size.width, 420);
    EXPECT_EQ(size.height, 700);
}

}  // namespace
}  // namespace platform
