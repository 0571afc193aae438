// A memory DC with a bitmap of its own, and pixel queries over it, for tests that draw and then
// read back exact pixels.
#pragma once

#include <algorithm>
#include <set>
#include <utility>

#include "platform/gdi/gdi.h"

namespace tarvel_test {

using Pixel = std::pair<int, int>;  // (x, y)

class TestSurface {
  public:
    TestSurface(int width, int height, COLORREF paper = RGB(0, 0, 0))
        : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, width, height);
        defaultBitmap_ = SelectObject(dc_, bitmap_);
        Clear(paper);
    }
    ~TestSurface() {
        UseStock(WHITE_BRUSH);
        UseStock(BLACK_PEN);
        DeleteObject(SelectObject(dc_, GetStockObject(SYSTEM_FONT)));
        SelectObject(dc_, defaultBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TestSurface(const TestSurface&) = delete;
    TestSurface& operator=(const TestSurface&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    void Clear(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
    }

    // Every pixel of the given colour, or of any other.
    std::set<Pixel> PixelsOf(COLORREF colour) const { return PixelsWhere(colour, true); }
    std::set<Pixel> PixelsOtherThan(COLORREF colour) const { return PixelsWhere(colour, false); }

    // Selects a new solid brush and pen, deleting what they displace (unless stock).
    void UseBrush(COLORREF colour) { DeleteObject(SelectObject(dc_, CreateSolidBrush(colour))); }
    void UsePen(int width, COLORREF colour) {
        DeleteObject(SelectObject(dc_, CreatePen(PS_SOLID, width, colour)));
    }
    void UseStock(int index) { DeleteObject(SelectObject(dc_, GetStockObject(index))); }

  private:
    std::set<Pixel> PixelsWhere(COLORREF colour, bool same) const {
        std::set<Pixel> found;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if ((GetPixel(dc_, x, y) == colour) == same) {
                    found.emplace(x, y);
                }
            }
        }
        return found;
    }

    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ defaultBitmap_ = nullptr;
};

// The bounding box of a pixel set: (minX, minY, maxX, maxY), inclusive.
struct Bounds {
    int minX, minY, maxX, maxY;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

inline Bounds BoundsOf(const std::set<Pixel>& pixels) {
    Bounds b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (const auto& [x, y] : pixels) {
        b.minX = std::min(b.minX, x);
        b.minY = std::min(b.minY, y);
        b.maxX = std::max(b.maxX, x);
        b.maxY = std::max(b.maxY, y);
    }
    return b;
}

}  // namespace tarvel_test
