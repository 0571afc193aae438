// The device screen's host on Windows: where the screen and its soft-key bar go in a window, and
// the first scale.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/device_screen.h"

namespace platform::win32 {
namespace {

TEST(DeviceScreen, StartsAtTheMonitorsWholeScalingStep) {
    EXPECT_EQ(DefaultScale(96), 1);
    EXPECT_EQ(DefaultScale(144), 1);
    EXPECT_EQ(DefaultScale(192), 2);
    EXPECT_EQ(DefaultScale(288), 3);
    EXPECT_EQ(DefaultScale(0), 1);
}

std::string Sides(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST(DeviceScreen, TheBarLiesAlongTheImagesBottomAtEveryScale) {
    // One to one, the bar the bottom 52 pixels; twice the size between bars left and right.
    EXPECT_EQ(Sides(LayOutScreen({480, 640}, {480, 640}).softKeyBar), "0,588 480,640");
    EXPECT_EQ(Sides(LayOutScreen({1200, 1280}, {480, 640}).softKeyBar), "120,1176 1080,1280");
    // Between whole factors: 1000 high, the bar's top at 588 / 640 of it.
    EXPECT_EQ(Sides(LayOutScreen({2000, 1000}, {480, 640}).softKeyBar), "625,918 1375,1000");
    EXPECT_EQ(Sides(LayOutScreen({0, 0}, {480, 640}).softKeyBar), "0,0 0,0");
}

}  // namespace
}  // namespace platform::win32
