// The theme icons: whole-factor blocks centred on a transparent square, written as PNG with
// alpha, from the same picture as the window's icon.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "resources/tarvel_resources.h"
#include "tools/tarvel_icon_png.h"

namespace {

using platform::WindowIcon;

// A 3 x 2 picture whose pixels all differ; the last one is transparent.
WindowIcon Picture() {
    return {3, 2, {10, 0, 0, 255, 20, 0, 0, 255, 30, 0, 0, 255,  //
                   40, 0, 0, 255, 50, 0, 0, 255, 0,  0, 0, 0}};
}

std::uint32_t Pixel(const WindowIcon& icon, int x, int y) {
    std::uint32_t rgba;
    std::memcpy(&rgba, &icon.rgba[(static_cast<std::size_t>(y) * icon.width + x) * 4], 4);
    return rgba;
}

TEST(IconOnSquare, EachPixelBecomesABlockOfTheLargestWholeFactorCentred) {
    std::string error;
    const WindowIcon picture = Picture();
    // 10 / 3 gives a factor of 3: a 9 x 6 picture, 0 px left of it, 2 px above it after halving
    // the spare 1 and 4.
    const auto square = IconOnSquare(picture, 10, &error);
    ASSERT_TRUE(square) << error;
    EXPECT_EQ(square->width, 10);
    EXPECT_EQ(square->height, 10);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x < 9 && y >= 2 && y < 8;
            const std::uint32_t expected = inside ? Pixel(picture, x / 3, (y - 2) / 3) : 0;
            EXPECT_EQ(Pixel(*square, x, y), expected) << "at " << x << ", " << y;
        }
    }
}

TEST(TarvelIconAt, SmallSizesAreTheirOwnDrawingsLargerOnesThePictureEnlarged) {
    std::string error;
    const auto picture = platform::WindowIconFromResource(resources::TarvelIcon(), &error);
    ASSERT_TRUE(picture) << error;
    for (const int size : {16, 24, 32, 48, 256}) {
        const auto icon = TarvelIconAt(size, &error);
        ASSERT_TRUE(icon) << size << ": " << error;
        EXPECT_EQ(icon->width, size);
        EXPECT_EQ(icon->height, size);
    }
    EXPECT_EQ(TarvelIconAt(48, &error)->rgba, picture->rgba);
    EXPECT_FALSE(TarvelIconAt(20, &error));
}

TEST(IconOnSquare, RefusesWhatCannotBeDrawn) {
    std::string error;
    EXPECT_FALSE(IconOnSquare(Picture(), 2, &error));
    EXPECT_NE(error.find("smaller"), std::string::npos) << error;
    WindowIcon torn = Picture();
    torn.rgba.pop_back();
    EXPECT_FALSE(IconOnSquare(torn, 10, &error));
}

TEST(WriteIconPng, WritesStraightColourAndAlphaThatReadBack) {
    const std::string path =
        (std::filesystem::path(testing::TempDir()) / "tarvel-icon-test.png").string();
    // Opaque, half-transparent and transparent pixels.
    const WindowIcon icon{3, 1, {200, 100, 50, 255, 200, 100, 50, 128, 9, 9, 9, 0}};
    std::string error;
    ASSERT_TRUE(WriteIconPng(icon, path, &error)) << error;

    cairo_surface_t* read = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(read), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_format(read), CAIRO_FORMAT_ARGB32);
    ASSERT_EQ(cairo_image_surface_get_width(read), 3);
    const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(read));
    EXPECT_EQ(row[0], 0xFFC86432U);
    // Premultiplied on read: 200 * 128 / 255, 100 * 128 / 255, 50 * 128 / 255.
    EXPECT_EQ(row[1] >> 24, 128U);
    EXPECT_NEAR(static_cast<int>((row[1] >> 16) & 0xFF), 100, 1);
    EXPECT_NEAR(static_cast<int>((row[1] >> 8) & 0xFF), 50, 1);
    EXPECT_EQ(row[2], 0U);
    cairo_surface_destroy(read);
    std::filesystem::remove(path);

    EXPECT_FALSE(WriteIconPng(icon, "/nonexistent/folder/icon.png", &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
