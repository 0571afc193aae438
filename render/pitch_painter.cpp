#include "render/pitch_painter.h"

namespace {

HDC CreateSurface(HDC paintContext, int width, int height) {
    const HDC surface = CreateCompatibleDC(paintContext);
    // The bitmap stays selected for the surface's whole life.
    SelectObject(surface, CreateCompatibleBitmap(paintContext, width, height));
    return surface;
}

void DrawLine(HDC surface, int x0, int y0, int x1, int y1) {
    MoveToEx(surface, x0, y0, nullptr);
    LineTo(surface, x1, y1);
}

}  // namespace

void PaintPitchBackground(MatchState& state, PaintResources& resources, HDC paintContext, int left,
                          int top, int right, int bottom) {
    const int width = state.geometry.width;
    const int height = state.geometry.height;
    const int disc = state.players[kUserPlayer].size;
    const int ball = state.ball.size;

    resources.frameSurface = CreateSurface(paintContext, width, height);
    resources.backgroundSurface = CreateSurface(paintContext, width, height);
    const HDC surface = resources.backgroundSurface;

    SelectNewBrush(resources, surface, kPitchGreen);
    const RECT field{left, top, right, bottom};
    FillRect(surface, &field, resources.currentBrush);

    const int goalDepth = GoalDepthForWidth(width);
    state.geometry.goalDepth = goalDepth;

    SelectNewBrush(resources, surface, kGoalBlack);
    const RECT bottomBand{0, height - goalDepth, width, height};
    FillRect(surface, &bottomBand, resources.currentBrush);
    SelectNewBrush(resources, surface, kGoalBlack);
    const RECT topBand{0, 0, width, goalDepth};
    FillRect(surface, &topBand, resources.currentBrush);

    // One 3-pixel grey pen draws every line and outline; the side lines run over the bands.
    BeginPenGroup(resources, surface, 3, kLineGrey);
    DrawLine(surface, 0, 0, 0, height);
    DrawLine(surface, width - 2, 0, width - 2, height);

    const int cx = width / 2;
    const int cy = height / 2;
    SelectNewBrush(resources, surface, kLineGrey);
    Ellipse(surface, cx - disc, cy - disc, cx + disc, cy + disc);
    SelectNewBrush(resources, surface, kPitchGreen);
    Ellipse(surface, cx - disc + 1, cy - disc + 1, cx + disc - 1, cy + disc - 1);
    SelectNewBrush(resources, surface, kLineGrey);
    Ellipse(surface, cx - ball / 2, cy - ball / 2, cx + ball / 2, cy + ball / 2);

    // The halfway line runs one pixel above the centre, over the circles and the spot.
    DrawLine(surface, 0, cy - 1, width, cy - 1);
    EndPenGroup(resources, surface);
}
