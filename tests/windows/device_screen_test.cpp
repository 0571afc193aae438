// The device screen's host on Windows: where the screen and its soft-key bar go in a window,
// the device's density, and the bar resource as the shell reads it.
#include <gtest/gtest.h>

#include "platform/win32/device_screen.h"
#include "platform/win32/soft_key_bar.h"

namespace platform::win32 {
namespace {

TEST(DeviceScreen, DensityFollowsTheShorterSideAndSizesTheSoftKeyBar) {
    EXPECT_EQ(DeviceDpi({240, 320}), 96);
    EXPECT_EQ(DeviceDpi({480, 640}), 192);
    EXPECT_EQ(DeviceDpi({640, 480}), 192);
    EXPECT_EQ(DeviceDpi({32, 32}), 12);
    EXPECT_EQ(SoftKeyBarHeight({240, 320}), 26);
    EXPECT_EQ(SoftKeyBarHeight({480, 640}), 52);
    EXPECT_EQ(SoftKeyBarHeight({317, 400}), 34);  // 26 pixels at 126 dots per inch, rounded down
}

TEST(DeviceScreen, StartsAtTheMonitorsWholeScalingStep) {
    EXPECT_EQ(DefaultScale(96), 1);
    EXPECT_EQ(DefaultScale(144), 1);
    EXPECT_EQ(DefaultScale(192), 2);
    EXPECT_EQ(DefaultScale(288), 3);
    EXPECT_EQ(DefaultScale(0), 1);
}

TEST(DeviceScreen, TheBarLiesAlongTheImagesBottomAtEveryScale) {
    // One to one: the bar is the bottom 52 pixels.
    ScreenLayout layout = LayOutScreen({480, 640}, {480, 640});
    EXPECT_EQ(layout.softKeyBar.left, 0);
    EXPECT_EQ(layout.softKeyBar.top, 588);
    EXPECT_EQ(layout.softKeyBar.right, 480);
    EXPECT_EQ(layout.softKeyBar.bottom, 640);

    // Twice the size, between bars left and right: the bar scales with the image.
    layout = LayOutScreen({1200, 1280}, {480, 640});
    EXPECT_TRUE(layout.box.exact);
    EXPECT_EQ(layout.box.image.x, 120);
    EXPECT_EQ(layout.softKeyBar.left, 120);
    EXPECT_EQ(layout.softKeyBar.top, 2 * 588);
    EXPECT_EQ(layout.softKeyBar.right, 1080);
    EXPECT_EQ(layout.softKeyBar.bottom, 1280);

    // In between whole factors the image fills the height; the bar still ends where it does.
    layout = LayOutScreen({2000, 1000}, {480, 640});
    EXPECT_FALSE(layout.box.exact);
    EXPECT_EQ(layout.softKeyBar.bottom, layout.box.image.y + layout.box.image.height);
    EXPECT_EQ(layout.softKeyBar.top - layout.box.image.y, 588 * layout.box.image.height / 640);
}

TEST(DeviceScreen, NoBarWhereNoImageFits) {
    const ScreenLayout layout = LayOutScreen({0, 0}, {480, 640});
    EXPECT_TRUE(layout.box.image.Empty());
    EXPECT_EQ(layout.softKeyBar.right - layout.softKeyBar.left, 0);
}

TEST(SoftKeyBar, ReadsEachButtonsCommandLabelAndPopUp) {
    const WORD words[] = {102,    2,      0xFFFE, 40000, 4,    0x10, 103, 0,
                          0xFFFF, 0xFFFE, 40001,  4,     0x18, 104,  0,   0};
    const auto bar = ReadSoftKeyBar(words);
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->menu, 102);
    ASSERT_EQ(bar->buttons.size(), 2u);
    EXPECT_EQ(bar->buttons[0].command, 40000);
    EXPECT_EQ(bar->buttons[0].style, 0x10);
    EXPECT_EQ(bar->buttons[0].labelString, 103);
    EXPECT_EQ(bar->buttons[0].popup, 0xFFFF);
    EXPECT_EQ(bar->buttons[1].command, 40001);
    EXPECT_EQ(bar->buttons[1].state, 4);
    EXPECT_EQ(bar->buttons[1].style, 0x18);
    EXPECT_EQ(bar->buttons[1].labelString, 104);
    EXPECT_EQ(bar->buttons[1].popup, 0);
}

TEST(SoftKeyBar, RefusesWordsCutShortOrWithoutButtons) {
    const WORD noButtons[] = {102, 0};
    EXPECT_FALSE(ReadSoftKeyBar(noButtons).has_value());
    const WORD cutShort[] = {102, 2, 0xFFFE, 40000, 4, 0x10, 103, 0, 0xFFFF, 0xFFFE};
    EXPECT_FALSE(ReadSoftKeyBar(cutShort).has_value());
    EXPECT_FALSE(ReadSoftKeyBar({}).has_value());
}

TEST(SoftKeyBar, KeysShareTheWidthEvenly) {
    EXPECT_EQ(SoftKeyAt(0, 480, 2), 0);
    EXPECT_EQ(SoftKeyAt(239, 480, 2), 0);
    EXPECT_EQ(SoftKeyAt(240, 480, 2), 1);
    EXPECT_EQ(SoftKeyAt(479, 480, 2), 1);
    EXPECT_EQ(SoftKeyAt(480, 480, 2), -1);
    EXPECT_EQ(SoftKeyAt(-1, 480, 2), -1);
    EXPECT_EQ(SoftKeyAt(10, 480, 0), -1);
    EXPECT_EQ(SoftKeyAt(10, 0, 2), -1);
}

}  // namespace
}  // namespace platform::win32
