// The one registry of live drawing objects: a handle table per kind, the stock objects and the
// font cache. A handle's value encodes its kind, its slot and the slot's generation, so a
// handle of the wrong kind, a stale handle and a made-up value are all told apart from a live
// one without touching memory.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>

#include "platform/gdi/font_cache.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/handle_table.h"

namespace platform::gdi_detail {

enum class ObjectKind : std::uint8_t { kNone = 0, kDeviceContext, kBrush, kPen, kFont, kBitmap };

class Registry {
  public:
    // Created on first use and never destroyed, so a DC deleted from another static object's
    // destructor at exit still finds the registry alive.
    static Registry& Get();

    ObjectKind KindOf(const void* handle) const;

    DeviceContext* Find(HDC handle);
    Brush* Find(HBRUSH handle);
    Pen* Find(HPEN handle);
    Font* Find(HFONT handle);
    Bitmap* Find(HBITMAP handle);

    HDC Add(DeviceContext dc);
    HBRUSH Add(Brush brush);
    HPEN Add(Pen pen);
    HFONT Add(Font font);
    HBITMAP Add(Bitmap bitmap);

    bool Erase(HDC handle);
    bool Erase(HBRUSH handle);
    bool Erase(HPEN handle);
    bool Erase(HFONT handle);
    bool Erase(HBITMAP handle);

    HGDIOBJ Stock(int index) const;

    // A DC with the platform's defaults: the 1x1 default bitmap, the stock white brush, black
    // pen and system font, white background, black text, opaque mode, position (0, 0).
    DeviceContext NewDeviceContext();
    HBITMAP DefaultBitmap() const { return defaultBitmap_; }

    // Live objects made by the program, stock ones left out.
    std::size_t LiveDeviceContexts() const { return dcs_.LiveCount(); }
    std::size_t LiveBitmaps() const { return bitmaps_.LiveCount() - 1; }
    std::size_t LiveBrushes() const { return brushes_.LiveCount() - stockBrushes_; }
    std::size_t LivePens() const { return pens_.LiveCount() - stockPens_; }
    std::size_t LiveFonts() const { return fonts_.LiveCount() - stockFonts_; }
    // Objects made since the registry began, stock ones included, by kind.
    const std::array<std::size_t, 6>& Made() const { return made_; }

    FontCache& Fonts() { return fontCache_; }

    // The surface a DC draws into.
    cairo_surface_t* PixelsOf(DeviceContext& dc);
    // A cairo context on that surface.
    cairo_t* CairoOf(DeviceContext& dc);

  private:
    Registry();

    static constexpr std::size_t kStockCount = SYSTEM_FONT + 1;

    std::array<std::size_t, 6> made_{};  // by ObjectKind
    HandleTable<DeviceContext> dcs_;
    HandleTable<Brush> brushes_;
    HandleTable<Pen> pens_;
    HandleTable<Font> fonts_;
    HandleTable<Bitmap> bitmaps_;
    FontCache fontCache_;
    std::array<HGDIOBJ, kStockCount> stock_{};
    std::size_t stockBrushes_ = 0;
    std::size_t stockPens_ = 0;
    std::size_t stockFonts_ = 0;
    HBITMAP defaultBitmap_ = nullptr;
};

// Colours with a top byte set (palette indices, CLR_INVALID) are not drawable colours here.
constexpr bool IsPlainColour(COLORREF colour) {
    return (colour & 0xFF000000u) == 0;
}

}  // namespace platform::gdi_detail
