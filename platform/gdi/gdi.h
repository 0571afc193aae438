// The pocket computer's drawing interface (device contexts, bitmaps, brushes, pens, fonts,
// figures, pixels, text) under its platform names and with its C-style rules, drawn with cairo.
//
// Handles are opaque values from per-kind tables; a deleted object's handle goes stale and every
// function refuses it (NULL, FALSE, 0 or CLR_INVALID, as each function's platform result says)
// rather than touching memory. All calls belong to the one user-interface thread.
//
// Pixel rules, the ones painters rely on:
// - Rectangles are (left, top, right, bottom) with the right and bottom edges excluded.
// - Nothing is anti-aliased except text.
// - An ellipse is inscribed in its rectangle: at its widest it covers columns left..right-1 and
//   rows top..bottom-1; with a 1-pixel pen its outline is the one-pixel edge of the filled shape
//   (8-connected, no doubled pixels at diagonal steps) and the brush fills what lies inside it.
//   A pen w pixels wide lays that edge (w-1)/2 pixels outward and the rest inward.
// - A 1-pixel line includes its first point and excludes its last. A wider line is a
//   rectangle w pixels across centred on the line between the two pixel centres, with butt ends:
//   a 3-pixel vertical line at x covers columns x-1..x+1 and rows y0..y1-1 when drawn
//   downwards. Lines drawn up or to the left keep cairo's fill rule at the ends, which then
//   drops the first pixel row or column instead of the last.
// - Colours are COLORREF 0x00BBGGRR; a colour with any bit of the top byte set is refused.
#pragma once

#include "platform/gdi/local_memory.h"
#include "platform/gdi/wide_format.h"
#include "platform/win32_types.h"

// ---- Logical font ---------------------------------------------------------------------------

inline constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    LONG lfHeight;  // > 0: character cell height in pixels; < 0: em height; 0: the default
    LONG lfWidth;   // > 0: average (digit) width in pixels; 0: natural proportions
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 0..1000, 400 normal, 700 bold, 0 = don't care
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW must keep the platform's 92-byte layout");

using PLOGFONTW = LOGFONTW*;
using LPLOGFONTW = LOGFONTW*;

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_THIN = 100;
inline constexpr LONG FW_EXTRALIGHT = 200;
inline constexpr LONG FW_LIGHT = 300;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_MEDIUM = 500;
inline constexpr LONG FW_SEMIBOLD = 600;
inline constexpr LONG FW_BOLD = 700;
inline constexpr LONG FW_EXTRABOLD = 800;
inline constexpr LONG FW_HEAVY = 900;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_SWISS = 0x20;

// ---- Constants --------------------------------------------------------------------------------

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Stock objects (GetStockObject).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;

// Pen styles (CreatePen).
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;

// Raster operations (BitBlt).
inline constexpr DWORD SRCCOPY = 0x00CC0020;

// Background modes (SetBkMode).
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// ExtTextOutW options.
inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

// ---- Device contexts and bitmaps ----------------------------------------------------------------

// A memory DC holding the defaults of a fresh DC: a 1x1 default bitmap, the stock white brush,
// black pen and system font, white background, black text, opaque background mode, position
// (0, 0). `model` may be NULL (the screen) or any live DC; a stale model gives NULL.
HDC CreateCompatibleDC(HDC model);

// Deletes a DC made by CreateCompatibleDC or platform::CreateSurfaceDC. The objects selected in it
// are released from it, not deleted: they stay the caller's.
BOOL DeleteDC(HDC dc);

// A cx x cy colour bitmap (black at first) for use with DCs like `model`. Unlike the platform,
// a model memory DC still holding its 1x1 default bitmap gives a colour bitmap, not a monochrome
// one. NULL for a stale model, a size below 1 or a surface too large to allocate.
HBITMAP CreateCompatibleBitmap(HDC model, int cx, int cy);

namespace platform {
// Bitmaps beyond these are refused rather than allocated: a side beyond what cairo draws, or a
// quarter of a gigabyte of pixels.
inline constexpr int kMaxBitmapSide = 16384;
inline constexpr long long kMaxBitmapPixels = 1LL << 26;
}  // namespace platform

// ---- Drawing objects -------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index);
HBRUSH CreateSolidBrush(COLORREF colour);
// PS_SOLID of any width (0 means 1 pixel) or PS_NULL; other styles are refused (NULL).
HPEN CreatePen(int style, int width, COLORREF colour);
// NULL for a font that cannot be matched or that asks for rotation, underline or strike-out,
// which this layer does not draw.
HFONT CreateFontIndirectW(const LOGFONTW* logfont);

// Selects a brush, pen, font or bitmap into `dc` and returns the object of the same kind that it
// displaces; NULL on failure (stale handles, a bitmap into a DC that is not a memory DC, a bitmap
// already selected into another DC).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);

// Deletes a brush, pen, font or bitmap. Deleting a stock object does nothing and succeeds, as on
// the platform. An object still selected into a DC is not deleted: the call fails (FALSE) and
// the object stays alive and counted, so the mistake shows up as a leak instead of a crash.
BOOL DeleteObject(HGDIOBJ object);

// Copies the object's logical description into `buffer`: for a font a LOGFONTW (the one it was
// made from; for the system font face "sans-serif", cell height 16). Returns the bytes copied, at
// most `size`; with a null buffer returns the size needed. 0 for stale handles and for kinds other
// than fonts.
int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);

// ---- DC state --------------------------------------------------------------------------------

COLORREF SetBkColor(HDC dc, COLORREF colour);    // previous colour, CLR_INVALID on failure
COLORREF SetTextColor(HDC dc, COLORREF colour);  // previous colour, CLR_INVALID on failure
int SetBkMode(HDC dc, int mode);                 // previous mode, 0 on failure
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);

// ---- Figures and pixels ----------------------------------------------------------------------

int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL LineTo(HDC dc, int x, int y);
// Returns the colour set, or CLR_INVALID (-1) when the pixel is outside the surface.
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);
// Only SRCCOPY. The copy is clipped to both surfaces; destination pixels whose source lies
// outside the source surface are left as they were.
BOOL BitBlt(HDC dest, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY,
            DWORD rop);

// ---- Text ------------------------------------------------------------------------------------

// Draws `count` characters with the selected font and text colour, (x, y) being the top-left
// corner of the text cell. In opaque background mode the cell (x, y, x + advance width,
// y + cell height) is first filled with the background colour. Supports options 0, ETO_OPAQUE
// and ETO_CLIPPED with `clip`; a character-spacing array is refused (FALSE).
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT count,
                 const INT* spacing);

// The advance width and cell height of `count` characters in the selected font.
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
