// The chrome's drawing primitives, drawn on an image and read back.
#include "platform/window/chrome.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/gdi/drawing_preparation.h"
#include "platform/window/dialogs.h"

#include "window_test_support.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace platform::detail::chrome {
namespace {

using window_test::PixelAt;
using window_test::PixelsAt;

constexpr COLORREF kPaper = RGB(0, 0, 0);

class Chrome : public ::testing::Test {
  protected:
    Chrome() : surface(MakeImageSurface(40, 40)), cr(cairo_create(surface.get())) {
        Fill(cr.get(), {0, 0, 40, 40}, FromColour(kPaper));
    }

    COLORREF At(int x, int y) { return PixelAt(surface.get(), x, y); }
    int Ink() {
        int ink = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                ink += At(x, y) != kPaper ? 1 : 0;
            }
        }
        return ink;
    }

    SurfacePtr surface;
    CairoPtr cr;
};

TEST_F(Chrome, AGradientRunsFromTheTopColourToTheBottomOne) {
    VerticalGradient(cr.get(), {0, 0, 40, 40}, FromColour(RGB(0, 0, 200)),
                     FromColour(RGB(200, 0, 0)));
    // Pixel centres lie half a pixel inside the ends.
    EXPECT_LE(GetRValue(At(5, 0)), 5);
    EXPECT_GE(GetBValue(At(5, 0)), 195);
    EXPECT_GE(GetRValue(At(5, 39)), 195);
    EXPECT_LE(GetBValue(At(5, 39)), 5);
    EXPECT_NEAR(GetRValue(At(5, 20)), 102, 3);
    EXPECT_EQ(At(0, 20), At(39, 20)) << "level from side to side";
}

TEST_F(Chrome, AnOutlineLiesInsideItsRectangleAsWideAsAsked) {
    const COLORREF ink = RGB(255, 255, 255);
    Outline(cr.get(), {10, 10, 30, 30}, 3, FromColour(ink));
    for (int edge = 0; edge < 3; ++edge) {
        EXPECT_EQ(PixelsAt(surface.get(),
                           {{10 + edge, 20}, {29 - edge, 20}, {20, 10 + edge}, {20, 29 - edge}}),
                  std::vector<COLORREF>(4, ink))
            << edge;
    }
    EXPECT_EQ(PixelsAt(surface.get(), {{9, 20}, {13, 20}, {30, 20}, {26, 20}}),
              std::vector<COLORREF>(4, kPaper));
    EXPECT_EQ(Ink(), 20 * 20 - 14 * 14);
}

TEST_F(Chrome, ACheckMarksBendIsRounded) {
    // The bend is at (16, 32); a mitred joint would reach 7.6 pixels below it, a round one 5.
    CheckMark(cr.get(), {0, 0, 40, 40}, 10, FromColour(RGB(255, 255, 255)));
    EXPECT_NE(At(16, 35), kPaper);
    EXPECT_EQ(At(16, 38), kPaper);
    EXPECT_NE(At(25, 20), kPaper) << "the long stroke up to the right";
}

// The faces the chrome keeps draw just as cairo's own choice of the family: slightly hinted,
// as the program's font configuration says, and not as fontconfig's defaults would have it.
TEST_F(Chrome, AKeptFaceDrawsAsCairosOwnChoiceOfTheFamily) {
#if defined(__SANITIZE_ADDRESS__)
    __lsan::ScopedDisabler cairoKeepsItsChoice;  // a copy of the pattern, never freed
#endif
    LoadFontConfiguration();
    const SurfacePtr kept = MakeImageSurface(40, 40);
    CairoPtr keptCr(cairo_create(kept.get()));
    Fill(keptCr.get(), {0, 0, 40, 40}, FromColour(kPaper));
    UseFont(keptCr.get(), {"sans-serif", 13, true});
    cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr.get(), 13);
    for (cairo_t* context : {keptCr.get(), cr.get()}) {
        Text(context, u"Ok", 2, 2, FromColour(RGB(255, 255, 255)));
    }
    EXPECT_GT(Ink(), 30);
    cairo_surface_flush(kept.get());
    EXPECT_EQ(std::memcmp(cairo_image_surface_get_data(kept.get()),
                          cairo_image_surface_get_data(surface.get()), 40 * 40 * 4),
              0);
}

// The caption's title runs up to a gap before the OK button and is cut there.
TEST(Caption, ALongTitleStopsFourPixelsBeforeTheOkButton) {
    LoadFontConfiguration();
    const Metrics metrics{96};
    Window window;
    window.rect = {0, 0, 200, 60};
    window.captionOkButton = true;
    const auto draw = [&](std::u16string title, const Metrics& at) {
        SurfacePtr surface = MakeImageSurface(200, 60);
        CairoPtr cr(cairo_create(surface.get()));
        window.text = std::move(title);
        window.captionHeight = at.CaptionHeight();
        DrawCaption(cr.get(), window, window.rect, at);
        EXPECT_EQ(cairo_status(cr.get()), CAIRO_STATUS_SUCCESS) << "left fit for what comes next";
        cairo_surface_flush(surface.get());
        return surface;
    };
    // The columns a title adds to the untitled caption, and how many pixels.
    const auto added = [&](std::u16string title) {
        const SurfacePtr untitled = draw(u"", metrics);
        const SurfacePtr titled = draw(std::move(title), metrics);
        int leftmost = 200;
        int rightmost = -1;
        int ink = 0;
        for (int y = 0; y < window.captionHeight; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (PixelAt(untitled.get(), x, y) != PixelAt(titled.get(), x, y)) {
                    leftmost = std::min(leftmost, x);
                    rightmost = std::max(rightmost, x);
                    ++ink;
                }
            }
        }
        return std::array{leftmost, rightmost, ink};
    };
    const RECT ok = CaptionOkButton(window, metrics);
    EXPECT_EQ(std::pair(ok.top, ok.bottom), std::pair(3, window.captionHeight - 3)) << "3 in";
    const auto [leftmost, rightmost, ink] = added(std::u16string(100, u'_'));
    EXPECT_EQ(rightmost, ok.left - 4 - 1);
    EXPECT_EQ(leftmost, 6) << "and starts six pixels in";
    // The top row's centre is a 52nd of the way from (56, 112, 216) to the bottom's (16, 56, 150).
    EXPECT_EQ(PixelAt(draw(u"", metrics).get(), 100, 0), RGB(55, 111, 215));
    const SurfacePtr small = draw(u"", Metrics{48});
    const RECT half = CaptionOkButton(window, Metrics{48});
    EXPECT_EQ(PixelAt(small.get(), half.left, half.top + 2), RGB(255, 255, 255))
        << "the button's outline, still a pixel wide at half the density";
    const auto shortTitle = added(u"Hi");
    window.captionOkButton = false;
    EXPECT_EQ(added(u"Hi"), shortTitle) << "a short title is drawn the same without the button";
}

// Bold is wider, and a family fontconfig has is taken before sans-serif.
TEST(Fonts, TheWeightAndAFamilyFontconfigHasAreTaken) {
    LoadFontConfiguration();
    CairoPtr cr = MeasuringContext();
    const auto width = [&](const char* family, bool bold) {
        UseFont(cr.get(), {family, 20, bold});
        return TextWidth(cr.get(), u"iiii");
    };
    EXPECT_GT(width("sans-serif", true), width("sans-serif", false));
    EXPECT_GT(width("DejaVu Sans Mono", false), width("sans-serif", false));
}

// A dialog unit across is a quarter of the font's average letter, rounded to a whole pixel.
TEST(DialogBaseUnits, AreTheAverageLetterWidthRoundedAndTheLineHeight) {
    // The fonts as the platform loads them, before cairo would load the desktop's.
    LoadFontConfiguration();
    for (double pixels = 8; pixels <= 48; pixels += 5) {
        const Font font{"sans-serif", pixels, false};
        int baseX = 0;
        int baseY = 0;
        MeasureBaseUnits(font, &baseX, &baseY);
        CairoPtr cr = MeasuringContext();
        UseFont(cr.get(), font);
        const double average =
            TextWidth(cr.get(), u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52;
        EXPECT_LE(std::abs(baseX - average), 0.5 + 1.0 / 52) << pixels;
        EXPECT_EQ(baseY, LineHeight(cr.get())) << pixels;
    }
}

}  // namespace
}  // namespace platform::detail::chrome
