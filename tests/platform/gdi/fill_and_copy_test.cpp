#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface_dc.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using tarvel_test::BoundsOf;
using tarvel_test::Pixel;
using tarvel_test::TestSurface;

constexpr COLORREF kPaper = RGB(0, 0, 0);
constexpr COLORREF kGreen = RGB(0, 100, 50);

// A surface whose every pixel has its own colour, so a copy shows where each pixel came from.
void PaintCoordinates(TestSurface& surface) {
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            SetPixel(surface.dc(), x, y, RGB(x, y, 7));
        }
    }
}

// The stock brushes paint their greys; programs written for the platform pass stock objects and
// the copy's operation as numbers, which the names must mean too.
TEST(FillRectTest, StockBrushesPaintTheirGreysAndAreFoundByThePlatformsNumbers) {
    TestSurface surface(4, 1);
    const RECT all{0, 0, 4, 1};
    const std::pair<int, COLORREF> brushes[] = {{WHITE_BRUSH, RGB(255, 255, 255)},
                                                {LTGRAY_BRUSH, RGB(192, 192, 192)},
                                                {GRAY_BRUSH, RGB(128, 128, 128)},
                                                {DKGRAY_BRUSH, RGB(64, 64, 64)},
                                                {BLACK_BRUSH, RGB(0, 0, 0)}};
    for (const auto& [stock, colour] : brushes) {
        surface.Clear(RGB(1, 2, 3));
        FillRect(surface.dc(), &all, static_cast<HBRUSH>(GetStockObject(stock)));
        EXPECT_EQ(GetPixel(surface.dc(), 3, 0), colour) << stock;
    }
    EXPECT_EQ(GetStockObject(0), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetStockObject(4), GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(GetStockObject(5), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(7), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetStockObject(8), GetStockObject(NULL_PEN));
    TestSurface from(4, 1, RGB(9, 8, 7));
    EXPECT_TRUE(BitBlt(surface.dc(), 0, 0, 4, 1, from.dc(), 0, 0, 0x00CC0020));
    EXPECT_EQ(GetPixel(surface.dc(), 1, 0), RGB(9, 8, 7));
}

// Left and top edges are covered, right and bottom not; the surface clips; empty or inverted
// rectangles cover nothing.
TEST(FillRectTest, CoversLeftAndTopEdgesClippedToTheSurfaceAndIgnoresEmptyRectangles) {
    TestSurface surface(10, 10, kPaper);
    HBRUSH brush = CreateSolidBrush(kGreen);
    const RECT rect{3, 4, 8, 10};
    EXPECT_EQ(FillRect(surface.dc(), &rect, brush), 1);
    const auto green = surface.PixelsOf(kGreen);
    EXPECT_EQ(BoundsOf(green), (tarvel_test::Bounds{3, 4, 7, 9}));
    EXPECT_EQ(green.size(), 5u * 6u);

    surface.Clear(kPaper);
    const RECT overhanging{-5, 7, 100, 100};
    FillRect(surface.dc(), &overhanging, brush);
    EXPECT_EQ(surface.PixelsOf(kGreen).size(), 10u * 3u);

    surface.Clear(kPaper);
    for (const RECT& r : {RECT{5, 5, 5, 9}, RECT{8, 2, 3, 6}, RECT{INT_MIN, INT_MIN, INT_MIN, 0},
                          RECT{INT_MAX - 1, 0, INT_MAX, 5}}) {
        FillRect(surface.dc(), &r, brush);
    }
    EXPECT_TRUE(surface.PixelsOf(kGreen).empty());
    DeleteObject(brush);
}

TEST(FillRectTest, RefusesMissingRectangleOrStaleBrushAndHollowBrushPaintsNothing) {
    TestSurface surface(10, 10, kPaper);
    const RECT all{0, 0, 10, 10};
    HBRUSH brush = CreateSolidBrush(kGreen);
    DeleteObject(brush);
    EXPECT_EQ(FillRect(surface.dc(), &all, brush), 0);
    EXPECT_EQ(FillRect(surface.dc(), nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    EXPECT_NE(FillRect(surface.dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 0);
    EXPECT_TRUE(surface.PixelsOtherThan(kPaper).empty());
}

TEST(PixelTest, SetPixelWritesOnePixelAndRefusesOutsideTheSurface) {
    TestSurface surface(8, 6, kPaper);
    EXPECT_EQ(SetPixel(surface.dc(), 7, 5, RGB(250, 250, 200)), RGB(250, 250, 200));
    EXPECT_EQ(surface.PixelsOtherThan(kPaper), (std::set<Pixel>{{7, 5}}));
    EXPECT_EQ(GetPixel(surface.dc(), 7, 5), RGB(250, 250, 200));
    for (const Pixel& p : {Pixel{8, 0}, Pixel{0, 6}, Pixel{-1, 2}, Pixel{INT_MIN, INT_MAX}}) {
        EXPECT_EQ(SetPixel(surface.dc(), p.first, p.second, kGreen), CLR_INVALID);
        EXPECT_EQ(GetPixel(surface.dc(), p.first, p.second), CLR_INVALID);
    }
    EXPECT_EQ(SetPixel(surface.dc(), 1, 1, 0x01000000 | kGreen), CLR_INVALID);
    EXPECT_EQ(surface.PixelsOtherThan(kPaper).size(), 1u);
}

// Every pixel of `surface`: inside `copied` the colour painted at (x + dx, y + dy), outside it
// `outside`, or the pixel's own painted colour when that is CLR_INVALID.
void ExpectCopied(const TestSurface& surface, const RECT& copied, int dx, int dy,
                  COLORREF outside = kGreen) {
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            const bool inside =
                x >= copied.left && x < copied.right && y >= copied.top && y < copied.bottom;
            const COLORREF expected = inside                   ? RGB(x + dx, y + dy, 7)
                                      : outside == CLR_INVALID ? RGB(x, y, 7)
                                                               : outside;
            ASSERT_EQ(GetPixel(surface.dc(), x, y), expected) << x << ", " << y;
        }
    }
}

// The whole surface (37 x 23, rows not a multiple of any word), and a 5 x 4 part moved from
// (10, 20) to (2, 3) with nothing else touched; then a copy clipped to both surfaces, leaving
// unsourced pixels alone.
TEST(BitBltTest, CopiesTheRectangleExactlyClippedToBothSurfacesAndFromItselfAsItWas) {
    const struct {
        int width, height, x, y, w, h, fromX, fromY;
    } copies[] = {{37, 23, 0, 0, 37, 23, 0, 0}, {30, 30, 2, 3, 5, 4, 10, 20}};
    for (const auto& c : copies) {
        TestSurface source(c.width, c.height);
        TestSurface dest(c.width, c.height, kGreen);
        PaintCoordinates(source);
        ASSERT_TRUE(BitBlt(dest.dc(), c.x, c.y, c.w, c.h, source.dc(), c.fromX, c.fromY, SRCCOPY));
        ExpectCopied(dest, {c.x, c.y, c.x + c.w, c.y + c.h}, c.fromX - c.x, c.fromY - c.y);
    }
    TestSurface source(10, 10);
    TestSurface dest(20, 20, kGreen);
    PaintCoordinates(source);
    // Source reads run off the source's right and bottom; writes start left of and above the
    // destination.
    ASSERT_TRUE(BitBlt(dest.dc(), -3, -2, 20, 20, source.dc(), 0, 0, SRCCOPY));
    ExpectCopied(dest, {0, 0, 7, 8}, 3, 2);
    EXPECT_TRUE(BitBlt(dest.dc(), INT_MAX - 1, INT_MIN, INT_MAX, INT_MAX, source.dc(), INT_MIN,
                       INT_MAX, SRCCOPY));
    // A copy within one surface reads the original pixels: down and right, up by whole rows, and
    // up by part rows (copied row by row, top first).
    const struct {
        RECT to;
        int dx, dy;
    } overlaps[] = {{{2, 3, 12, 13}, -2, -3}, {{0, 0, 16, 10}, 0, 4}, {{1, 0, 11, 10}, 0, 4}};
    TestSurface surface(16, 16);
    for (const auto& [to, dx, dy] : overlaps) {
        PaintCoordinates(surface);
        ASSERT_TRUE(BitBlt(surface.dc(), to.left, to.top, to.right - to.left, to.bottom - to.top,
                           surface.dc(), to.left + dx, to.top + dy, SRCCOPY));
        ExpectCopied(surface, to, dx, dy, CLR_INVALID);
    }
}

TEST(BitBltTest, RefusesOtherOperationsNegativeSizesAndStaleContexts) {
    TestSurface source(4, 4, kGreen);
    TestSurface dest(4, 4, kPaper);
    constexpr DWORD kSrcPaint = 0x00EE0086;
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 4, 4, source.dc(), 0, 0, kSrcPaint));
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, -1, 4, source.dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 4, -1, source.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dest.dc(), 0, 0, 0, 0, source.dc(), 0, 0, SRCCOPY)) << "nothing to copy";
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(BitBlt(dest.dc(), 0, 0, 4, 4, gone, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(gone, 0, 0, 4, 4, source.dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(dest.PixelsOtherThan(kPaper).empty());
}

}  // namespace
