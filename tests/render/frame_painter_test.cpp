#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <string>
#include <utility>

#include "platform/gdi/gdi_debug.h"
#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/render/painted_window.h"

namespace {

using Colour = std::array<int, 3>;

constexpr Colour kRgbPitch{0, 100, 50};
constexpr Colour kRgbBallFill{200, 50, 100};
constexpr Colour kRgbBallOutline{255, 50, 100};
constexpr Colour kRgbHighlight{250, 250, 200};
constexpr Colour kRgbDiscOutline{180, 180, 150};
constexpr Colour kRgbRing{200, 200, 200};
constexpr Colour kRgbUserFill{150, 0, 150};
constexpr Colour kRgbComputerFill{200, 100, 0};

// A 240 x 320 window with the scores far from where the tests look.
class FramePainter : public testing::Test {
  protected:
    PaintedWindow window{240, 320};
    Player& user = window.state.players[kUserPlayer];
    Player& computer = window.state.players[kComputerPlayer];
    Ball& ball = window.state.ball;
};

// Pixels that differ from the pitch green inside a box, as a bounding box; empty when none.
struct Box {
    int left = std::numeric_limits<int>::max();
    int top = std::numeric_limits<int>::max();
    int right = std::numeric_limits<int>::min();
    int bottom = std::numeric_limits<int>::min();
    bool empty() const { return right < left; }
};

Box InkBox(const PaintedWindow& window, int x0, int y0, int x1, int y1) {
    Box box;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (window.WindowPixel(x, y) != kRgbPitch) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

bool HasPixelOf(const PaintedWindow& window, int x0, int y0, int x1, int y1, Colour colour) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (window.WindowPixel(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

// The pixels of `points` that are not `colour`, written out; empty when all are.
std::string Wrong(const PaintedWindow& window, Colour colour,
                  std::initializer_list<std::pair<int, int>> points) {
    std::string wrong;
    for (const auto& [x, y] : points) {
        if (window.WindowPixel(x, y) != colour) {
            wrong += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
        }
    }
    return wrong;
}

}  // namespace

TEST_F(FramePainter, DiscAndRingAtTheWorkedRectangles) {
    computer.x = 97.0;
    computer.y = 8.0;
    window.PaintFrame();
    // Disc in (97, 8, 144, 55): outline on its extreme columns and rows, nothing outside; ring
    // in (108, 19, 132, 43); both outlines one pixel wide.
    EXPECT_EQ(
        Wrong(
            window, kRgbDiscOutline,
            {{97, 31}, {143, 31}, {120, 8}, {120, 54}, {108, 31}, {131, 31}, {120, 19}, {120, 42}}),
        "");
    EXPECT_EQ(Wrong(window, kRgbPitch, {{96, 31}, {144, 31}, {120, 55}}), "");
    EXPECT_EQ(Wrong(window, kRgbComputerFill, {{98, 31}, {107, 31}, {132, 31}}), "");
    EXPECT_EQ(Wrong(window, kRgbRing, {{120, 31}, {109, 31}}), "");
}

TEST_F(FramePainter, BallWithItsHighlightAndOutline) {
    ASSERT_EQ(ball.x, 113.0);
    ASSERT_EQ(ball.y, 160.0);
    window.PaintFrame();
    // Ball in (113, 160, 128, 175), highlight at (121, 168); a one-pixel outline, the fill
    // right inside it.
    EXPECT_EQ(Wrong(window, kRgbBallOutline, {{113, 167}, {127, 167}, {120, 160}, {120, 174}}), "");
    EXPECT_EQ(Wrong(window, kRgbPitch, {{120, 175}, {112, 167}}), "");
    EXPECT_EQ(Wrong(window, kRgbBallFill, {{114, 167}, {126, 167}, {117, 167}}), "");
    EXPECT_EQ(window.WindowPixel(121, 168), kRgbHighlight);
    ball.active = 0;
    window.PaintFrame();
    EXPECT_EQ(Wrong(window, kRgbPitch, {{117, 170}, {121, 168}, {120, 174}}), "");
}

TEST_F(FramePainter, EachFrameStartsFromTheWholePitchUnmoved) {
    // Bodies on every edge, then all far off the pitch: what is left is the pitch, pixel for
    // pixel, right of the scores.
    ball.x = 225;
    ball.y = 305;
    user.x = -10;
    computer.y = -5;
    window.PaintFrame();
    ball.x = user.x = computer.x = -1000;
    window.PaintFrame();
    for (int y = 0; y < 320; ++y) {
        for (int x = 60; x < 240; ++x) {
            ASSERT_EQ(window.WindowPixel(x, y), Channels(window.BackgroundPixel(x, y)))
                << x << "," << y;
        }
    }
}

TEST_F(FramePainter, ScoresStandInTheirCellsAndTheBallAndDiscsCoverThem) {
    user.score = 10;
    computer.score = 0;
    window.PaintFrame();
    // Upper score at (20, 80), lower at (20, 240); each cell 30 pixels high.
    const Box upper = InkBox(window, 2, 60, 70, 112);
    ASSERT_FALSE(upper.empty()) << "0 is drawn";
    EXPECT_GE(upper.left, 20);
    EXPECT_GE(upper.top, 80);
    EXPECT_LE(upper.bottom, 110);
    EXPECT_LE(upper.right, 20 + 20);  // one digit, about 15 pixels wide
    // Exactly where the painter's own score drawn at (20, 80) puts its ink.
    tarvel_test::TestSurface alone(240, 320, kScoreBackground);
    MatchState unchanged = window.state;
    DrawScore(unchanged, alone.dc(), 20, 80, 0);
    const tarvel_test::Bounds ink = tarvel_test::BoundsOf(alone.PixelsOtherThan(kScoreBackground));
    EXPECT_EQ(std::pair(ink.minX, ink.minY), std::pair(upper.left, upper.top));
    // The font is twice the ball's size high; a digit's ink, about two thirds of that.
    EXPECT_GT(upper.bottom - upper.top, ball.size);
    EXPECT_LT(upper.bottom - upper.top, 2 * ball.size);

    const Box lower = InkBox(window, 2, 215, 70, 275);
    ASSERT_FALSE(lower.empty());
    EXPECT_GE(lower.left, 20);
    EXPECT_GE(lower.top, 240);
    EXPECT_LE(lower.bottom, 270);
    EXPECT_GT(lower.right - lower.left, upper.right - upper.left + 5);  // "10" is two digits
    EXPECT_LE(lower.right, 20 + 2 * 20);
    // The same number stands at the same x in both cells, 160 rows apart.
    computer.score = 10;
    window.PaintFrame();
    const Box upperTen = InkBox(window, 2, 60, 70, 112);
    EXPECT_EQ(upperTen.left, lower.left);
    EXPECT_EQ(upperTen.right, lower.right);
    EXPECT_EQ(lower.top - upperTen.top, 240 - 80);

    // The ball's middle on a pixel of the upper digit, the user's disc (clear of its ring) on
    // one of the lower digits: the bodies are drawn over the scores.
    const int upperRow = (upper.top + upper.bottom) / 2;
    const int lowerRow = (lower.top + lower.bottom) / 2;
    const int upperInk = InkBox(window, 2, upperRow, 70, upperRow + 1).left;
    const int lowerInk = InkBox(window, 2, lowerRow, 70, lowerRow + 1).left;
    ball.x = upperInk - 7;
    ball.y = upperRow - 7;
    user.x = lowerInk - 5;
    user.y = lowerRow - 23;
    window.PaintFrame();
    EXPECT_EQ(window.WindowPixel(upperInk, upperRow), kRgbBallFill);
    EXPECT_EQ(window.WindowPixel(lowerInk, lowerRow), kRgbUserFill);
}

TEST(FramePainterScores, FlashColoursFadeByOnePerScore) {
    PaintedWindow window(480, 640);  // big digits, so stems have fully covered pixels
    window.state.scoreFlash = 100;
    window.PaintFrame();
    EXPECT_EQ(window.state.scoreFlash, 98);
    EXPECT_TRUE(HasPixelOf(window, 20, 160, 60, 222, {200, 200, 200}));
    EXPECT_TRUE(HasPixelOf(window, 20, 480, 60, 542, {199, 199, 198}));

    window.state.scoreFlash = 1;
    window.PaintFrame();
    EXPECT_EQ(window.state.scoreFlash, 0);
    EXPECT_TRUE(HasPixelOf(window, 20, 160, 60, 222, {101, 101, 2}));
    EXPECT_TRUE(HasPixelOf(window, 20, 480, 60, 542, {100, 100, 0}));
    EXPECT_FALSE(HasPixelOf(window, 20, 480, 60, 542, {101, 101, 2}));

    window.PaintFrame();
    EXPECT_EQ(window.state.scoreFlash, 0);
    EXPECT_TRUE(HasPixelOf(window, 20, 160, 60, 222, {100, 100, 0}));
}

TEST(FramePainterResources, EveryFrameMakesItsObjectsAndLeavesOnlyTheSurfacesAndTheLastBrushes) {
    const platform::GdiObjectCounts before = platform::LiveGdiObjects();
    const std::size_t blocksBefore = platform::LiveLocalBlocks();
    PaintedWindow window(240, 320);
    const platform::GdiObjectCounts madeBefore = platform::MadeGdiObjects();
    constexpr int kFrames = 500;
    for (int frame = 0; frame < kFrames; ++frame) {
        RunGameTick(window.state);
        // Every other frame without the ball: its brush and pen are made all the same.
        window.state.ball.active = frame % 2;
        window.PaintFrame();
    }
    const platform::GdiObjectCounts made = platform::MadeGdiObjects();
    EXPECT_EQ((std::array{made.brushes - madeBefore.brushes, made.pens - madeBefore.pens,
                          made.fonts - madeBefore.fonts}),
              (std::array<std::size_t, 3>{4u * kFrames, 5u * kFrames, 2u * kFrames}));
    // Two surfaces with their bitmaps, the background's grey brush and the frame's ring brush.
    EXPECT_EQ(platform::LiveGdiObjects(),
              (platform::GdiObjectCounts{before.deviceContexts + 2, before.bitmaps + 2,
                                         before.brushes + 2, before.pens, before.fonts}));
    EXPECT_EQ(platform::LiveLocalBlocks(), blocksBefore);
}
