// Rectangles, ellipses, lines and pixels.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/gdi/ellipse_shape.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/line_geometry.h"
#include "platform/gdi/pixel_surface.h"

using platform::gdi_detail::Brush;
using platform::gdi_detail::ClipSegment;
using platform::gdi_detail::DeviceContext;
using platform::gdi_detail::EllipseShape;
using platform::gdi_detail::IsPlainColour;
using platform::gdi_detail::Pen;
using platform::gdi_detail::PixelFromColour;
using platform::gdi_detail::PixelSurface;
using platform::gdi_detail::Registry;
using platform::gdi_detail::Segment;
using platform::gdi_detail::Span;

namespace {

// Longer one-pixel lines are handed to cairo instead of being walked pixel by pixel.
constexpr std::int64_t kMaxWalkedLine = 1 << 16;

// The ellipse of (left, top, right, bottom) with the right and bottom edges excluded. A pen of
// width w lays the one-pixel outline (w - 1) / 2 pixels outward and the rest inward: its ring
// runs from the edge of the ellipse grown by the outward part to the inside of the ellipse shrunk
// by the inward part, and the brush fills that inside. With the null pen the brush fills the
// whole shape.
void DrawEllipse(PixelSurface& pixels, std::int64_t left, std::int64_t top, std::int64_t width,
                 std::int64_t height, const Pen* pen, const Brush& brush) {
    const bool fills = !brush.hollow;
    const std::uint32_t fill = PixelFromColour(brush.colour);
    if (pen == nullptr) {
        if (!fills) {
            return;
        }
        const EllipseShape shape(width, height);
        for (std::int64_t row = 0; row < height; ++row) {
            const Span span = shape.Row(row);
            pixels.FillSpan(top + row, left + span.left, left + span.right, fill);
        }
        return;
    }
    const std::int64_t outward = (pen->width - 1) / 2;
    const std::int64_t inward = pen->width - 1 - outward;
    const std::uint32_t ink = PixelFromColour(pen->colour);
    const EllipseShape outer(width + 2 * outward, height + 2 * outward);
    const std::int64_t innerWidth = width - 2 * inward;
    const std::int64_t innerHeight = height - 2 * inward;
    const bool hasInside = innerWidth > 0 && innerHeight > 0;
    const EllipseShape inner(hasInside ? innerWidth : 1, hasInside ? innerHeight : 1);

    const std::int64_t outerLeft = left - outward;
    const std::int64_t outerTop = top - outward;
    for (std::int64_t row = 0; row < outer.Height(); ++row) {
        const std::int64_t y = outerTop + row;
        if (y < 0 || y >= pixels.Height()) {
            continue;
        }
        const Span ring = outer.Row(row);
        Span inside;
        if (hasInside) {
            inside = inner.Interior(y - (top + inward));
        }
        const std::int64_t ringLeft = outerLeft + ring.left;
        const std::int64_t ringRight = outerLeft + ring.right;
        if (inside.Empty()) {
            pixels.FillSpan(y, ringLeft, ringRight, ink);
            continue;
        }
        const std::int64_t insideLeft = std::max(left + inward + inside.left, ringLeft);
        const std::int64_t insideRight = std::min(left + inward + inside.right, ringRight);
        pixels.FillSpan(y, ringLeft, insideLeft - 1, ink);
        pixels.FillSpan(y, insideRight + 1, ringRight, ink);
        if (fills) {
            pixels.FillSpan(y, insideLeft, insideRight, fill);
        }
    }
}

// A pen wider than one pixel: a rectangle pen-width across, centred on the line between the two
// pixel centres, with butt ends, rasterized by cairo without anti-aliasing.
bool StrokeWithCairo(Registry& registry, DeviceContext& dc, const Pen& pen, POINT from, POINT to) {
    cairo_t* cr = registry.CairoOf(dc);
    cairo_surface_t* surface = registry.PixelsOf(dc);
    if (cr == nullptr || surface == nullptr) {
        return false;
    }
    Segment segment{from.x + 0.5, from.y + 0.5, to.x + 0.5, to.y + 0.5};
    const double margin = pen.width + 2.0;
    const double width = cairo_image_surface_get_width(surface);
    const double height = cairo_image_surface_get_height(surface);
    if (!ClipSegment(segment, -margin, -margin, width + margin, height + margin)) {
        return true;  // wholly off the surface
    }
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, pen.width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_source_rgb(cr, GetRValue(pen.colour) / 255.0, GetGValue(pen.colour) / 255.0,
                         GetBValue(pen.colour) / 255.0);
    cairo_new_path(cr);
    cairo_move_to(cr, segment.x0, segment.y0);
    cairo_line_to(cr, segment.x1, segment.y1);
    cairo_stroke(cr);
    cairo_restore(cr);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    const Brush* brush = registry.Find(brushHandle);
    if (dc == nullptr || brush == nullptr || rect == nullptr) {
        return 0;
    }
    PixelSurface pixels(registry.PixelsOf(*dc));
    if (!pixels.Valid()) {
        return 0;
    }
    if (!brush->hollow) {
        pixels.FillRect(rect->left, rect->top, rect->right, rect->bottom,
                        PixelFromColour(brush->colour));
    }
    return 1;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr) {
        return FALSE;
    }
    const Pen* pen = registry.Find(dc->pen);
    const Brush* brush = registry.Find(dc->brush);
    if (pen == nullptr || brush == nullptr) {
        return FALSE;
    }
    // The rectangle is normalised, as the platform does for its figures.
    std::int64_t x0 = std::min(left, right);
    std::int64_t y0 = std::min(top, bottom);
    const std::int64_t width = std::int64_t{std::max(left, right)} - x0;
    const std::int64_t height = std::int64_t{std::max(top, bottom)} - y0;
    if (width == 0 || height == 0) {
        return TRUE;
    }
    const Pen* outline = pen->style == PS_NULL ? nullptr : pen;
    const std::int64_t growth = outline != nullptr ? outline->width : 0;
    if (width + growth > EllipseShape::kMaxSide || height + growth > EllipseShape::kMaxSide) {
        return FALSE;
    }
    PixelSurface pixels(registry.PixelsOf(*dc));
    if (!pixels.Valid()) {
        return FALSE;
    }
    DrawEllipse(pixels, x0, y0, width, height, outline, *brush);
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr) {
        return FALSE;
    }
    const Pen* pen = registry.Find(dc->pen);
    if (pen == nullptr) {
        return FALSE;
    }
    const POINT from = std::exchange(dc->position, POINT{x, y});
    const POINT to{x, y};
    if (pen->style == PS_NULL) {
        return TRUE;
    }
    const std::int64_t dx = std::int64_t{to.x} - from.x;
    const std::int64_t dy = std::int64_t{to.y} - from.y;
    const bool shortLine = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy) <= kMaxWalkedLine;
    if (pen->width == 1 && shortLine) {
        PixelSurface pixels(registry.PixelsOf(*dc));
        if (!pixels.Valid()) {
            return FALSE;
        }
        const std::uint32_t ink = PixelFromColour(pen->colour);
        platform::gdi_detail::WalkThinLine(
            from.x, from.y, to.x, to.y,
            [&](std::int64_t px, std::int64_t py) { pixels.Set(px, py, ink); });
        return TRUE;
    }
    return StrokeWithCairo(registry, *dc, *pen, from, to) ? TRUE : FALSE;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr || !IsPlainColour(colour)) {
        return CLR_INVALID;
    }
    PixelSurface pixels(registry.PixelsOf(*dc));
    return pixels.Set(x, y, PixelFromColour(colour)) ? colour : CLR_INVALID;
}

COLORREF GetPixel(HDC handle, int x, int y) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr) {
        return CLR_INVALID;
    }
    const PixelSurface pixels(registry.PixelsOf(*dc));
    const auto pixel = pixels.Get(x, y);
    return pixel ? platform::gdi_detail::ColourFromPixel(*pixel) : CLR_INVALID;
}
