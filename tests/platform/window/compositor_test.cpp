// Composing the screen: which parts of each window are visible, the copy that writes only what
// differs, and the screen the back end is shown, with only what changed on it said to have
// changed.
#include "platform/window/compositor.h"

#include <cairo.h>

#include <array>
#include <numeric>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/window/chrome.h"
#include "platform/window/desktop.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using platform::detail::Layer;

// Windows of two classes filled red and blue.
class Compositor : public Desktop {
  protected:
    ~Compositor() override {
        DeleteObject(red);
        DeleteObject(blue);
    }
    // A window of class `colour`; with WS_CAPTION in `style`, a titled one with an OK button.
    static HWND Filled(LPCWSTR colour, int x, int y, int width, int height, HWND parent = nullptr,
                       DWORD style = 0) {
        const bool captioned = (style & WS_CAPTION) != 0;
        return CreateWindowExW(captioned ? WS_EX_CAPTIONOKBTN : 0, colour,
                               captioned ? u"Title" : u"",
                               WS_VISIBLE | (parent ? WS_CHILD : 0) | style, x, y, width, height,
                               parent, nullptr, nullptr, nullptr);
    }

    HBRUSH red = RegisterFilledClass(u"Red", RGB(255, 0, 0));
    HBRUSH blue = RegisterFilledClass(u"Blue", RGB(0, 0, 255));
};

TEST(VisibleParts, ALayerShowsWhereNoLayerAbovePaintsOver) {
    const RECT screen{0, 0, 60, 50};
    // Bottom first: a full-screen window; one whose client has no pixels (only its caption,
    // rows 10 to 14, paints); one hidden; one partly off the screen on top.
    const std::vector<Layer> layers{{{0, 0, 60, 50}, {0, 0, 60, 50}},
                                    {{10, 10, 40, 30}, {10, 10, 40, 14}},
                                    {{0, 0, 0, 0}, {0, 0, 0, 0}},
                                    {{30, 20, 80, 70}, {30, 20, 80, 70}}};
    const std::vector<std::vector<RECT>> visible = platform::detail::VisibleParts(layers, screen);
    ASSERT_EQ(visible.size(), layers.size());
    EXPECT_TRUE(visible[2].empty()) << "a hidden window shows nothing";
    for (int y = screen.top; y < screen.bottom; ++y) {
        for (int x = screen.left; x < screen.right; ++x) {
            const bool underTop = x >= 30 && y >= 20;
            const bool inSecond = x >= 10 && x < 40 && y >= 10 && y < 30;
            const bool underCaption = inSecond && y < 14;
            const bool want[] = {!underTop && !underCaption, inSecond && !underTop, false,
                                 underTop};
            for (std::size_t i = 0; i < layers.size(); ++i) {
                EXPECT_EQ(Covers(visible[i], x, y), want[i])
                    << "layer " << i << " at " << x << "," << y;
            }
        }
    }
}

TEST(CopyArea, CopiesOnlyWhatLiesInsideTheSourceTheAreaAndTheScreenAndSaysWhatDiffered) {
    // A 4 x 3 source placed at (-1, 2) on an 8 x 6 screen, copied over an area reaching past
    // all three; one pixel of it was on the screen already.
    std::vector<std::uint32_t> source(4 * 3);
    std::iota(source.begin(), source.end(), 100u);
    std::vector<std::uint32_t> screen(8 * 6, 7);
    screen[4 * 8 + 1] = source[2 * 4 + 2];
    platform::ScreenDamage changed(8, 6);
    platform::detail::CopyArea({source.data(), 4, 3, 16}, {-1, 2}, {-5, 3, 2, 20},
                               {screen.data(), 8, 6, 32}, changed);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool copied = x < 2 && y >= 3 && y < 5;
            const std::uint32_t want =
                copied ? source[static_cast<std::size_t>((y - 2) * 4 + x + 1)] : 7u;
            EXPECT_EQ(screen[static_cast<std::size_t>(y * 8 + x)], want) << x << "," << y;
        }
    }
    std::vector<RECT> bands = changed.Bands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{0, 3, 2, 5}));

    // Filling: only what was not black yet, and only on the screen.
    platform::ScreenDamage filled(8, 6);
    platform::detail::FillArea({screen.data(), 8, 6, 32}, {6, -2, 12, 1}, 0, filled);
    platform::detail::FillArea({screen.data(), 8, 6, 32}, {0, 5, 1, 6}, 7, filled);
    EXPECT_EQ((std::array{screen[6], screen[7], screen[5], screen[8 + 6]}),
              (std::array<std::uint32_t, 4>{0, 0, 7, 7}));
    bands = filled.Bands();
    ASSERT_EQ(bands.size(), 1u);
    EXPECT_EQ(Sides(bands[0]), (std::array<LONG, 4>{6, 0, 8, 1}));
    // Nothing left of the first column, where the row above ends.
    platform::detail::FillArea({screen.data(), 8, 6, 32}, {-3, 5, 1, 6}, 0, filled);
    EXPECT_EQ(screen[4 * 8 + 7], 7u);
}

TEST_F(Compositor, TheScreenShowsEachWindowInsideItsParentOnly) {
    // A red window at (20, 30), 100 x 80, and a blue child at (90, 60) in it, 50 x 50: the
    // child's right part lies outside its parent and is not shown.
    HWND parent = Filled(u"Red", 20, 30, 100, 80);
    HWND child = Filled(u"Blue", 90, 60, 50, 50, parent);
    ASSERT_NE(child, nullptr);
    PumpUntilIdle();
    cairo_surface_t* screen = backend.PresentedScreen();
    ASSERT_NE(screen, nullptr);
    // The parent's first pixel, its last column and row, and the child past its parent's edge.
    constexpr COLORREF kRed = RGB(255, 0, 0);
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    EXPECT_EQ(
        PixelsAt(screen,
                 {{19, 30}, {20, 30}, {109, 89}, {110, 90}, {119, 109}, {120, 100}, {115, 110}}),
        (std::vector<COLORREF>{0, kRed, kRed, kBlue, kBlue, 0, 0}));
    // Moved without a paint, the child is shown where it went.
    MoveWindow(child, 60, 40, 50, 50, FALSE);
    PumpUntilIdle();
    EXPECT_EQ(DifferingFromAFreshScreen(backend.PresentedScreen()), 0);
    // Brought to the front, a window covers the one that was over it.
    Filled(u"Blue", 0, 0, 60, 60);
    SetForegroundWindow(parent);
    EXPECT_EQ(PixelAt(platform::CaptureScreen().get(), 30, 40), kRed);
}

TEST_F(Compositor, AResizedWindowKeepsItsPixelsAndWhatItUncoversIsBlack) {
    HWND window = Filled(u"Red", 0, 0, 100, 80);
    PumpUntilIdle();
    cairo_surface_t* screen = backend.PresentedScreen();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(PixelAt(screen, 10, 60), RGB(255, 0, 0));
    // Shorter, then as tall as before without a repaint: the lower rows were red once, and must
    // not come back.
    MoveWindow(window, 0, 0, 100, 40, FALSE);
    PumpUntilIdle();
    EXPECT_EQ(PixelAt(screen, 10, 60), RGB(0, 0, 0)) << "what it no longer covers";
    MoveWindow(window, 0, 0, 100, 80, FALSE);
    PumpUntilIdle();
    EXPECT_EQ(PixelsAt(screen, {{10, 39}, {10, 40}, {99, 79}}),
              (std::vector<COLORREF>{RGB(255, 0, 0), 0, 0}));
    // Wider and taller than the screen's first window: the red part moves along, its first row
    // too, and right of the first row comes nothing of the next.
    MoveWindow(window, 0, 0, 150, 330, FALSE);
    PumpUntilIdle();
    EXPECT_EQ(PixelsAt(screen, {{0, 0}, {99, 39}, {100, 39}, {110, 0}, {10, 40}, {149, 319}}),
              (std::vector<COLORREF>{RGB(255, 0, 0), RGB(255, 0, 0), 0, 0, 0, 0}));
    // Room for every row, though more than the screen's.
    EXPECT_GE(platform::detail::Desktop::Current()->Find(window)->pixelCapacity, 330u * 600);
}

// No paint is asked for when the pointer holds the button down or lets it go: the screen is
// composed again because the button's state changed. A caption drawn again the same changes
// nothing.
TEST_F(Compositor, ACaptionsOkButtonIsShownPressedWhileThePointerHoldsIt) {
    HWND window = Filled(u"Red", 0, 0, 240, 200, nullptr, WS_CAPTION);
    PumpUntilIdle();
    platform::detail::Desktop& desktop = *platform::detail::Desktop::Current();
    const RECT ok =
        platform::detail::chrome::CaptionOkButton(*desktop.Find(window), desktop.metrics());
    const COLORREF raised = PixelAt(backend.PresentedScreen(), ok.left + 2, ok.top + 2);
    backend.PointerDown(ok.left + 2, ok.top + 2);
    PumpUntilIdle();
    EXPECT_NE(PixelAt(backend.PresentedScreen(), ok.left + 2, ok.top + 2), raised);
    backend.PointerUp(ok.left + 2, ok.top + 2);
    PumpUntilIdle();
    EXPECT_EQ(PixelAt(backend.PresentedScreen(), ok.left + 2, ok.top + 2), raised);
    ASSERT_EQ(SeenOf(WM_COMMAND).size(), 1u);
    // Pressed elsewhere on the caption and let go on the button: no click.
    backend.PointerDown(ok.left - 20, ok.top + 2);
    backend.PointerUp(ok.left + 2, ok.top + 2);
    PumpUntilIdle();
    EXPECT_EQ(SeenOf(WM_COMMAND).size(), 1u);
    InvalidateRect(window, nullptr, FALSE);
    PumpUntilIdle();
    EXPECT_TRUE(backend.LastChanged().empty()) << "the caption drawn again the same";
    EXPECT_EQ(SendMessageW(window, WM_NCMOUSEMOVE, 0, 0), 0) << "handled, it answers 0";
}

}  // namespace
}  // namespace window_test
