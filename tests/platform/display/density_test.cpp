#include "platform/display/density.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Density, FollowsTheShorterSideAndScalesTheChrome) {
    EXPECT_EQ(MetricsFor({240, 320}).dpi, 96);
    EXPECT_EQ(MetricsFor({640, 480}).dpi, 192);
    EXPECT_EQ(MetricsFor({8, 8}).dpi, 3);
    EXPECT_EQ(MetricsFor({1, 1}).dpi, 1);
    // 26 pixels at 126 dots per inch, rounded down.
    EXPECT_EQ(MetricsFor({317, 400}).MenuBarHeight(), 34);
    EXPECT_EQ(MetricsFor({317, 400}).CaptionHeight(), 34);
}

}  // namespace
}  // namespace platform
