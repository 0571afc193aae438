#include <gtest/gtest.h>

#include <cairo.h>

#include "platform/gdi/gdi.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/gdi/surface_dc.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

TEST(SurfaceDcTest, KeepsItsOwnReferenceWhileAlive) {
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    HDC dc = platform::CreateSurfaceDC(window);
    cairo_surface_destroy(window);  // the window lets go first
    EXPECT_NE(SetPixel(dc, 1, 1, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(1, 2, 3));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(SurfaceDcTest, RefusesSurfacesItCannotDrawInto) {
    EXPECT_EQ(platform::CreateSurfaceDC(nullptr), nullptr);
    EXPECT_TRUE((platform::PixelRows{nullptr, 8, 8, 32}).Empty()) << "rows without pixels";
    cairo_surface_t* alphaOnly = cairo_image_surface_create(CAIRO_FORMAT_A8, 4, 4);
    EXPECT_EQ(platform::CreateSurfaceDC(alphaOnly), nullptr);
    cairo_surface_destroy(alphaOnly);
    cairo_surface_t* broken = cairo_image_surface_create(CAIRO_FORMAT_RGB24, -1, 4);
    EXPECT_EQ(platform::CreateSurfaceDC(broken), nullptr);
    cairo_surface_destroy(broken);
}

}  // namespace
