// The static pitch, painted once into its own surface at the first paint.
#pragma once

#include "game/match_state.h"
#include "render/paint_resources.h"

inline constexpr COLORREF kPitchGreen = RGB(0, 100, 50);
inline constexpr COLORREF kGoalBlack = RGB(0, 0, 0);
inline constexpr COLORREF kLineGrey = RGB(150, 150, 150);

// Creates the frame and background surfaces (W x H, modelled on `paintContext`, which is not drawn
// into), paints the pitch into the background and stores the goal depth in the match geometry.
// The rectangle is the one filled with pitch green: the client rectangle at the first paint.
void PaintPitchBackground(MatchState& state, PaintResources& resources, HDC paintContext, int left,
                          int top, int right, int bottom);
