// Brushes, pens and fonts: creation, description and deletion.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_debug.h"
#include "platform/gdi/gdi_registry.h"

using platform::gdi_detail::Bitmap;
using platform::gdi_detail::Brush;
using platform::gdi_detail::Font;
using platform::gdi_detail::IsPlainColour;
using platform::gdi_detail::ObjectKind;
using platform::gdi_detail::Pen;
using platform::gdi_detail::Registry;

namespace {

constexpr int kMaxPenWidth = 4096;

template <class Handle>
BOOL DeleteSelectable(Registry& registry, Handle handle) {
    auto* object = registry.Find(handle);
    if (object == nullptr) {
        return FALSE;
    }
    if (object->stock) {
        return TRUE;
    }
    if (object->selections > 0) {
        return FALSE;
    }
    return registry.Erase(handle) ? TRUE : FALSE;
}

BOOL DeleteBitmap(Registry& registry, HBITMAP handle) {
    Bitmap* bitmap = registry.Find(handle);
    if (bitmap == nullptr) {
        return FALSE;
    }
    if (bitmap->stock) {
        return TRUE;
    }
    if (bitmap->selectedInto != nullptr) {
        return FALSE;
    }
    return registry.Erase(handle) ? TRUE : FALSE;
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
    return Registry::Get().Stock(index);
}

HBRUSH CreateSolidBrush(COLORREF colour) {
    if (!IsPlainColour(colour)) {
        return nullptr;
    }
    Brush brush;
    brush.colour = colour;
    return Registry::Get().Add(brush);
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if ((style != PS_SOLID && style != PS_NULL) || width < 0 || width > kMaxPenWidth ||
        !IsPlainColour(colour)) {
        return nullptr;
    }
    Pen pen;
    pen.style = style;
    pen.width = std::max(width, 1);
    pen.colour = colour;
    return Registry::Get().Add(pen);
}

HFONT CreateFontIndirectW(const LOGFONTW* logfont) {
    if (logfont == nullptr || logfont->lfEscapement != 0 || logfont->lfOrientation != 0 ||
        logfont->lfUnderline != 0 || logfont->lfStrikeOut != 0) {
        return nullptr;
    }
    Registry& registry = Registry::Get();
    auto sized = registry.Fonts().Resolve(*logfont);
    if (!sized) {
        return nullptr;
    }
    Font font;
    font.logfont = *logfont;
    font.sized = std::move(*sized);
    return registry.Add(std::move(font));
}

BOOL DeleteObject(HGDIOBJ object) {
    Registry& registry = Registry::Get();
    switch (registry.KindOf(object)) {
        case ObjectKind::kBrush:
            return DeleteSelectable(registry, static_cast<HBRUSH>(object));
        case ObjectKind::kPen:
            return DeleteSelectable(registry, static_cast<HPEN>(object));
        case ObjectKind::kFont:
            return DeleteSelectable(registry, static_cast<HFONT>(object));
        case ObjectKind::kBitmap:
            return DeleteBitmap(registry, static_cast<HBITMAP>(object));
        case ObjectKind::kDeviceContext:
        case ObjectKind::kNone:
            break;
    }
    return FALSE;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    Registry& registry = Registry::Get();
    if (registry.KindOf(object) != ObjectKind::kFont) {
        return 0;
    }
    const Font* font = registry.Find(static_cast<HFONT>(object));
    if (font == nullptr) {
        return 0;
    }
    constexpr int kNeeded = static_cast<int>(sizeof(LOGFONTW));
    if (buffer == nullptr) {
        return kNeeded;
    }
    const int copied = std::clamp(size, 0, kNeeded);
    std::memcpy(buffer, &font->logfont, static_cast<std::size_t>(copied));
    return copied;
}

namespace platform {

GdiObjectCounts LiveGdiObjects() {
    const Registry& registry = Registry::Get();
    GdiObjectCounts counts;
    counts.deviceContexts = registry.LiveDeviceContexts();
    counts.bitmaps = registry.LiveBitmaps();
    counts.brushes = registry.LiveBrushes();
    counts.pens = registry.LivePens();
    counts.fonts = registry.LiveFonts();
    return counts;
}

GdiObjectCounts MadeGdiObjects() {
    const auto& made = Registry::Get().Made();
    auto of = [&made](gdi_detail::ObjectKind kind) { return made[static_cast<std::size_t>(kind)]; };
    GdiObjectCounts counts;
    counts.deviceContexts = of(gdi_detail::ObjectKind::kDeviceContext);
    counts.bitmaps = of(gdi_detail::ObjectKind::kBitmap);
    counts.brushes = of(gdi_detail::ObjectKind::kBrush);
    counts.pens = of(gdi_detail::ObjectKind::kPen);
    counts.fonts = of(gdi_detail::ObjectKind::kFont);
    return counts;
}

bool DescribeFont(HFONT handle, FontDescription* description) {
    const Font* font = Registry::Get().Find(handle);
    if (font == nullptr || description == nullptr || !font->sized.face) {
        return false;
    }
    const auto& sized = font->sized;
    description->family = sized.face->family;
    description->style = sized.face->style;
    description->file = sized.face->file;
    description->weight = sized.face->weight;
    description->cellHeight = sized.cellHeight;
    description->emSize = sized.emSize;
    description->digitWidth = sized.face->digitAdvancePerEm * sized.horizontalEmSize;
    return true;
}

}  // namespace platform
