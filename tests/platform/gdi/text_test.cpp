#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/font_cache.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_debug.h"
#include "tests/platform/gdi/gdi_test_support.h"

// Glyph shapes differ between machines, so these tests check the cell, the colours and the
// metrics, never glyph pixels.

namespace {

using platform::DescribeFont;
using platform::FontDescription;
using tarvel_test::TestSurface;

constexpr COLORREF kPaper = RGB(0, 0, 0);
constexpr COLORREF kPitchGreen = RGB(0, 100, 50);
constexpr COLORREF kDigits = RGB(200, 200, 200);

LOGFONTW SystemLogfont() {
    LOGFONTW logfont{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof logfont, &logfont);
    return logfont;
}

// The score font: the system font at a cell of twice the ball size, digits a ball wide, light.
LOGFONTW ScoreLogfont(int ballSize) {
    LOGFONTW logfont = SystemLogfont();
    logfont.lfHeight = 2 * ballSize;
    logfont.lfWidth = ballSize;
    logfont.lfWeight = FW_LIGHT;
    return logfont;
}

TEST(SystemFontTest, DescribesItselfAsA92ByteLogfont) {
    HGDIOBJ font = GetStockObject(SYSTEM_FONT);
    EXPECT_EQ(GetObjectW(font, 0, nullptr), 92);
    LOGFONTW logfont{};
    EXPECT_EQ(GetObjectW(font, sizeof logfont, &logfont), 92);
    EXPECT_EQ(logfont.lfHeight, 16);
    EXPECT_EQ(std::u16string(logfont.lfFaceName), u"sans-serif");
    // As numbers, the values a program built against the real headers compares with.
    EXPECT_EQ(logfont.lfWeight, 400);
    EXPECT_EQ(logfont.lfCharSet, 1) << "the default character set";
    EXPECT_EQ(logfont.lfPitchAndFamily, 0x22) << "variable pitch, Swiss";

    // A short buffer gets what fits.
    LONG height = 0;
    EXPECT_EQ(GetObjectW(font, sizeof height, &height), 4);
    EXPECT_EQ(height, 16);
    // And a buffer of no bytes gets nothing.
    LONG untouched = -1;
    EXPECT_EQ(GetObjectW(font, 0, &untouched), 0);
    EXPECT_EQ(untouched, -1);
}

// The face a logical font resolves to.
FontDescription Described(const LOGFONTW& logfont) {
    HFONT font = CreateFontIndirectW(&logfont);
    FontDescription face;
    EXPECT_TRUE(DescribeFont(font, &face));
    DeleteObject(font);
    return face;
}

TEST(FontTest, LightWeightPicksALighterFaceThanRegularAmongTheProgramsOwnFonts) {
    LOGFONTW regularLogfont = ScoreLogfont(15);
    regularLogfont.lfWeight = FW_NORMAL;
    const FontDescription light = Described(ScoreLogfont(15));
    const FontDescription regular = Described(regularLogfont);
    // Light is 300 on the platform's scale; handing 300 to fontconfig unconverted would ask
    // for bold.
    EXPECT_LT(light.weight, 400) << light.family << " " << light.style;
    EXPECT_GE(regular.weight, 350) << regular.family << " " << regular.style;
    EXPECT_LT(light.weight, regular.weight);
    EXPECT_NE(light.file, regular.file);
    // Only the program's own folder of fonts is read: a face installed elsewhere on the machine
    // (most desktops have one answering to Arial) resolves to one of the program's own faces.
    LOGFONTW logfont{};
    std::u16string(u"Arial").copy(logfont.lfFaceName, 5);
    const FontDescription face = Described(logfont);
    EXPECT_EQ(face.family.rfind("DejaVu", 0), 0u) << face.family;
}

TEST(FontTest, ExtentsOfNoTextAndOfTheLongestTextMeasured) {
    TestSurface surface(4, 4);
    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32W(surface.dc(), nullptr, 0, &size));
    EXPECT_EQ(size.cx, 0);
    // 8192 characters at the most, as for drawing.
    const std::u16string longest(8193, u'0');
    ASSERT_TRUE(GetTextExtentPoint32W(surface.dc(), longest.c_str(), 8192, &size));
    FontDescription system;
    ASSERT_TRUE(DescribeFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), &system));
    EXPECT_NEAR(size.cx, 8192 * system.digitWidth, 1.0) << "advances not rounded to pixels";
    EXPECT_FALSE(GetTextExtentPoint32W(surface.dc(), longest.c_str(), 8193, &size));
    // Nowhere to put the answer is refused.
    EXPECT_FALSE(GetTextExtentPoint32W(surface.dc(), nullptr, 0, nullptr));
    EXPECT_FALSE(DescribeFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), nullptr));
}

TEST(FontTest, NegativeHeightIsTheEmSoTheCellIsTallerAndZeroIsTheDefaultCell) {
    LOGFONTW logfont = SystemLogfont();
    logfont.lfHeight = -20;
    FontDescription face = Described(logfont);
    EXPECT_DOUBLE_EQ(face.emSize, 20.0);
    EXPECT_GT(face.cellHeight, 20);
    logfont.lfHeight = -1;  // the smallest em
    face = Described(logfont);
    EXPECT_DOUBLE_EQ(face.emSize, 1.0);
    EXPECT_GE(face.cellHeight, 1);
    logfont.lfHeight = 0;
    face = Described(logfont);
    EXPECT_EQ(face.cellHeight, 16);
    EXPECT_GT(face.emSize, 8.0);
    logfont.lfWidth = 1;  // the narrowest digit
    EXPECT_DOUBLE_EQ(Described(logfont).digitWidth, 1.0);
}

TEST(FontTest, UnsupportedOrOutOfRangeLogfontsAreRefused) {
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
    const LOGFONTW base = SystemLogfont();
    auto refused = [&](auto change) {
        LOGFONTW logfont = base;
        change(logfont);
        return CreateFontIndirectW(&logfont) == nullptr;
    };
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfEscapement = 900; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfUnderline = 1; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfStrikeOut = 1; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfWeight = 1001; }));
    EXPECT_FALSE(refused([](LOGFONTW& f) { f.lfWeight = 1000; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfWeight = -1; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfHeight = 1 << 20; }));
    constexpr int kLargest = platform::gdi_detail::FontCache::kMaxPixelSize;
    EXPECT_FALSE(refused([](LOGFONTW& f) { f.lfHeight = kLargest; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfHeight = kLargest + 1; }));
    EXPECT_FALSE(refused([](LOGFONTW& f) { f.lfHeight = -kLargest; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfHeight = -kLargest - 1; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfHeight = INT32_MIN; }));
    EXPECT_TRUE(refused([](LOGFONTW& f) { f.lfWidth = -3; }));
    // A face name filling all 32 characters without a terminator is read to its end.
    EXPECT_FALSE(refused([](LOGFONTW& f) {
        for (WCHAR& c : f.lfFaceName) {
            c = u'x';
        }
    }));
}

TEST(FontTest, SameLogfontReusesTheMatchedFace) {
    platform::gdi_detail::FontCache cache;
    const LOGFONTW logfont = ScoreLogfont(15);
    const auto first = cache.Resolve(logfont);
    LOGFONTW bigger = logfont;
    bigger.lfHeight = 62;
    const auto second = cache.Resolve(bigger);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->face, second->face);  // one match for both sizes
    EXPECT_NE(first->scaled.get(), second->scaled.get());
    const auto again = cache.Resolve(logfont);
    EXPECT_EQ(again->scaled.get(), first->scaled.get());
}

// Matched faces are kept for reuse, but not without end: a program asking for ever new weights
// would otherwise grow the cache for as long as it runs. 64 are kept; the 65th starts afresh.
TEST(FontTest, TheFaceCacheKeeps64FacesAndThenStartsAfresh) {
    platform::gdi_detail::FontCache cache;
    LOGFONTW logfont = ScoreLogfont(15);
    const auto faceOfWeight = [&](LONG weight) {
        logfont.lfWeight = weight;
        const auto sized = cache.Resolve(logfont);
        EXPECT_TRUE(sized) << "weight " << weight;
        return sized ? sized->face : nullptr;
    };
    const auto first = faceOfWeight(1);
    for (LONG weight = 2; weight <= 64; ++weight) {
        faceOfWeight(weight);
    }
    EXPECT_EQ(faceOfWeight(1), first) << "64 faces, the first still kept";
    faceOfWeight(65);
    const auto again = faceOfWeight(1);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first) << "the 65th emptied the cache";
}

class TextOutTest : public testing::Test {
  protected:
    TextOutTest() : surface_(120, 80, kPaper) {
        font_ = CreateFontIndirectW(&logfont_);
        oldFont_ = SelectObject(surface_.dc(), font_);
        SetBkColor(surface_.dc(), kPitchGreen);
        SetTextColor(surface_.dc(), kDigits);
    }
    ~TextOutTest() override {
        SelectObject(surface_.dc(), oldFont_);
        DeleteObject(font_);
    }

    SIZE Extent(const std::u16string& text) {
        SIZE size{};
        GetTextExtentPoint32W(surface_.dc(), text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    LOGFONTW logfont_ = ScoreLogfont(15);
    TestSurface surface_;
    HFONT font_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

TEST_F(TextOutTest, OpaqueTextFillsExactlyItsCellWithTheBackgroundAndTransparentTextDoesNot) {
    const SIZE cell = Extent(u"10");
    ASSERT_TRUE(ExtTextOutW(surface_.dc(), 20, 30, 0, nullptr, u"10", 2, nullptr));
    const auto drawn = surface_.PixelsOtherThan(kPaper);
    EXPECT_EQ(tarvel_test::BoundsOf(drawn),
              (tarvel_test::Bounds{20, 30, 20 + cell.cx - 1, 30 + cell.cy - 1}));
    EXPECT_EQ(drawn.size(), static_cast<std::size_t>(cell.cx * cell.cy)) << "the cell all filled";
    const std::size_t background = surface_.PixelsOf(kPitchGreen).size();
    EXPECT_GT(drawn.size() - background, 20u) << "ink";
    EXPECT_GT(background, drawn.size() - background);
    EXPECT_EQ(GetPixel(surface_.dc(), 20, 30), kPitchGreen);
    EXPECT_EQ(GetPixel(surface_.dc(), 20 + cell.cx - 1, 30 + cell.cy - 1), kPitchGreen);
    // Transparent text leaves the background alone.
    surface_.Clear(kPaper);
    SetBkMode(surface_.dc(), TRANSPARENT);
    ASSERT_TRUE(ExtTextOutW(surface_.dc(), 20, 30, 0, nullptr, u"8", 1, nullptr));
    EXPECT_TRUE(surface_.PixelsOf(kPitchGreen).empty());
    EXPECT_FALSE(surface_.PixelsOtherThan(kPaper).empty());
}

TEST_F(TextOutTest, OpaqueAndClippedOptionsUseTheirRectangle) {
    const RECT box{5, 5, 15, 12};
    ASSERT_TRUE(
        ExtTextOutW(surface_.dc(), 0, 0, ETO_OPAQUE | ETO_CLIPPED, &box, u"88", 2, nullptr));
    EXPECT_EQ(tarvel_test::BoundsOf(surface_.PixelsOtherThan(kPaper)),
              (tarvel_test::Bounds{5, 5, 14, 11}));
    EXPECT_LT(surface_.PixelsOf(kPitchGreen).size(), 10u * 7u) << "ink inside the box";
    EXPECT_FALSE(ExtTextOutW(surface_.dc(), 0, 0, ETO_OPAQUE, nullptr, u"8", 1, nullptr));
}

TEST_F(TextOutTest, RefusesSpacingArraysUnknownOptionsAndMissingText) {
    const INT spacing[2] = {10, 10};
    EXPECT_FALSE(ExtTextOutW(surface_.dc(), 0, 0, 0, nullptr, u"10", 2, spacing));
    EXPECT_FALSE(ExtTextOutW(surface_.dc(), 0, 0, 0x10, nullptr, u"10", 2, nullptr));
    EXPECT_FALSE(ExtTextOutW(surface_.dc(), 0, 0, 0, nullptr, nullptr, 2, nullptr));
    EXPECT_TRUE(ExtTextOutW(surface_.dc(), 0, 0, 0, nullptr, nullptr, 0, nullptr));
    EXPECT_TRUE(surface_.PixelsOtherThan(kPaper).empty());
}

TEST_F(TextOutTest, BrokenUtf16AndTextOffTheSurfaceAreDrawnSafely) {
    const WCHAR broken[] = {u'1', 0xD800, u'2', 0xDC00, 0xD83D, 0xDE00};
    EXPECT_TRUE(ExtTextOutW(surface_.dc(), 10, 10, 0, nullptr, broken, 6, nullptr));
    EXPECT_TRUE(ExtTextOutW(surface_.dc(), -500, 70, 0, nullptr, u"1234", 4, nullptr));
    EXPECT_TRUE(
        ExtTextOutW(surface_.dc(), INT32_MAX - 5, INT32_MAX - 5, 0, nullptr, u"1", 1, nullptr));
}

}  // namespace
