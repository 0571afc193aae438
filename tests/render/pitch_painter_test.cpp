#include <gtest/gtest.h>

#include "platform/gdi/gdi_debug.h"
#include "tests/render/painted_window.h"

namespace {

struct PitchCase {
    int width;
    int height;
    int goalDepth;
    int disc;
    int ball;
};

class PitchPainter : public testing::TestWithParam<PitchCase> {};

constexpr COLORREF kGreen = RGB(0, 100, 50);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(150, 150, 150);

}  // namespace

TEST_P(PitchPainter, DrawsTheWorkedGeometry) {
    const PitchCase c = GetParam();
    PaintedWindow window(c.width, c.height);
    const int w = c.width;
    const int h = c.height;
    auto at = [&](int x, int y) { return window.BackgroundPixel(x, y); };

    EXPECT_EQ(window.state.geometry.goalDepth, c.goalDepth);
    EXPECT_EQ(window.WindowPixel(w / 2, h / 2), PaintedWindow::kUntouched)
        << "the pitch goes to its own surface, not to the window";

    // Goal bands span the full width; the field starts right after them.
    const int mid = w / 2 + w / 8;
    EXPECT_EQ(at(mid, 0), kBlack);
    EXPECT_EQ(at(mid, c.goalDepth - 1), kBlack);
    EXPECT_EQ(at(mid, c.goalDepth), kGreen);
    EXPECT_EQ(at(mid, h - c.goalDepth), kBlack);
    EXPECT_EQ(at(mid, h - 1), kBlack);
    EXPECT_EQ(at(mid, h - c.goalDepth - 1), kGreen);

    // Three-pixel side lines centred on x = 0 and x = W - 2, drawn over the bands.
    for (int y : {0, h / 4, h - 1}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(at(0, y), kGrey);
        EXPECT_EQ(at(1, y), kGrey);
        EXPECT_EQ(at(w - 3, y), kGrey);
        EXPECT_EQ(at(w - 2, y), kGrey);
        EXPECT_EQ(at(w - 1, y), kGrey);
    }
    EXPECT_EQ(at(2, h / 4), kGreen);
    EXPECT_EQ(at(w - 4, h / 4), kGreen);

    // The halfway line is centred one pixel above the centre and runs over the circles.
    for (int x : {20, w / 2, w / 2 - c.disc + 4}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(at(x, h / 2 - 2), kGrey);
        EXPECT_EQ(at(x, h / 2), kGrey);
    }
    EXPECT_EQ(at(20, h / 2 - 3), kGreen);
    EXPECT_EQ(at(20, h / 2 + 1), kGreen);

    // Grey ring of radius = disc diameter around a green inside, and the grey centre spot.
    const int row = h / 2 + c.disc / 2;  // below the halfway line, through the ring
    const int cx = w / 2;
    const int left = cx - c.disc;
    EXPECT_EQ(at(left - 3, h / 2 + 2), kGreen);
    EXPECT_EQ(at(left, h / 2 + 2), kGrey);
    EXPECT_EQ(at(left + 5, h / 2 + 2), kGreen);
    EXPECT_EQ(at(cx, h / 2 + c.disc - 1), kGrey);  // bottom of the ring
    EXPECT_EQ(at(cx, h / 2 + c.disc + 3), kGreen);
    EXPECT_EQ(at(cx, h / 2 - c.disc + 1), kGrey);  // top of the ring
    EXPECT_EQ(at(cx, row), kGreen);
    EXPECT_EQ(at(cx, h / 2 + 2), kGrey);  // the spot
    EXPECT_EQ(at(cx - c.ball / 2 - 3, h / 2 + 2), kGreen);
}

TEST_P(PitchPainter, LeavesOnlyTheSurfacesAndTheLastBrush) {
    const PitchCase c = GetParam();
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    {
        PaintedWindow window(c.width, c.height);
        const platform::GdiObjectCounts after = platform::LiveGdiObjects();
        EXPECT_EQ(after.deviceContexts, before.deviceContexts + 2);
        EXPECT_EQ(after.bitmaps, before.bitmaps + 2);
        EXPECT_EQ(after.brushes, before.brushes + 1);
        EXPECT_EQ(after.pens, before.pens);
        EXPECT_EQ(after.fonts, before.fonts);
        // The grey brush of the spot is still selected in the background.
        const HGDIOBJ selected =
            SelectObject(window.resources.backgroundSurface, GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(selected, window.resources.currentBrush);
    }
}

INSTANTIATE_TEST_SUITE_P(WorkedSizes, PitchPainter,
                         testing::Values(PitchCase{240, 320, 8, 47, 15},
                                         PitchCase{480, 640, 16, 95, 31}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST(PitchPainterSizes, NarrowPitchHasNoGoalBands) {
    PaintedWindow window(29, 40);
    EXPECT_EQ(window.state.geometry.goalDepth, 0);
    EXPECT_EQ(window.BackgroundPixel(14, 0), kGreen);
    EXPECT_EQ(window.BackgroundPixel(14, 39), kGreen);
}

TEST(PitchPainterSizes, TheRingFollowsTheUsersDiscAndTheSpotTheBall) {
    // Sizes the kick-off never gives, each its own: the computer's disc 20, the ball 21.
    PaintedWindow window(240, 320, [](MatchState& state) {
        state.players[kComputerPlayer].size = 20;
        state.ball.size = 21;
    });
    auto at = [&](int x) { return window.BackgroundPixel(x, 162); };  // below the halfway line
    EXPECT_EQ(at(120 - 47), kGrey) << "the ring's radius is the user's disc, 47";
    EXPECT_EQ(at(120 - 47 - 3), kGreen);
    EXPECT_EQ(at(120 - 20), kGreen);
    EXPECT_EQ(at(120 - 9), kGrey) << "the spot's radius is half the ball, 10";
    EXPECT_EQ(at(120 - 13), kGreen);
}
