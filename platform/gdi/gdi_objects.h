// The objects behind the drawing interface's handles.
#pragma once

#include "platform/gdi/cairo_handles.h"
#include "platform/gdi/font_cache.h"
#include "platform/gdi/gdi.h"

namespace platform::gdi_detail {

// What every selectable object carries: stock objects are never deleted or counted, and an
// object selected into a DC cannot be deleted.
struct SelectableState {
    bool stock = false;
    int selections = 0;
};

struct Brush : SelectableState {
    COLORREF colour = 0;
    bool hollow = false;
};

struct Pen : SelectableState {
    int style = PS_SOLID;
    int width = 1;  // pixels, at least 1
    COLORREF colour = 0;
};

struct Font : SelectableState {
    LOGFONTW logfont{};
    SizedFont sized;
};

struct Bitmap {
    SurfacePtr surface;  // RGB24 image
    bool stock = false;  // the shared 1x1 default bitmap of memory DCs
    HDC selectedInto = nullptr;
};

struct DeviceContext {
    bool memory = true;  // false for a DC on a caller's surface
    SurfacePtr target;   // surface DCs only: our reference on the caller's surface
    HBITMAP bitmap = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    COLORREF background = RGB(255, 255, 255);
    COLORREF text = RGB(0, 0, 0);
    int backgroundMode = OPAQUE;
    POINT position{0, 0};
    // Made on first use for lines and text; dropped whenever the DC's surface changes.
    CairoPtr cairo;
};

}  // namespace platform::gdi_detail
