#include "platform/gdi/gdi_registry.h"

#include <bit>
#include <utility>

namespace platform::gdi_detail {
namespace {

// Handle layout: the low kSlotBits slot + 1 (never 0, so no live handle is NULL), then 4 bits of
// kind; with 64-bit handles 4 bits kept zero and the generation in the high 32, with 32-bit ones
// the generation in the top 12 (see handle_table.h).
constexpr std::uintptr_t kSlotMask = (std::uintptr_t{1} << kSlotBits) - 1;
constexpr int kKindShift = kSlotBits;
constexpr std::uintptr_t kKindMask = 0xF;
constexpr int kGenerationShift = kWideHandles ? 32 : kSlotBits + 4;
constexpr std::uintptr_t kReservedMask = kWideHandles ? std::uintptr_t{0xF} << 28 : 0;
static_assert(kGenerationShift + std::bit_width(kGenerationMask) == 8 * sizeof(std::uintptr_t),
              "the generation fills the handle's top bits");

std::uintptr_t Encode(ObjectKind kind, SlotRef ref) {
    return (std::uintptr_t{ref.index} + 1) | (static_cast<std::uintptr_t>(kind) << kKindShift) |
           (static_cast<std::uintptr_t>(ref.generation & kGenerationMask) << kGenerationShift);
}

ObjectKind KindBits(std::uintptr_t value) {
    if ((value & kSlotMask) == 0 || (value & kReservedMask) != 0) {
        return ObjectKind::kNone;
    }
    const auto kind = (value >> kKindShift) & kKindMask;
    if (kind == 0 || kind > static_cast<std::uintptr_t>(ObjectKind::kBitmap)) {
        return ObjectKind::kNone;
    }
    return static_cast<ObjectKind>(kind);
}

template <class Handle>
std::uintptr_t Bits(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

template <class T, class Handle>
T* FindIn(HandleTable<T>& table, ObjectKind kind, Handle handle) {
    const std::uintptr_t value = Bits(handle);
    if (KindBits(value) != kind) {
        return nullptr;
    }
    return table.Find(SlotRef{static_cast<std::uint32_t>((value & kSlotMask) - 1),
                              static_cast<std::uint32_t>(value >> kGenerationShift)});
}

template <class T, class Handle>
bool EraseIn(HandleTable<T>& table, ObjectKind kind, Handle handle) {
    const std::uintptr_t value = Bits(handle);
    if (KindBits(value) != kind) {
        return false;
    }
    return table.Erase(SlotRef{static_cast<std::uint32_t>((value & kSlotMask) - 1),
                               static_cast<std::uint32_t>(value >> kGenerationShift)});
}

template <class Handle, class T>
Handle AddTo(HandleTable<T>& table, ObjectKind kind, T object) {
    const auto ref = table.Insert(std::move(object));
    if (!ref) {
        return nullptr;
    }
    return reinterpret_cast<Handle>(Encode(kind, *ref));
}

Brush StockBrush(COLORREF colour, bool hollow) {
    Brush brush;
    brush.stock = true;
    brush.colour = colour;
    brush.hollow = hollow;
    return brush;
}

Pen StockPen(int style, COLORREF colour) {
    Pen pen;
    pen.stock = true;
    pen.style = style;
    pen.colour = colour;
    return pen;
}

}  // namespace

Registry& Registry::Get() {
    static Registry* const registry = new Registry();
    return *registry;
}

Registry::Registry() {
    const auto addBrush = [this](int index, COLORREF colour, bool hollow) {
        stock_[index] = Add(StockBrush(colour, hollow));
        ++stockBrushes_;
    };
    addBrush(WHITE_BRUSH, RGB(255, 255, 255), false);
    addBrush(LTGRAY_BRUSH, RGB(192, 192, 192), false);
    addBrush(GRAY_BRUSH, RGB(128, 128, 128), false);
    addBrush(DKGRAY_BRUSH, RGB(64, 64, 64), false);
    addBrush(BLACK_BRUSH, RGB(0, 0, 0), false);
    addBrush(NULL_BRUSH, RGB(0, 0, 0), true);

    const auto addPen = [this](int index, int style, COLORREF colour) {
        stock_[index] = Add(StockPen(style, colour));
        ++stockPens_;
    };
    addPen(WHITE_PEN, PS_SOLID, RGB(255, 255, 255));
    addPen(BLACK_PEN, PS_SOLID, RGB(0, 0, 0));
    addPen(NULL_PEN, PS_NULL, RGB(0, 0, 0));

    // The system font: fontconfig's sans-serif alias, a 16-pixel cell, regular weight. Its
    // LOGFONTW keeps the alias as the face name; which family that resolves to is the
    // machine's fontconfig setting (DescribeFont tells).
    Font system;
    system.stock = true;
    system.logfont.lfHeight = FontCache::kDefaultCellHeight;
    system.logfont.lfWeight = FW_NORMAL;
    system.logfont.lfCharSet = DEFAULT_CHARSET;
    system.logfont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::char_traits<char16_t>::copy(system.logfont.lfFaceName, FontCache::kDefaultFace,
                                     std::char_traits<char16_t>::length(FontCache::kDefaultFace));
    if (auto sized = fontCache_.Resolve(system.logfont)) {
        system.sized = std::move(*sized);
    }
    // Without any installed face the stock font still exists (its LOGFONTW is what painters
    // read), but text drawn with it fails.
    stock_[SYSTEM_FONT] = Add(std::move(system));
    ++stockFonts_;

    Bitmap defaultBitmap;
    defaultBitmap.stock = true;
    defaultBitmap.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    defaultBitmap_ = Add(std::move(defaultBitmap));
}

ObjectKind Registry::KindOf(const void* handle) const {
    return KindBits(reinterpret_cast<std::uintptr_t>(handle));
}

DeviceContext* Registry::Find(HDC h) {
    return FindIn(dcs_, ObjectKind::kDeviceContext, h);
}
Brush* Registry::Find(HBRUSH h) {
    return FindIn(brushes_, ObjectKind::kBrush, h);
}
Pen* Registry::Find(HPEN h) {
    return FindIn(pens_, ObjectKind::kPen, h);
}
Font* Registry::Find(HFONT h) {
    return FindIn(fonts_, ObjectKind::kFont, h);
}
Bitmap* Registry::Find(HBITMAP h) {
    return FindIn(bitmaps_, ObjectKind::kBitmap, h);
}

HDC Registry::Add(DeviceContext dc) {
    const HDC handle = AddTo<HDC>(dcs_, ObjectKind::kDeviceContext, std::move(dc));
    made_[static_cast<std::size_t>(ObjectKind::kDeviceContext)] += handle != nullptr ? 1 : 0;
    return handle;
}
HBRUSH Registry::Add(Brush brush) {
    const HBRUSH handle = AddTo<HBRUSH>(brushes_, ObjectKind::kBrush, brush);
    made_[static_cast<std::size_t>(ObjectKind::kBrush)] += handle != nullptr ? 1 : 0;
    return handle;
}
HPEN Registry::Add(Pen pen) {
    const HPEN handle = AddTo<HPEN>(pens_, ObjectKind::kPen, pen);
    made_[static_cast<std::size_t>(ObjectKind::kPen)] += handle != nullptr ? 1 : 0;
    return handle;
}
HFONT Registry::Add(Font font) {
    const HFONT handle = AddTo<HFONT>(fonts_, ObjectKind::kFont, std::move(font));
    made_[static_cast<std::size_t>(ObjectKind::kFont)] += handle != nullptr ? 1 : 0;
    return handle;
}
HBITMAP Registry::Add(Bitmap bitmap) {
    const HBITMAP handle = AddTo<HBITMAP>(bitmaps_, ObjectKind::kBitmap, std::move(bitmap));
    made_[static_cast<std::size_t>(ObjectKind::kBitmap)] += handle != nullptr ? 1 : 0;
    return handle;
}

bool Registry::Erase(HDC h) {
    return EraseIn(dcs_, ObjectKind::kDeviceContext, h);
}
bool Registry::Erase(HBRUSH h) {
    return EraseIn(brushes_, ObjectKind::kBrush, h);
}
bool Registry::Erase(HPEN h) {
    return EraseIn(pens_, ObjectKind::kPen, h);
}
bool Registry::Erase(HFONT h) {
    return EraseIn(fonts_, ObjectKind::kFont, h);
}
bool Registry::Erase(HBITMAP h) {
    return EraseIn(bitmaps_, ObjectKind::kBitmap, h);
}

HGDIOBJ Registry::Stock(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= stock_.size()) {
        return nullptr;
    }
    return stock_[static_cast<std::size_t>(index)];
}

DeviceContext Registry::NewDeviceContext() {
    // The stock objects a DC starts with are counted as selected like any other, which keeps the
    // bookkeeping uniform.
    DeviceContext dc;
    dc.brush = static_cast<HBRUSH>(Stock(WHITE_BRUSH));
    dc.pen = static_cast<HPEN>(Stock(BLACK_PEN));
    dc.font = static_cast<HFONT>(Stock(SYSTEM_FONT));
    dc.bitmap = defaultBitmap_;
    ++Find(dc.brush)->selections;
    ++Find(dc.pen)->selections;
    ++Find(dc.font)->selections;
    return dc;
}

cairo_surface_t* Registry::PixelsOf(DeviceContext& dc) {
    if (!dc.memory) {
        return dc.target.get();
    }
    Bitmap* bitmap = Find(dc.bitmap);
    return bitmap != nullptr ? bitmap->surface.get() : nullptr;
}

cairo_t* Registry::CairoOf(DeviceContext& dc) {
    cairo_surface_t* surface = PixelsOf(dc);
    if (surface == nullptr) {
        return nullptr;
    }
    if (!dc.cairo || cairo_get_target(dc.cairo.get()) != surface) {
        dc.cairo.reset(cairo_create(surface));
    }
    if (cairo_status(dc.cairo.get()) != CAIRO_STATUS_SUCCESS) {
        dc.cairo.reset();
        return nullptr;
    }
    return dc.cairo.get();
}

}  // namespace platform::gdi_detail
