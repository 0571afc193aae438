// Scaling the screen on the CPU: crisp at whole factors, sharp between them, and a part scaled
// alone must come out exactly as it would in a whole frame, or stale or wrong pixels would stay
// on the screen where a frame changed.
#include "platform/sdl/screen_scaler.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

namespace platform::sdl {
namespace {

constexpr std::uint32_t kUntouched = 0x123456u;

struct Image {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;

    Image(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(w * h, fill) {}
    std::uint32_t& At(int x, int y) { return pixels[y * width + x]; }
    std::uint32_t At(int x, int y) const { return pixels[y * width + x]; }
    ConstPixelRows Const() const { return {pixels.data(), width, height, width * 4}; }
    PixelRows Buffer() { return {pixels.data(), width, height, width * 4}; }
};

// A checkerboard of strong colours, so any blending of neighbours shows.
Image Pattern(ScreenSize device) {
    Image image(device.width, device.height, 0);
    for (int y = 0; y < device.height; ++y) {
        for (int x = 0; x < device.width; ++x) {
            image.At(x, y) = (x + y) % 2 == 0 ? 0xFF2000u : 0x00E0FFu;
        }
    }
    return image;
}

Image ScaleWhole(ScreenScaler& scaler, const Image& screen, ScreenSize window) {
    Image target(window.width, window.height, kUntouched);
    scaler.Scale(screen.Const(), {0, 0, screen.width, screen.height}, target.Buffer());
    return target;
}

TEST(ScreenScaler, AWholeFactorIsNearestNeighbourAndLeavesTheBarsAlone) {
    const ScreenSize device{6, 8};
    // Three times, and one to one beside a bar.
    for (const ScreenSize window : {ScreenSize{20, 26}, ScreenSize{7, 8}}) {
        const Letterbox box = FitScreen(window, device);
        ASSERT_TRUE(box.exact);
        const int f = box.wholeFactor;
        ASSERT_EQ(f, window.height / device.height);
        ScreenScaler scaler(device, box);
        Image target = ScaleWhole(scaler, Pattern(device), window);
        for (int y = 0; y < window.height; ++y) {
            for (int x = 0; x < window.width; ++x) {
                const int ix = x - box.image.x;
                const int iy = y - box.image.y;
                const bool inside =
                    ix >= 0 && iy >= 0 && ix < box.image.width && iy < box.image.height;
                ASSERT_EQ(target.At(x, y), inside ? Pattern(device).At(ix / f, iy / f) : kUntouched)
                    << x << "," << y << " at " << f;
            }
        }
    }
}

TEST(ScreenScaler, APartScaledAloneMatchesTheWholeFrameAndWritesNothingElse) {
    const ScreenSize device{24, 32};
    std::mt19937 random(11);
    // Exact, between factors, and shrunk to fit.
    for (ScreenSize window : {ScreenSize{72, 96}, ScreenSize{90, 100}, ScreenSize{17, 30}}) {
        ScreenScaler scaler(device, FitScreen(window, device));
        Image screen = Pattern(device);
        Image shown = ScaleWhole(scaler, screen, window);
        for (int round = 0; round < 50; ++round) {
            const PixelRect changed{static_cast<int>(random() % device.width),
                                    static_cast<int>(random() % device.height),
                                    1 + static_cast<int>(random() % 6),
                                    1 + static_cast<int>(random() % 6)};
            for (int y = changed.y; y < std::min(changed.y + changed.height, device.height); ++y) {
                for (int x = changed.x; x < std::min(changed.x + changed.width, device.width);
                     ++x) {
                    screen.At(x, y) = random() & 0xFFFFFFu;
                }
            }
            const Image before = shown;
            const PixelRect reach = scaler.Scale(screen.Const(), changed, shown.Buffer());
            EXPECT_EQ(reach.x, scaler.Reach(changed).x);
            EXPECT_EQ(reach.height, scaler.Reach(changed).height);
            const Image whole = ScaleWhole(scaler, screen, window);
            for (int y = 0; y < window.height; ++y) {
                for (int x = 0; x < window.width; ++x) {
                    const bool reached = x >= reach.x && x < reach.x + reach.width &&
                                         y >= reach.y && y < reach.y + reach.height;
                    if (reached) {
                        ASSERT_EQ(shown.At(x, y), whole.At(x, y)) << x << "," << y;
                    } else {
                        ASSERT_EQ(shown.At(x, y), before.At(x, y)) << x << "," << y;
                        ASSERT_EQ(whole.At(x, y), before.At(x, y)) << "stale at " << x << "," << y;
                    }
                }
            }
        }
    }
}

// Scaled up by less than two, the first window pixel still samples device pixel 0, whole; a
// screen one pixel across is that pixel everywhere, unblended.
TEST(ScreenScaler, TheFirstWindowPixelIsDevicePixelZeroWhole) {
    EXPECT_EQ(SampleAxis(10, 15, 1).front().first, 0);
    EXPECT_EQ(SampleAxis(10, 15, 1).front().weight, 0);
    for (const AxisSample& sample : SampleAxis(1, 3, 3)) {
        EXPECT_EQ(std::tuple(sample.first, sample.second, sample.weight), std::tuple(0, 0, 0));
    }
}

// A window row between two screen rows blends the two, each scaled on its own first.
TEST(ScreenScaler, ARowBetweenTwoScreenRowsBlendsBothEachColourByteOnItsOwn) {
    Image screen(2, 2, 0x000000u);
    screen.At(0, 1) = screen.At(1, 1) = 0xFFFFFFu;
    ScreenScaler scaler({2, 2}, FitScreen({3, 3}, {2, 2}));
    EXPECT_EQ(ScaleWhole(scaler, screen, {3, 3}).At(0, 1), BlendPixels(0u, 0xFFFFFFu, 128));
    // Each colour byte blends on its own.
    EXPECT_EQ(BlendPixels(0xFF00FFu, 0x00FF00u, 0), 0xFF00FFu);
    EXPECT_EQ(BlendPixels(0xFF00FFu, 0x00FF00u, 128), 0x7F7F7Fu);
    EXPECT_EQ(BlendPixels(0x000000u, 0xFFFFFFu, 255), 0xFEFEFEu);
    EXPECT_EQ(BlendPixels(0x102030u, 0x102030u, 77), 0x102030u);
}

TEST(ScreenScaler, NothingIsWrittenForAPartOffTheScreenOrAWrongSizedScreen) {
    const ScreenSize device{8, 8};
    ScreenScaler scaler(device, FitScreen({16, 16}, device));
    Image target(16, 16, kUntouched);
    EXPECT_TRUE(scaler.Scale(Pattern(device).Const(), {8, 0, 4, 4}, target.Buffer()).Empty());
    // A part of no width reaches nothing, even where window pixels blend its two neighbours.
    EXPECT_TRUE(ScreenScaler(device, FitScreen({20, 20}, device)).Reach({3, 0, 0, 8}).Empty());
    EXPECT_TRUE(scaler.Scale(Pattern({4, 4}).Const(), {0, 0, 4, 4}, target.Buffer()).Empty());
    EXPECT_TRUE(scaler.Scale(Pattern({8, 4}).Const(), {0, 0, 4, 4}, target.Buffer()).Empty());
    EXPECT_TRUE(scaler.Scale({nullptr, 8, 8, 32}, {0, 0, 4, 4}, target.Buffer()).Empty());
    Image small(8, 8, kUntouched);
    EXPECT_TRUE(scaler.Scale(Pattern(device).Const(), {0, 0, 8, 8}, small.Buffer()).Empty());
    EXPECT_EQ(target.pixels, Image(16, 16, kUntouched).pixels);
}

}  // namespace
}  // namespace platform::sdl
