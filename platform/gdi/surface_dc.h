// The seam between the drawing interface and whatever owns real pixels (the window manager,
// screenshots, pixel tests): device contexts that draw straight into a cairo image surface, and
// borrowed access to the surfaces behind device contexts and bitmaps.
//
// Every surface this layer makes or accepts is a CAIRO_FORMAT_RGB24 image surface: one 32-bit word
// per pixel, 0x??RRGGBB in native byte order, the top byte unused.
#pragma once

#include <cairo.h>

#include <string>

#include "platform/win32_types.h"

namespace platform {

// A device context that draws into `target`, a caller-owned CAIRO_FORMAT_RGB24 image surface (a
// window's client pixels). It behaves like a window's paint DC: it has no bitmap of its own and
// refuses SelectObject of a bitmap, but is a valid model for CreateCompatibleDC and
// CreateCompatibleBitmap. It counts as a live DC until DeleteDC.
//
// The DC holds its own cairo reference on `target` for its lifetime, so a caller that drops its
// surface early leaves no dangling pointer; DeleteDC drops only that reference and never
// destroys the caller's surface. Returns NULL for a null target or one that is not an RGB24 (or
// ARGB32) image surface in a good state.
HDC CreateSurfaceDC(cairo_surface_t* target);

// The surface a DC draws into: for a memory DC the selected bitmap's surface (the 1x1 default
// bitmap until one is selected), for a surface DC its target. Borrowed: valid while the DC keeps
// it selected. NULL for a stale or invalid handle.
cairo_surface_t* SurfaceOfDC(HDC dc);

// The RGB24 image surface of a bitmap. Borrowed: valid until the bitmap is deleted. NULL for a
// stale or invalid handle.
cairo_surface_t* SurfaceOfBitmap(HBITMAP bitmap);

// Writes `surface` to a PNG file. On failure returns false and, when `error` is not null, says
// why.
bool WritePng(cairo_surface_t* surface, const char* path, std::string* error);

}  // namespace platform
