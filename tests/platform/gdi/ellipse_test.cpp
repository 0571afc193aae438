#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <set>
#include <utility>
#include <vector>

#include "platform/gdi/ellipse_shape.h"
#include "platform/gdi/gdi.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using platform::gdi_detail::EllipseShape;
using platform::gdi_detail::Span;
using tarvel_test::BoundsOf;
using tarvel_test::Pixel;
using tarvel_test::TestSurface;

constexpr COLORREF kPaper = RGB(0, 0, 0);
constexpr COLORREF kInk = RGB(255, 50, 100);
constexpr COLORREF kFill = RGB(0, 100, 50);

// The pixels of the shape moved by (dx, dy): its rows, its insides, or its outline (the rows
// less the insides).
enum class Part { All, Interior, Outline };
std::set<Pixel> ShapePixels(const EllipseShape& shape, Part part = Part::All, int dx = 0,
                            int dy = 0) {
    std::set<Pixel> pixels;
    for (int row = 0; row < shape.Height(); ++row) {
        const Span span = part == Part::Interior ? shape.Interior(row) : shape.Row(row);
        const Span inside = part == Part::Outline ? shape.Interior(row) : Span{1, 0};
        for (auto x = span.left; x <= span.right; ++x) {
            if (x < inside.left || x > inside.right) {
                pixels.emplace(static_cast<int>(x) + dx, row + dy);
            }
        }
    }
    return pixels;
}

bool EightConnected(const std::set<Pixel>& set) {
    if (set.empty()) {
        return true;
    }
    std::set<Pixel> seen{*set.begin()};
    std::vector<Pixel> todo{*set.begin()};
    while (!todo.empty()) {
        const Pixel p = todo.back();
        todo.pop_back();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const Pixel q{p.first + dx, p.second + dy};
                if (set.contains(q) && seen.insert(q).second) {
                    todo.push_back(q);
                }
            }
        }
    }
    return seen.size() == set.size();
}

// For every box to 40 x 40: the shape touches all four sides and has no empty row; it is
// symmetric top to bottom, widens to the middle row, and swapping the box's sides mirrors it
// (rows and columns are treated alike); its inside is enclosed by the outline, and every pixel
// not on the edge is inside. Rows outside the box are empty.
TEST(EllipseShapeTest, FillsItsBoxSymmetricallyWithTheInsideEnclosedForEverySize) {
    for (int width = 1; width <= 40; ++width) {
        for (int height = 1; height <= 40; ++height) {
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            const EllipseShape shape(width, height);
            const auto all = ShapePixels(shape);
            EXPECT_EQ(BoundsOf(all), (tarvel_test::Bounds{0, 0, width - 1, height - 1}));
            for (int row = 0; row < height; ++row) {
                const Span top = shape.Row(row);
                const Span bottom = shape.Row(height - 1 - row);
                EXPECT_FALSE(top.Empty()) << "row " << row;
                EXPECT_EQ(std::pair(top.left, top.right), std::pair(bottom.left, bottom.right));
                if (row > 0 && row <= (height - 1) / 2) {
                    EXPECT_LE(top.left, shape.Row(row - 1).left) << "row " << row;
                }
            }
            for (int row : {-1, height}) {
                EXPECT_TRUE(shape.Row(row).Empty() && shape.Interior(row).Empty()) << row;
            }
            std::set<Pixel> transposed;
            for (const auto& [x, y] : ShapePixels(EllipseShape(height, width))) {
                transposed.emplace(y, x);
            }
            EXPECT_EQ(all, transposed);
            const auto inside = ShapePixels(shape, Part::Interior);
            for (const auto& [x, y] : all) {
                const bool edge = !all.contains({x - 1, y}) || !all.contains({x + 1, y}) ||
                                  !all.contains({x, y - 1}) || !all.contains({x, y + 1});
                ASSERT_EQ(inside.contains({x, y}), !edge) << "(" << x << ", " << y << ")";
            }
            for (const auto& p : inside) {
                ASSERT_TRUE(all.contains(p)) << "(" << p.first << ", " << p.second << ")";
            }
        }
    }
}

// A pixel of the outline with one outline neighbour beside it and another above or below it,
// those two touching diagonally: the outline would stay closed without it.
bool HasDoubledCorner(const std::set<Pixel>& outline, Pixel* where) {
    for (const auto& [x, y] : outline) {
        for (int dx : {-1, 1}) {
            for (int dy : {-1, 1}) {
                if (outline.contains({x + dx, y}) && outline.contains({x, y + dy})) {
                    *where = {x, y};
                    return true;
                }
            }
        }
    }
    return false;
}

TEST(EllipseShapeTest, OutlineIsOneConnectedPixelEdgeWithoutDoubledCornersOrDiagonalSteps) {
    for (int width = 3; width <= 48; ++width) {
        for (int height = 3; height <= 48; ++height) {
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            const EllipseShape shape(width, height);
            const auto outline = ShapePixels(shape, Part::Outline);
            EXPECT_TRUE(EightConnected(outline));
            // Beyond 4:1 the tips of a flat ellipse only two or three rows high are edge
            // through and through, as on the platform.
            if (std::max(width, height) > 4 * std::min(width, height)) {
                continue;
            }
            Pixel corner;
            ASSERT_FALSE(HasDoubledCorner(outline, &corner))
                << "at (" << corner.first << ", " << corner.second << ")";
        }
    }
    // The diagonal steps of a circle are single pixels.
    // Radius 4: without thinning, the bend where the top run meets the side doubles.
    const EllipseShape circle(9, 9);
    EXPECT_EQ(circle.Row(0).left, 3);
    EXPECT_EQ(circle.Row(1).left, 2);
    EXPECT_EQ(circle.Row(2).left, 1);
    EXPECT_EQ(circle.Row(3).left, 0);
    // A flat ellipse whose two middle rows would end in a 2 x 2 block gets its top row
    // reaching one pixel further instead, keeping the tips.
    const EllipseShape flat(16, 4);
    EXPECT_EQ(flat.Row(0).left, 1);
    EXPECT_EQ(flat.Row(1).left, 0);
    EXPECT_EQ(flat.Interior(1).left, 1);
}

TEST(EllipseTest, ThreePixelPenLaysTheRingOnePixelEachSideOfTheOutline) {
    TestSurface surface(60, 60, kPaper);
    surface.UsePen(3, kInk);
    surface.UseBrush(kFill);
    ASSERT_TRUE(Ellipse(surface.dc(), 10, 12, 40, 42));

    const auto ink = surface.PixelsOf(kInk);
    const auto fill = surface.PixelsOf(kFill);
    EXPECT_EQ(BoundsOf(ink), (tarvel_test::Bounds{9, 11, 40, 42}));
    // The ring is three pixels across along the middle row and column.
    EXPECT_TRUE(ink.contains({9, 27}) && ink.contains({10, 27}) && ink.contains({11, 27}));
    EXPECT_TRUE(fill.contains({12, 27}));
    EXPECT_TRUE(ink.contains({25, 40}) && ink.contains({25, 41}) && ink.contains({25, 42}));
    EXPECT_TRUE(fill.contains({25, 39}));
    EXPECT_EQ(BoundsOf(fill), (tarvel_test::Bounds{12, 14, 37, 39}));
    // A box a pixel high has no inside to fill.
    ASSERT_TRUE(Ellipse(surface.dc(), 50, 10, 58, 11));
    EXPECT_EQ(surface.PixelsOf(kFill), fill);
}

// A box one pixel wide or high is a line; one of no width or height, nothing, whatever the pen.
TEST(EllipseTest, EmptyRectanglesDrawNothingAndHugeOnesAreRefused) {
    TestSurface surface(20, 20, kPaper);
    surface.UsePen(3, kInk);
    EXPECT_TRUE(Ellipse(surface.dc(), 5, 5, 5, 15));
    EXPECT_TRUE(Ellipse(surface.dc(), 5, 5, 15, 5));
    EXPECT_FALSE(Ellipse(surface.dc(), INT_MIN, 0, INT_MAX, 10));
    EXPECT_FALSE(Ellipse(surface.dc(), 0, -100000, 10, 100000));
    EXPECT_TRUE(surface.PixelsOtherThan(kPaper).empty());
    surface.UsePen(1, kInk);
    EXPECT_TRUE(Ellipse(surface.dc(), 5, 5, 6, 9));
    EXPECT_TRUE(Ellipse(surface.dc(), 12, 12, 16, 13));
    EXPECT_EQ(
        surface.PixelsOf(kInk),
        (std::set<Pixel>{{5, 5}, {5, 6}, {5, 7}, {5, 8}, {12, 12}, {13, 12}, {14, 12}, {15, 12}}));
    // The largest side, pen included, is still drawn.
    constexpr int kSide = static_cast<int>(EllipseShape::kMaxSide);
    EXPECT_FALSE(Ellipse(surface.dc(), -kSide / 2, 0, kSide / 2, 3));
    SelectObject(surface.dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(Ellipse(surface.dc(), -kSide / 2, 0, kSide / 2, 3));
    EXPECT_FALSE(Ellipse(surface.dc(), -kSide / 2, 0, kSide / 2 + 1, 3));
    EXPECT_TRUE(Ellipse(surface.dc(), 0, -kSide / 2, 3, kSide / 2));
    EXPECT_FALSE(Ellipse(surface.dc(), 0, -kSide / 2, 3, kSide / 2 + 1));
}

// The rectangle's corners may come in either order.
TEST(EllipseTest, NullBrushLeavesTheInsideAndNullPenFillsTheWholeShape) {
    TestSurface outlined(40, 40, kPaper);
    outlined.UsePen(1, kInk);
    outlined.UseStock(NULL_BRUSH);
    Ellipse(outlined.dc(), 2, 3, 30, 25);

    TestSurface filled(40, 40, kPaper);
    filled.UseStock(NULL_PEN);
    filled.UseBrush(kFill);
    Ellipse(filled.dc(), 30, 25, 2, 3);

    const EllipseShape shape(28, 22);
    EXPECT_EQ(outlined.PixelsOtherThan(kPaper), ShapePixels(shape, Part::Outline, 2, 3));
    EXPECT_EQ(filled.PixelsOtherThan(kPaper), ShapePixels(shape, Part::All, 2, 3));
}

}  // namespace
