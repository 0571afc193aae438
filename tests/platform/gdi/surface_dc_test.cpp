#include <gtest/gtest.h>

#include <cairo.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_debug.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/gdi/surface_dc.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

std::uint32_t WordAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] & 0x00FFFFFF;
}

// What the DC draws lands in the caller's surface and is seen when cairo paints from it (cairo
// takes a surface it has never drawn on for clear, and would paint nothing from it).
TEST(SurfaceDcTest, DrawsIntoTheCallersSurfaceAndNeverDestroysIt) {
    cairo_surface_t* window = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 30, 20);
    const auto before = platform::LiveGdiObjects();
    HDC dc = platform::CreateSurfaceDC(window);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(platform::LiveGdiObjects().deviceContexts, before.deviceContexts + 1);
    EXPECT_EQ(platform::SurfaceOfDC(dc), window);
    SetPixel(dc, 3, 4, RGB(0x11, 0x22, 0x33));
    cairo_surface_t* target = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 30, 20);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_surface(cr, window, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    EXPECT_EQ(WordAt(target, 3, 4), 0x112233u);  // RGB24 words are 0x??RRGGBB
    cairo_surface_destroy(target);

    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(platform::LiveGdiObjects(), before);
    EXPECT_EQ(cairo_surface_get_reference_count(window), 1u);
    EXPECT_EQ(cairo_surface_status(window), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(window);
}

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
