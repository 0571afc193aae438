#include "render/paint_resources.h"

void SelectNewBrush(PaintResources& resources, HDC surface, COLORREF colour) {
    resources.currentBrush = CreateSolidBrush(colour);
    const HGDIOBJ displaced = SelectObject(surface, resources.currentBrush);
    // The first brush of a surface displaces the stock brush, which ignores the request.
    DeleteObject(displaced);
}

void BeginPenGroup(PaintResources& resources, HDC surface, int width, COLORREF colour) {
    resources.currentPen = CreatePen(PS_SOLID, width, colour);
    resources.savedPen = static_cast<HPEN>(SelectObject(surface, resources.currentPen));
}

void EndPenGroup(PaintResources& resources, HDC surface) {
    SelectObject(surface, resources.savedPen);
    DeleteObject(resources.currentPen);
}
