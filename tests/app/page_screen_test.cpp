#include <gtest/gtest.h>

#include <climits>

#include "app/page_screen.h"
#include "app/screen_size.h"

TEST(PageScreen, EachKindOfViewportGetsADeviceShapedScreenWithinWhatTheScreenMayBe) {
    struct Case {
        const char* what;
        int viewport_width;
        int viewport_height;
        int width;
        int height;
    };
    const Case cases[] = {
        // A phone upright fills its screen, whatever its pixel ratio.
        {"phone 390x844", 390, 844, 390, 844},
        // On its side: 3:4, as tall as the viewport.
        {"phone on its side 844x390", 844, 390, 293, 390},
        // A tablet upright keeps its shape at 480 wide; on its side it is a laptop.
        {"tablet 820x1180", 820, 1180, 480, 691},
        {"tablet 1180x820", 1180, 820, 480, 640},
        {"desktop 1920x1080", 1920, 1080, 480, 640},
        {"tall desktop window 900x2000", 900, 2000, 480, 1067},
        // Never narrower than 240: a tiny window shows 240 x 320 scaled down.
        {"tiny window 100x80", 100, 80, 240, 320},
        {"narrow strip 200x1000", 200, 1000, 240, 1200},
        {"short strip 2000x100", 2000, 100, 240, 320},
        // 3:4 is where the viewport stops setting the shape.
        {"exactly 3:4, narrow", 300, 400, 300, 400},
        {"exactly 3:4, wide", 600, 800, 480, 640},
        {"a pixel taller than 3:4", 600, 801, 480, 641},
        {"a pixel wider than 3:4", 601, 800, 480, 640},
        {"squarer than 3:4 and narrow", 400, 450, 338, 450},
        {"square", 700, 700, 480, 640},
        // Extreme viewports, and one not laid out yet.
        {"no width yet", 0, 700, 480, 640},
        {"no height yet", 400, 0, 480, 640},
        {"one pixel wide and tall as can be", 1, INT_MAX, 240, platform::kMaxScreenSide},
        {"as large as can be", INT_MAX, INT_MAX, 480, 640},
        {"as wide as can be", INT_MAX, 1, 240, 320},
    };
    for (const Case& c : cases) {
        const platform::ScreenSize screen = PageScreenFor(c.viewport_width, c.viewport_height);
        EXPECT_EQ(screen.width, c.width) << c.what;
        EXPECT_EQ(screen.height, c.height) << c.what;
    }
}
