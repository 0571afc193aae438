#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_debug.h"
#include "tests/platform/gdi/gdi_test_support.h"

namespace {

using platform::GdiObjectCounts;
using platform::LiveGdiObjects;
using tarvel_test::TestSurface;

template <class Handle>
Handle Fake(std::uintptr_t value) {
    return reinterpret_cast<Handle>(value);
}

TEST(DeviceContextTest, NewMemoryDcStartsWithThePlatformDefaults) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    LOGFONTW logfont{};
    logfont.lfHeight = 20;
    HFONT font = CreateFontIndirectW(&logfont);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);

    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    // Each kind displaces its own kind only, the same object itself.
    HBRUSH second = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_EQ(SelectObject(dc, second), brush);
    EXPECT_EQ(SelectObject(dc, second), second);
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    ASSERT_NE(defaultBitmap, nullptr);
    EXPECT_NE(defaultBitmap, bitmap);
    EXPECT_EQ(SetBkColor(dc, RGB(9, 9, 9)), RGB(255, 255, 255));
    EXPECT_EQ(SetTextColor(dc, RGB(9, 9, 9)), RGB(0, 0, 0));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    POINT position{-1, -1};
    MoveToEx(dc, 5, 5, &position);
    EXPECT_EQ(position.x, 0);
    EXPECT_EQ(position.y, 0);

    // The default bitmap is one pixel.
    SelectObject(dc, defaultBitmap);
    EXPECT_NE(SetPixel(dc, 0, 0, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 1, 0, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(SetPixel(dc, 0, -1, RGB(1, 1, 1)), CLR_INVALID);

    // Deleting the DC lets go of what is selected into it.
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_FALSE(DeleteObject(second));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_TRUE(DeleteObject(bitmap));
}

// From 1 to 16384 pixels a side and up to 2^26 in all; only what was made is counted.
TEST(DeviceContextTest, BitmapsAreRefusedPastTheLargestSize) {
    GdiObjectCounts made = platform::MadeGdiObjects();
    HDC dc = CreateCompatibleDC(nullptr);
    for (HBITMAP longest :
         {CreateCompatibleBitmap(dc, 16384, 1), CreateCompatibleBitmap(dc, 1, 16384)}) {
        EXPECT_NE(longest, nullptr);
        DeleteObject(longest);
    }
    EXPECT_EQ(CreateCompatibleBitmap(dc, 16385, 1), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 1, 16385), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 8193, 8192), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 1, 0), nullptr);
    made.deviceContexts += 1;
    made.bitmaps += 2;
    EXPECT_EQ(platform::MadeGdiObjects(), made) << "refused ones not counted";
    DeleteDC(dc);
}

TEST(DeviceContextTest, SelectedObjectsCannotBeDeletedUntilDeselectedAndStockOnesAreKept) {
    const GdiObjectCounts before = LiveGdiObjects();
    TestSurface surface(4, 4);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HGDIOBJ old = SelectObject(surface.dc(), pen);
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(LiveGdiObjects().pens, before.pens + 1) << "a refused deletion keeps it counted";
    // It still draws: the refused deletion left it whole.
    MoveToEx(surface.dc(), 0, 0, nullptr);
    LineTo(surface.dc(), 3, 0);
    EXPECT_EQ(GetPixel(surface.dc(), 2, 0), RGB(1, 2, 3));
    SelectObject(surface.dc(), old);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(LiveGdiObjects().pens, before.pens);

    // A bitmap lives in one memory DC at a time, and is refused deletion while it does.
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 8, 8);
    HGDIOBJ firstDefault = SelectObject(first, bitmap);
    ASSERT_NE(firstDefault, nullptr);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));  // still selected: refused, not freed

    SelectObject(first, firstDefault);
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    EXPECT_TRUE(DeleteDC(second));  // releases the bitmap without deleting it
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(first));

    // Deleting a stock object is ignored.
    for (int index : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH,
                      WHITE_PEN, BLACK_PEN, NULL_PEN, SYSTEM_FONT}) {
        HGDIOBJ stock = GetStockObject(index);
        ASSERT_NE(stock, nullptr) << index;
        EXPECT_TRUE(DeleteObject(stock)) << index;
        EXPECT_EQ(GetStockObject(index), stock) << index;
    }
    // Still usable after the "deletion".
    TestSurface stockSurface(2, 2, RGB(0, 0, 0));
    const RECT all{0, 0, 2, 2};
    FillRect(stockSurface.dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetPixel(stockSurface.dc(), 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(SYSTEM_FONT + 1), nullptr);
}

TEST(DeviceContextTest, StaleAndMadeUpHandlesAreRefusedEverywhere) {
    HDC deadDc = CreateCompatibleDC(nullptr);
    DeleteDC(deadDc);
    HBRUSH deadBrush = CreateSolidBrush(RGB(1, 1, 1));
    DeleteObject(deadBrush);
    // A new object may take the freed slot; the old handle must still not reach it.
    HBRUSH reused = CreateSolidBrush(RGB(2, 2, 2));
    TestSurface surface(4, 4, RGB(0, 0, 0));
    const RECT all{0, 0, 4, 4};

    for (HDC dc : {deadDc, Fake<HDC>(0x1234), Fake<HDC>(~std::uintptr_t{0}),
                   reinterpret_cast<HDC>(deadBrush), static_cast<HDC>(nullptr)}) {
        EXPECT_FALSE(DeleteDC(dc));
        EXPECT_EQ(SelectObject(dc, reused), nullptr);
        EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
        EXPECT_FALSE(MoveToEx(dc, 0, 0, nullptr));
        EXPECT_FALSE(LineTo(dc, 1, 1));
        EXPECT_FALSE(Ellipse(dc, 0, 0, 4, 4));
        EXPECT_EQ(FillRect(dc, &all, reused), 0);
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
        EXPECT_FALSE(ExtTextOutW(dc, 0, 0, 0, nullptr, u"1", 1, nullptr));
        EXPECT_EQ(CreateCompatibleBitmap(dc, 4, 4), nullptr);
    }
    EXPECT_EQ(CreateCompatibleDC(deadDc), nullptr);

    for (HGDIOBJ object :
         {static_cast<HGDIOBJ>(deadBrush), Fake<HGDIOBJ>(0x1234), Fake<HGDIOBJ>(0x7FFF0000),
          Fake<HGDIOBJ>(~std::uintptr_t{0}), reinterpret_cast<HGDIOBJ>(surface.dc()),
          static_cast<HGDIOBJ>(nullptr)}) {
        EXPECT_EQ(SelectObject(surface.dc(), object), nullptr);
        EXPECT_FALSE(DeleteObject(object));
        LOGFONTW logfont{};
        EXPECT_EQ(GetObjectW(object, sizeof logfont, &logfont), 0);
    }
    EXPECT_EQ(FillRect(surface.dc(), &all, deadBrush), 0);
    EXPECT_TRUE(surface.PixelsOtherThan(RGB(0, 0, 0)).empty());
    EXPECT_TRUE(DeleteObject(reused));
}

}  // namespace
