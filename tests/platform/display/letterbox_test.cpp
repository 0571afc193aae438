#include "platform/display/letterbox.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
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

// The image's size for each row of the table the web page's layout is held to as well.
TEST(FitScreen, SizesAsInTheTableEveryHostShares) {
    std::ifstream table(TARVEL_FIT_SIZES);
    ASSERT_TRUE(table) << TARVEL_FIT_SIZES;
    int rows = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream row(line);
        ScreenSize drawable{};
        ScreenSize device{};
        int ratio = 0;
        PixelRect expected;
        row >> drawable.width >> drawable.height >> ratio >> device.width >> device.height >>
            expected.width >> expected.height;
        const PixelRect image = FitScreen(drawable, device).image;
        EXPECT_EQ(image.width, expected.width) << line;
        EXPECT_EQ(image.height, expected.height) << line;
        ++rows;
    }
    EXPECT_GT(rows, 0);
}

TEST(FitScreen, BarsGoOnTheLongSideWithTheOddPixelRightAndBelow) {
    EXPECT_EQ(Fit({1000, 640}, {480, 640}), "260,0 480x640 x1 exact");
    // A square screen in a tall window at twice its size.
    EXPECT_EQ(Fit({500, 900}, {240, 240}), "10,210 480x480 x2 exact");
    EXPECT_EQ(Fit({483, 640}, {480, 640}), "1,0 480x640 x1 exact");
    EXPECT_EQ(Fit({480, 645}, {480, 640}), "0,2 480x640 x1 exact");
    // Between whole factors: not exact, the factor below still told.
    EXPECT_EQ(Fit({1920, 1080}, {480, 640}), "555,0 810x1080 x1");
    // A fifteenth of the fit given up is still exact; a pixel more is not.
    EXPECT_EQ(Fit({15, 15}, {14, 14}), "0,0 14x14 x1 exact");
    EXPECT_EQ(Fit({16, 16}, {14, 14}), "0,0 16x16 x1");
    EXPECT_EQ(Fit({200, 300}, {480, 640}), "0,17 200x266 x0");
    EXPECT_EQ(Fit({480, 640}, {480, 1}), "0,319 480x1 x1 exact");
}

TEST(FitScreen, NothingToShowGivesAnEmptyImage) {
    for (const auto& [drawable, device] : {std::pair<ScreenSize, ScreenSize>{{0, 640}, {480, 640}},
                                           {{480, -1}, {480, 640}},
                                           {{480, 640}, {0, 0}},
                                           {{480, 640}, {480, 0}}}) {
        EXPECT_EQ(Fit(drawable, device), "0,0 0x0 x0");
    }
    // So thin a screen that less than a pixel of its width fits.
    EXPECT_EQ(Fit({100, 100}, {32, 4096}), "50,0 0x100 x0");
}

TEST(Bars, SurroundTheImageAndNothingElse) {
    const auto sides = [](const PixelRect& r) { return std::array{r.x, r.y, r.width, r.height}; };
    const std::array<PixelRect, 4> bars = Bars({100, 80}, {10, 5, 70, 60});
    EXPECT_EQ(sides(bars[0]), (std::array{0, 0, 100, 5}));
    EXPECT_EQ(sides(bars[1]), (std::array{0, 65, 100, 15}));
    EXPECT_EQ(sides(bars[2]), (std::array{0, 5, 10, 60}));
    EXPECT_EQ(sides(bars[3]), (std::array{80, 5, 20, 60}));
    for (const PixelRect& bar : Bars({100, 80}, {0, 0, 100, 80})) {
        EXPECT_TRUE(bar.Empty());
    }
    EXPECT_EQ(sides(Bars({100, 80}, {})[1]), (std::array{0, 0, 100, 80}));
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
        {{480, 800}, 1, {1366, 700}, {420, 700}},  {{480, 640}, 1, {1, 100}, {1, 1}},
        {{480, 640}, 4, {0, 1000}, {1920, 2560}}};
    for (const auto& c : cases) {
        const ScreenSize size = InitialWindowSize(c.screen, c.scale, c.desktop);
        EXPECT_EQ(size.width, c.window.width) << c.screen.width << "x" << c.screen.height;
        EXPECT_EQ(size.height, c.window.height) << c.screen.width << "x" << c.screen.height;
    }
}

// A device point as "x,y", with " off" when it lies off the screen; "none" for no point.
std::string Device(std::optional<DevicePoint> point) {
    if (!point) {
        return "none";
    }
    return std::to_string(point->x) + "," + std::to_string(point->y) +
           (point->inside ? "" : " off");
}

TEST(PointerMapping, DrawablePointsFallOnTheDevicePixelUnderThem) {
    const PixelRect twice{0, 0, 480, 640};
    const PixelRect barred{260, 0, 480, 640};  // a 480 x 640 screen in a 1000 x 640 window
    const struct {
        DrawablePoint at;
        PixelRect image;
        ScreenSize device;
        const char* pixel;
    } cases[] = {
        // Twice the size: drawable pixels 0 and 1 are device pixel 0, 2 and 3 device pixel 1.
        {{0.5, 5.5}, twice, {240, 320}, "0,2"},
        {{1.5, 5.5}, twice, {240, 320}, "0,2"},
        {{2.5, 5.5}, twice, {240, 320}, "1,2"},
        {{479.5, 5.5}, twice, {240, 320}, "239,2"},
        // 1.5 times rounds down: drawable 2.5 is device 1.67; 1.5 is exactly where device
        // pixel 1 begins, and 1.4 just before it.
        {{2.5, 1.5}, {0, 0, 360, 480}, {240, 320}, "1,1"},
        {{1.5, 0.5}, {0, 0, 360, 480}, {240, 320}, "1,0"},
        {{1.4, 0.5}, {0, 0, 360, 480}, {240, 320}, "0,0"},
        // Bars offset the image; over them a point clamps to the nearest edge, and right on the
        // image's far edge is already outside it.
        {{260.0, 0.0}, barred, {480, 640}, "0,0"},
        {{739.5, 639.5}, barred, {480, 640}, "479,639"},
        {{10.5, 300.5}, barred, {480, 640}, "0,300 off"},
        {{990.5, 300.5}, barred, {480, 640}, "479,300 off"},
        {{740.0, 640.0}, barred, {480, 640}, "479,639 off"},
        {{-5.0, -5.0}, barred, {480, 640}, "0,0 off"},
        // No image, or no number: no point.
        {{5.0, 5.0}, {0, 0, 0, 0}, {480, 640}, "none"},
        {{NAN, 5.0}, twice, {480, 640}, "none"},
        {{5.0, 5.0}, twice, {0, 640}, "none"},
        {{5.0, 5.0}, twice, {480, 0}, "none"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Device(DrawableToDevice(c.at, c.image, c.device)), c.pixel)
            << c.at.x << "," << c.at.y;
    }
}

// The mouse is at a pixel's middle, in points that may be pixel pairs; a touch at fractions of
// the drawable.
TEST(PointerMapping, MouseAndTouchPositionsInDrawablePixels) {
    const DrawablePoint one = MouseToDrawable(10, 20, {480, 640}, {480, 640});
    EXPECT_DOUBLE_EQ(one.x, 10.5);
    EXPECT_DOUBLE_EQ(one.y, 20.5);
    const DrawablePoint pair = MouseToDrawable(10, 20, {480, 640}, {960, 1280});
    EXPECT_DOUBLE_EQ(pair.x, 21.0);
    EXPECT_DOUBLE_EQ(pair.y, 41.0);
    const DrawablePoint touch = TouchToDrawable(0.5, 0.25, {960, 1280});
    EXPECT_DOUBLE_EQ(touch.x, 480.0);
    EXPECT_DOUBLE_EQ(touch.y, 320.0);
    // A zero-sized window does not divide by zero.
    EXPECT_FALSE(std::isnan(MouseToDrawable(3, 4, {0, 0}, {0, 0}).x));
}

}  // namespace
}  // namespace platform
