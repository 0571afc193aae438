// Text output with the selected font: the cell background as exact pixels, the glyphs through
// cairo (the one anti-aliased thing this layer draws).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/pixel_surface.h"
#include "platform/gdi/utf16.h"

using platform::gdi_detail::DeviceContext;
using platform::gdi_detail::Font;
using platform::gdi_detail::PixelFromColour;
using platform::gdi_detail::PixelSurface;
using platform::gdi_detail::Registry;

namespace {

// Longer strings are refused rather than laid out.
constexpr UINT kMaxCharacters = 8192;

// The selected font of a DC, when it can draw.
const Font* DrawingFont(Registry& registry, DeviceContext& dc) {
    const Font* font = registry.Find(dc.font);
    if (font == nullptr || !font->sized.scaled) {
        return nullptr;
    }
    return font;
}

int AdvanceWidth(const Font& font, const std::string& utf8) {
    cairo_text_extents_t extents;
    cairo_scaled_font_text_extents(font.sized.scaled.get(), utf8.c_str(), &extents);
    return static_cast<int>(std::lround(extents.x_advance));
}

// start + length, held inside the LONG range.
LONG ClampedEnd(int start, int length) {
    const std::int64_t end = std::int64_t{start} + length;
    return static_cast<LONG>(std::min<std::int64_t>(end, INT32_MAX));
}

void ClipTo(cairo_t* cr, const RECT& rect) {
    cairo_rectangle(cr, rect.left, rect.top, static_cast<double>(rect.right) - rect.left,
                    static_cast<double>(rect.bottom) - rect.top);
    cairo_clip(cr);
}

bool DrawGlyphs(cairo_t* cr, const Font& font, COLORREF colour, double x, double baseline,
                const std::string& utf8, const RECT* clip) {
    cairo_glyph_t* glyphs = nullptr;
    int glyphCount = 0;
    const cairo_status_t status = cairo_scaled_font_text_to_glyphs(
        font.sized.scaled.get(), x, baseline, utf8.c_str(), static_cast<int>(utf8.size()), &glyphs,
        &glyphCount, nullptr, nullptr, nullptr);
    if (status != CAIRO_STATUS_SUCCESS) {
        return false;
    }
    cairo_save(cr);
    if (clip != nullptr) {
        ClipTo(cr, *clip);
    }
    cairo_set_scaled_font(cr, font.sized.scaled.get());
    cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0,
                         GetBValue(colour) / 255.0);
    cairo_show_glyphs(cr, glyphs, glyphCount);
    cairo_restore(cr);
    cairo_glyph_free(glyphs);
    return cairo_status(cr) == CAIRO_STATUS_SUCCESS;
}

void FillClipped(PixelSurface& pixels, RECT area, const RECT* clip, COLORREF colour) {
    if (clip != nullptr) {
        area.left = std::max(area.left, clip->left);
        area.top = std::max(area.top, clip->top);
        area.right = std::min(area.right, clip->right);
        area.bottom = std::min(area.bottom, clip->bottom);
    }
    pixels.FillRect(area.left, area.top, area.right, area.bottom, PixelFromColour(colour));
}

}  // namespace

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count,
                 const INT* spacing) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr || spacing != nullptr || (options & ~(ETO_OPAQUE | ETO_CLIPPED)) != 0 ||
        (options != 0 && rect == nullptr) || (text == nullptr && count > 0) ||
        count > kMaxCharacters) {
        return FALSE;
    }
    const Font* font = DrawingFont(registry, *dc);
    cairo_t* cr = registry.CairoOf(*dc);
    if (font == nullptr || cr == nullptr) {
        return FALSE;
    }
    const RECT* clip = (options & ETO_CLIPPED) != 0 ? rect : nullptr;
    const std::string utf8 = platform::gdi_detail::Utf8FromUtf16(text, count);
    {
        PixelSurface pixels(registry.PixelsOf(*dc));
        if (!pixels.Valid()) {
            return FALSE;
        }
        if ((options & ETO_OPAQUE) != 0) {
            FillClipped(pixels, *rect, clip, dc->background);
        }
        if (dc->backgroundMode == OPAQUE && count > 0) {
            const RECT cell{x, y, ClampedEnd(x, AdvanceWidth(*font, utf8)),
                            ClampedEnd(y, font->sized.cellHeight)};
            FillClipped(pixels, cell, clip, dc->background);
        }
    }
    if (count == 0) {
        return TRUE;
    }
    return DrawGlyphs(cr, *font, dc->text, x, y + font->sized.ascent, utf8, clip) ? TRUE : FALSE;
}

BOOL GetTextExtentPoint32W(HDC handle, LPCWSTR text, int count, SIZE* size) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr || size == nullptr || count < 0 ||
        static_cast<UINT>(count) > kMaxCharacters || (text == nullptr && count > 0)) {
        return FALSE;
    }
    const Font* font = DrawingFont(registry, *dc);
    if (font == nullptr) {
        return FALSE;
    }
    size->cx = AdvanceWidth(*font, platform::gdi_detail::Utf8FromUtf16(text, count));
    size->cy = font->sized.cellHeight;
    return TRUE;
}
