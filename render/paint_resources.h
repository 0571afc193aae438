// The drawing resources that live beside the match: the two off-screen surfaces and the brush and
// pen handles the painters pass between their steps.
#pragma once

#include "platform/gdi/gdi.h"

struct PaintResources {
    HDC frameSurface;       // where each frame is composed
    HDC backgroundSurface;  // the static pitch, drawn once
    HBRUSH currentBrush;    // the brush made last; still selected in the surface drawn last
    HPEN currentPen;        // the pen of the drawing group in progress
    HPEN savedPen;          // the pen it displaced, put back when the group ends
};

// Brushes and pens are made for each use and never kept:
// - a new fill colour makes a new brush, selects it and destroys the brush it displaced at once,
//   so a surface holds at most one brush of ours;
// - a drawing group makes its pen, remembers the pen it displaced, and at the end of the group
//   puts that one back and destroys its own.
void SelectNewBrush(PaintResources& resources, HDC surface, COLORREF colour);
void BeginPenGroup(PaintResources& resources, HDC surface, int width, COLORREF colour);
void EndPenGroup(PaintResources& resources, HDC surface);
