#include "platform/display/pointer_mapping.h"

#include <gtest/gtest.h>

#include <cmath>

namespace platform {
namespace {

void ExpectDevice(std::optional<DevicePoint> point, int x, int y, bool inside) {
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(point->x, x);
    EXPECT_EQ(point->y, y);
    EXPECT_EQ(point->inside, inside);
}

TEST(PointerMapping, WholeFactorMapsEachBlockToItsDevicePixel) {
    const ScreenSize device{240, 320};
    const PixelRect image{0, 0, 480, 640};
    const ScreenSize window{480, 640};
    // Window pixels 0 and 1 are device pixel 0, 2 and 3 device pixel 1, and so on.
    for (int x : {0, 1, 2, 3, 478, 479}) {
        ExpectDevice(DrawableToDevice(MouseToDrawable(x, 5, window, window), image, device), x / 2,
                     2, true);
    }
}

TEST(PointerMapping, HighDensityPointsArePixelPairs) {
    // 480 x 640 points, 960 x 1280 pixels, a 480 x 640 screen at factor 2: a point is a pixel.
    const ScreenSize window{480, 640};
    const ScreenSize drawable{960, 1280};
    const DrawablePoint centre = MouseToDrawable(10, 20, window, drawable);
    EXPECT_DOUBLE_EQ(centre.x, 21.0);
    EXPECT_DOUBLE_EQ(centre.y, 41.0);
    ExpectDevice(DrawableToDevice(centre, {0, 0, 960, 1280}, {480, 640}), 10, 20, true);
}

TEST(PointerMapping, NonWholeScaleRoundsDown) {
    // 1.5 times: drawable 2.5 is device 1.67; drawable 1.5 is exactly where device pixel 1
    // begins, and 1.4 just before it.
    const PixelRect image{0, 0, 360, 480};
    ExpectDevice(DrawableToDevice({2.5, 1.5}, image, {240, 320}), 1, 1, true);
    ExpectDevice(DrawableToDevice({1.5, 0.5}, image, {240, 320}), 1, 0, true);
    ExpectDevice(DrawableToDevice({1.4, 0.5}, image, {240, 320}), 0, 0, true);
}

TEST(PointerMapping, BarsOffsetTheImageAndOverThemClampToTheNearestEdge) {
    const ScreenSize device{480, 640};
    const PixelRect image{260, 0, 480, 640};  // a 1000 x 640 window
    ExpectDevice(DrawableToDevice({260.0, 0.0}, image, device), 0, 0, true);
    ExpectDevice(DrawableToDevice({739.5, 639.5}, image, device), 479, 639, true);
    ExpectDevice(DrawableToDevice({10.5, 300.5}, image, device), 0, 300, false);
    ExpectDevice(DrawableToDevice({990.5, 300.5}, image, device), 479, 300, false);
    // Right on the far edge of the image is already outside it.
    ExpectDevice(DrawableToDevice({740.0, 640.0}, image, device), 479, 639, false);
    ExpectDevice(DrawableToDevice({-5.0, -5.0}, image, device), 0, 0, false);
}

TEST(PointerMapping, TouchFractionsSpanTheDrawable) {
    const DrawablePoint point = TouchToDrawable(0.5, 0.25, {960, 1280});
    EXPECT_DOUBLE_EQ(point.x, 480.0);
    EXPECT_DOUBLE_EQ(point.y, 320.0);
    ExpectDevice(
        DrawableToDevice(TouchToDrawable(1.0, 1.0, {480, 640}), {0, 0, 480, 640}, {480, 640}), 479,
        639, false);
}

TEST(PointerMapping, NoImageOrNoNumberGivesNoPoint) {
    EXPECT_FALSE(DrawableToDevice({5.0, 5.0}, {0, 0, 0, 0}, {480, 640}).has_value());
    EXPECT_FALSE(DrawableToDevice({NAN, 5.0}, {0, 0, 480, 640}, {480, 640}).has_value());
    // A zero-sized window does not divide by zero.
    const DrawablePoint point = MouseToDrawable(3, 4, {0, 0}, {0, 0});
    EXPECT_FALSE(std::isnan(point.x));
}

}  // namespace
}  // namespace platform
