#include "platform/display/letterbox.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

// Where FitScreen puts the image, at which whole factor, and whether exactly at it:
// "x,y WxH xF exact".
std::string Fit(ScreenSize window, ScreenSize device) {
    const Letterbox box = FitScreen(window, device);
    return std::to_string(box.image.x) + "," + std::to_string(box.image.y) + " " +
           std::to_string(box.image.width) + "x" + std::to_string(box.image.height) + " x" +
           std::to_string(box.wholeFactor) + (box.exact ? " exact" : "");
}

TEST(FitScreen, WholeFactorsFillTheWindowAndAreExact) {
    EXPECT_EQ(Fit({480, 640}, {480, 640}), "0,0 480x640 x1 exact");
    EXPECT_EQ(Fit({720, 960}, {240, 320}), "0,0 720x960 x3 exact");
}

TEST(FitScreen, BarsGoOnTheLongSideWithTheOddPixelRightAndBelow) {
    EXPECT_EQ(Fit({1000, 640}, {480, 640}), "260,0 480x640 x1 exact");
    EXPECT_EQ(Fit({480, 1000}, {480, 640}), "0,180 480x640 x1 exact");
    // A square screen in a tall window at twice its size.
    EXPECT_EQ(Fit({500, 900}, {240, 240}), "10,210 480x480 x2 exact");
    EXPECT_EQ(Fit({483, 640}, {480, 640}), "1,0 480x640 x1 exact");
    EXPECT_EQ(Fit({480, 645}, {480, 640}), "0,2 480x640 x1 exact");
}

TEST(FitScreen, BetweenWholeFactorsTheCrispFactorIsKeptWithinAFifteenth) {
    // 975 x 1300 would fit; 960 x 1280 is within 1/15 of it and keeps square pixels.
    EXPECT_EQ(Fit({1000, 1300}, {480, 640}), "20,10 960x1280 x2 exact");
    // Full screen at 1.6875 times: the whole factor 1 would leave far too much unused.
    EXPECT_EQ(Fit({1920, 1080}, {480, 640}), "555,0 810x1080 x1");
    // Just past the margin: 2 x 240 = 480 against a fit of 515 (more than 1/15 larger).
    EXPECT_EQ(Fit({515, 1000}, {240, 320}), "0,157 515x686 x2");
    // A window smaller than the screen shrinks it.
    EXPECT_EQ(Fit({200, 300}, {480, 640}), "0,17 200x266 x0");
}

TEST(FitScreen, NothingToShowGivesAnEmptyImage) {
    EXPECT_TRUE(FitScreen({0, 640}, {480, 640}).image.Empty());
    EXPECT_TRUE(FitScreen({480, -1}, {480, 640}).image.Empty());
    EXPECT_TRUE(FitScreen({480, 640}, {0, 0}).image.Empty());
    // So thin a screen that less than a pixel of its width fits.
    EXPECT_TRUE(FitScreen({100, 100}, {32, 4096}).image.Empty());
}

// The window asked for: the screen at the scale asked when the desktop has room (or nothing is
// known of it), else at the largest whole factor that fits, else shrunk keeping the aspect.
TEST(InitialWindowSize, ScalesLowersToAWholeFactorOrShrinksToFitTheDesktop) {
    const struct {
        ScreenSize screen;
        int scale;
        ScreenSize desktop, window;
    } cases[] = {
        {{1, 1}, 1, {100, 100}, {1, 1}},  // a screen of one pixel is a screen
        {{0, 5}, 1, {100, 100}, {0, 0}},  // one of none gives no window
        {{480, 640}, 1, {1920, 1050}, {480, 640}}, {{240, 320}, 3, {1920, 1050}, {720, 960}},
        {{480, 640}, 4, {0, 0}, {1920, 2560}},     {{480, 640}, 3, {1920, 1300}, {960, 1280}},
        {{480, 800}, 1, {1366, 700}, {420, 700}}};
    for (const auto& c : cases) {
        const ScreenSize size = InitialWindowSize(c.screen, c.scale, c.desktop);
        EXPECT_EQ(size.width, c.window.width) << c.screen.width << "x" << c.screen.height;
        EXPECT_EQ(size.height, c.window.height) << c.screen.width << "x" << c.screen.height;
    }
}

}  // namespace
}  // namespace platform
