#include "platform/window/window_icon.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

constexpr IconPaletteEntry kPalette[] = {
    {'.', RGB(9, 9, 9), true},
    {'r', RGB(220, 24, 32)},
    {'b', RGB(0, 64, 192)},
};

TEST(WindowIconFromResource, PaletteColoursAndAClearMask) {
    constexpr std::string_view rows[] = {"r.", "b."};
    const auto icon = WindowIconFromResource({101, 2, 2, kPalette, rows}, nullptr);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->width, 2);
    EXPECT_EQ(icon->height, 2);
    EXPECT_EQ(icon->rgba, (std::vector<std::uint8_t>{220, 24, 32, 255, 0, 0, 0, 0,  //
                                                     0, 64, 192, 255, 0, 0, 0, 0}));
}

TEST(WindowIconFromResource, BadPicturesAreRefusedWithAReason) {
    constexpr std::string_view shortRow[] = {"rr", "r"};
    constexpr std::string_view unknown[] = {"rr", "rx"};
    constexpr std::string_view oneRow[] = {"rr"};
    std::string error;
    EXPECT_FALSE(WindowIconFromResource({101, 2, 2, kPalette, shortRow}, &error));
    EXPECT_NE(error.find("row 1 has 1 pixels"), std::string::npos) << error;
    EXPECT_FALSE(WindowIconFromResource({101, 2, 2, kPalette, unknown}, &error));
    EXPECT_NE(error.find("'x'"), std::string::npos) << error;
    EXPECT_FALSE(WindowIconFromResource({101, 2, 2, kPalette, oneRow}, &error));
    EXPECT_NE(error.find("1 rows"), std::string::npos) << error;
    // With no width, its one empty row would match it.
    constexpr std::string_view emptyRow[] = {""};
    EXPECT_FALSE(WindowIconFromResource({101, 0, 1, kPalette, emptyRow}, &error));
    EXPECT_NE(error.find("0 x 1 icon"), std::string::npos) << error;
    EXPECT_FALSE(WindowIconFromResource({101, 1, 0, kPalette, {}}, &error));
    EXPECT_NE(error.find("1 x 0 icon"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform
