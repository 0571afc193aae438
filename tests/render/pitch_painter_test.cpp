#include <gtest/gtest.h>

#include "platform/gdi/gdi_debug.h"
#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/render/painted_window.h"

namespace {

// A pitch size and its worked values, written out rather than computed.
struct PitchCase {
    int width;
    int height;
    int goalDepth;
    RECT outerCircle;
    RECT innerCircle;
    RECT spot;
    int rightLine;
    int halfwayLine;
};

class PitchPainter : public testing::TestWithParam<PitchCase> {};

constexpr COLORREF kGreen = RGB(0, 100, 50);
constexpr COLORREF kGrey = RGB(150, 150, 150);

}  // namespace

// The worked values drawn in the documented order straight with the drawing calls: the bands
// after the field and before the lines, the halfway line last. Every pixel must agree.
TEST_P(PitchPainter, DrawsTheWorkedGeometryInItsOrder) {
    const PitchCase c = GetParam();
    const int w = c.width;
    const int h = c.height;
    PaintedWindow window(w, h);
    EXPECT_EQ(window.state.geometry.goalDepth, c.goalDepth);
    EXPECT_EQ(window.WindowPixel(w / 2, h / 2), PaintedWindow::kUntouched)
        << "the pitch goes to its own surface, not to the window";

    tarvel_test::TestSurface expected(w, h, kGreen);
    const HDC dc = expected.dc();
    const HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    for (const RECT band : {RECT{0, h - c.goalDepth, w, h}, RECT{0, 0, w, c.goalDepth}}) {
        FillRect(dc, &band, black);
    }
    DeleteObject(black);
    expected.UsePen(3, kGrey);
    for (const RECT line : {RECT{0, 0, 0, h}, RECT{c.rightLine, 0, c.rightLine, h}}) {
        MoveToEx(dc, line.left, line.top, nullptr);
        LineTo(dc, line.right, line.bottom);
    }
    for (const auto& [circle, fill] :
         {std::pair{c.outerCircle, kGrey}, std::pair{c.innerCircle, kGreen},
          std::pair{c.spot, kGrey}}) {
        expected.UseBrush(fill);
        Ellipse(dc, circle.left, circle.top, circle.right, circle.bottom);
    }
    MoveToEx(dc, 0, c.halfwayLine, nullptr);
    LineTo(dc, w, c.halfwayLine);

    int differing = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            differing += window.BackgroundPixel(x, y) != GetPixel(dc, x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_P(PitchPainter, MakesABrushForEachUseAndLeavesOnlyTheSurfacesAndTheLastBrush) {
    const PitchCase c = GetParam();
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    const platform::GdiObjectCounts madeBefore = platform::MadeGdiObjects();
    {
        PaintedWindow window(c.width, c.height);
        // A brush for the field, each band, each circle and the spot; one pen for every line.
        const platform::GdiObjectCounts made = platform::MadeGdiObjects();
        EXPECT_EQ(made.brushes - madeBefore.brushes, 6u);
        EXPECT_EQ(made.pens - madeBefore.pens, 1u);
        EXPECT_EQ(platform::LiveGdiObjects(),
                  (platform::GdiObjectCounts{before.deviceContexts + 2, before.bitmaps + 2,
                                             before.brushes + 1, before.pens, before.fonts}));
        // The grey brush of the spot is still selected in the background.
        const HGDIOBJ selected =
            SelectObject(window.resources.backgroundSurface, GetStockObject(WHITE_BRUSH));
        EXPECT_EQ(selected, window.resources.currentBrush);
    }
}

INSTANTIATE_TEST_SUITE_P(
    WorkedSizes, PitchPainter,
    testing::Values(PitchCase{
        240, 320, 8, {73, 113, 167, 207}, {74, 114, 166, 206}, {113, 153, 127, 167}, 238, 159}),
    [](const auto& info) {
        return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
    });
