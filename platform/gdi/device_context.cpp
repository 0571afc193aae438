// Device contexts, bitmaps and the selection rules that tie objects to them.
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_registry.h"
#include "platform/gdi/image_memory.h"
#include "platform/gdi/pixel_surface.h"

using platform::gdi_detail::Bitmap;
using platform::gdi_detail::DeviceContext;
using platform::gdi_detail::IsPlainColour;
using platform::gdi_detail::ObjectKind;
using platform::gdi_detail::Registry;

namespace {

template <class Handle>
void Deselect(Registry& registry, Handle handle) {
    if (auto* object = registry.Find(handle); object != nullptr) {
        --object->selections;
    }
}

// Swaps a brush, pen or font into `slot`; returns the displaced one.
template <class Handle>
HGDIOBJ SelectInto(Registry& registry, Handle& slot, Handle incoming) {
    auto* object = registry.Find(incoming);
    if (object == nullptr) {
        return nullptr;
    }
    const Handle previous = slot;
    if (previous != incoming) {
        ++object->selections;
        Deselect(registry, previous);
        slot = incoming;
    }
    return previous;
}

HGDIOBJ SelectBitmap(Registry& registry, HDC handle, DeviceContext& dc, HBITMAP incoming) {
    if (!dc.memory) {
        return nullptr;
    }
    Bitmap* bitmap = registry.Find(incoming);
    if (bitmap == nullptr) {
        return nullptr;
    }
    const HBITMAP previous = dc.bitmap;
    if (previous == incoming) {
        return previous;
    }
    if (!bitmap->stock && bitmap->selectedInto != nullptr) {
        return nullptr;  // a bitmap lives in one DC at a time
    }
    if (!bitmap->stock) {
        bitmap->selectedInto = handle;
    }
    if (Bitmap* old = registry.Find(previous); old != nullptr && !old->stock) {
        old->selectedInto = nullptr;
    }
    dc.bitmap = incoming;
    dc.cairo.reset();
    return previous;
}

}  // namespace

HDC CreateCompatibleDC(HDC model) {
    Registry& registry = Registry::Get();
    if (model != nullptr && registry.Find(model) == nullptr) {
        return nullptr;
    }
    return registry.Add(registry.NewDeviceContext());
}

BOOL DeleteDC(HDC handle) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr) {
        return FALSE;
    }
    Deselect(registry, dc->brush);
    Deselect(registry, dc->pen);
    Deselect(registry, dc->font);
    if (Bitmap* bitmap = registry.Find(dc->bitmap); bitmap != nullptr && !bitmap->stock) {
        bitmap->selectedInto = nullptr;
    }
    registry.Erase(handle);
    return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC model, int cx, int cy) {
    Registry& registry = Registry::Get();
    if (registry.Find(model) == nullptr || cx < 1 || cy < 1 || cx > platform::kMaxBitmapSide ||
        cy > platform::kMaxBitmapSide ||
        static_cast<long long>(cx) * cy > platform::kMaxBitmapPixels) {
        return nullptr;
    }
    Bitmap bitmap;
    bitmap.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, cx, cy));
    if (!platform::gdi_detail::IsDrawableSurface(bitmap.surface.get())) {
        return nullptr;
    }
    // A bitmap is made to be drawn in, all of it, and soon.
    platform::MapPagesNow(bitmap.surface.get());
    return registry.Add(std::move(bitmap));
}

HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
    Registry& registry = Registry::Get();
    DeviceContext* dc = registry.Find(handle);
    if (dc == nullptr) {
        return nullptr;
    }
    switch (registry.KindOf(object)) {
        case ObjectKind::kBrush:
            return SelectInto(registry, dc->brush, static_cast<HBRUSH>(object));
        case ObjectKind::kPen:
            return SelectInto(registry, dc->pen, static_cast<HPEN>(object));
        case ObjectKind::kFont:
            return SelectInto(registry, dc->font, static_cast<HFONT>(object));
        case ObjectKind::kBitmap:
            return SelectBitmap(registry, handle, *dc, static_cast<HBITMAP>(object));
        case ObjectKind::kDeviceContext:
        case ObjectKind::kNone:
            break;
    }
    return nullptr;
}

COLORREF SetBkColor(HDC handle, COLORREF colour) {
    DeviceContext* dc = Registry::Get().Find(handle);
    if (dc == nullptr || !IsPlainColour(colour)) {
        return CLR_INVALID;
    }
    return std::exchange(dc->background, colour);
}

COLORREF SetTextColor(HDC handle, COLORREF colour) {
    DeviceContext* dc = Registry::Get().Find(handle);
    if (dc == nullptr || !IsPlainColour(colour)) {
        return CLR_INVALID;
    }
    return std::exchange(dc->text, colour);
}

int SetBkMode(HDC handle, int mode) {
    DeviceContext* dc = Registry::Get().Find(handle);
    if (dc == nullptr || (mode != OPAQUE && mode != TRANSPARENT)) {
        return 0;
    }
    return std::exchange(dc->backgroundMode, mode);
}

BOOL MoveToEx(HDC handle, int x, int y, POINT* previous) {
    DeviceContext* dc = Registry::Get().Find(handle);
    if (dc == nullptr) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = dc->position;
    }
    dc->position = POINT{x, y};
    return TRUE;
}
