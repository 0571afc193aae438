#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <set>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/line_geometry.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using tarvel_test::BoundsOf;
using tarvel_test::Pixel;
using tarvel_test::TestSurface;

constexpr COLORREF kPaper = RGB(0, 100, 50);
constexpr COLORREF kGrey = RGB(150, 150, 150);

void Line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

TEST(WideLineTest, DiagonalLineIsSolidAndCentredOnItsPoints) {
    TestSurface surface(40, 40, RGB(0, 0, 0));
    surface.UsePen(3, kGrey);
    Line(surface.dc(), 5, 5, 30, 30);
    const auto grey = surface.PixelsOf(kGrey);
    for (int i = 6; i < 29; ++i) {
        EXPECT_TRUE(grey.contains({i, i})) << i;
        EXPECT_TRUE(grey.contains({i + 1, i}) && grey.contains({i, i + 1})) << i;
    }
    for (const auto& [x, y] : grey) {
        EXPECT_LE(std::abs(x - y), 2) << "(" << x << ", " << y << ") is off the line";
    }
}

TEST(ThinLineTest, LinesRunLeftwardsTooAndATieStepsBothWays) {
    std::vector<Pixel> plotted;
    const auto plot = [&](std::int64_t x, std::int64_t y) {
        plotted.emplace_back(static_cast<int>(x), static_cast<int>(y));
    };
    platform::gdi_detail::WalkThinLine(7, 0, 0, 0, plot);
    EXPECT_EQ(plotted,
              (std::vector<Pixel>{{7, 0}, {6, 0}, {5, 0}, {4, 0}, {3, 0}, {2, 0}, {1, 0}}));
    // Where the ideal line passes midway between two pixels (x = 0.5 at y = 1), the walk steps
    // along both axes at once.
    plotted.clear();
    platform::gdi_detail::WalkThinLine(0, 0, 1, 2, plot);
    EXPECT_EQ(plotted, (std::vector<Pixel>{{0, 0}, {1, 1}}));
    plotted.clear();
    platform::gdi_detail::WalkThinLine(1, 2, 0, 0, plot);
    EXPECT_EQ(plotted, (std::vector<Pixel>{{1, 2}, {0, 1}}));
}

TEST(LineToTest, EachPenDrawsItsOwnWayAndTheNullPenOnlyMovesTheCurrentPosition) {
    TestSurface surface(20, 20, RGB(0, 0, 0));
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(surface.dc(), 3, 4, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    surface.UseStock(NULL_PEN);
    EXPECT_TRUE(LineTo(surface.dc(), 10, 11));
    EXPECT_TRUE(surface.PixelsOtherThan(RGB(0, 0, 0)).empty());
    MoveToEx(surface.dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, 10);
    EXPECT_EQ(previous.y, 11);
    surface.UseStock(WHITE_PEN);
    LineTo(surface.dc(), 2, 0);
    EXPECT_EQ(surface.PixelsOf(RGB(255, 255, 255)), (std::set<Pixel>{{0, 0}, {1, 0}}));

    // The default pen and a pen of width 0 draw one pixel wide, from the first point up to the
    // last, which is left out, whichever way the line runs.
    TestSurface white(10, 10, RGB(255, 255, 255));
    Line(white.dc(), 1, 1, 6, 1);
    EXPECT_EQ(white.PixelsOf(RGB(0, 0, 0)),
              (std::set<Pixel>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
    white.UsePen(0, kGrey);
    Line(white.dc(), 9, 8, 9, 4);
    EXPECT_EQ(white.PixelsOf(kGrey), (std::set<Pixel>{{9, 5}, {9, 6}, {9, 7}, {9, 8}}));
}

TEST(LineToTest, LinesFarOffOrHugeStayInsideTheSurface) {
    TestSurface surface(30, 30, RGB(0, 0, 0));
    for (int width : {1, 3}) {
        surface.UsePen(width, kGrey);
        Line(surface.dc(), INT_MIN, 15, INT_MAX, 15);
        Line(surface.dc(), -5000, -5000, -10, -10);
        Line(surface.dc(), 15, INT_MIN, 15, INT_MAX);
    }
    const auto grey = surface.PixelsOf(kGrey);
    EXPECT_TRUE(grey.contains({0, 15}) && grey.contains({29, 15}));
    EXPECT_TRUE(grey.contains({15, 0}) && grey.contains({15, 29}));
}

TEST(ClipSegmentTest, CutsToTheBoxAndRejectsWhatMisses) {
    using platform::gdi_detail::ClipSegment;
    using platform::gdi_detail::Segment;
    Segment crossing{-100, 5, 100, 5};
    ASSERT_TRUE(ClipSegment(crossing, 0, 0, 10, 10));
    EXPECT_NEAR(crossing.x0, 0, 1e-9);
    EXPECT_NEAR(crossing.x1, 10, 1e-9);
    EXPECT_DOUBLE_EQ(crossing.y0, 5);

    Segment inside{2, 3, 4, 5};
    ASSERT_TRUE(ClipSegment(inside, 0, 0, 10, 10));
    EXPECT_DOUBLE_EQ(inside.x0, 2);
    EXPECT_DOUBLE_EQ(inside.y1, 5);

    Segment above{-5, -1, 20, -1};
    EXPECT_FALSE(ClipSegment(above, 0, 0, 10, 10));
    Segment alongTheTop{-5, 0, 20, 0};
    ASSERT_TRUE(ClipSegment(alongTheTop, 0, 0, 10, 10));
    EXPECT_NEAR(alongTheTop.x1, 10, 1e-9);
    Segment pastCorner{13, 9, 9, 13};
    EXPECT_FALSE(ClipSegment(pastCorner, 0, 0, 10, 10));
    // Touching the box at one corner only leaves that point, whichever sides meet there.
    for (Segment corner : {Segment{5, 15, 15, 5}, Segment{-5, 5, 5, 15}}) {
        const double x = corner.x0 < 0 ? 0 : 10;
        ASSERT_TRUE(ClipSegment(corner, 0, 0, 10, 10)) << x;
        EXPECT_NEAR(corner.x0, x, 1e-9);
        EXPECT_NEAR(corner.y0, 10, 1e-9);
        EXPECT_NEAR(corner.x1, x, 1e-9);
        EXPECT_NEAR(corner.y1, 10, 1e-9);
    }
}

}  // namespace
