// One frame of the match: the pitch copied from the background, the two scores, the ball, the
// discs and their rings, composed off screen and copied to the window in one step.
#pragma once

#include "game/match_state.h"
#include "render/paint_resources.h"

inline constexpr COLORREF kBallOutline = RGB(255, 50, 100);
inline constexpr COLORREF kBallHighlight = RGB(250, 250, 200);
inline constexpr COLORREF kDiscOutline = RGB(180, 180, 150);
inline constexpr COLORREF kRingFill = RGB(200, 200, 200);
inline constexpr COLORREF kScoreBackground = RGB(0, 100, 50);

// The score's text colour for a flash value: bright after a goal, fading to olive at 0.
constexpr COLORREF ScoreColour(std::int32_t flash) {
    return RGB(static_cast<BYTE>(flash + 100), static_cast<BYTE>(flash + 100),
               static_cast<BYTE>(2 * flash));
}

// The top-left corner of `player`'s score text on a pitch `height` high: the computer's a quarter
// down, the user's three quarters.
constexpr POINT ScoreCorner(int player, std::int32_t height) {
    return {20, player == kComputerPlayer ? height / 4 : 3 * height / 4};
}

// The score font: the system font with a cell twice the ball's size high, digits a ball wide,
// light.
LOGFONTW ScoreFont(std::int32_t ballSize);

// Composes the frame in the frame surface and copies it to `paintContext`.
void PaintFrame(MatchState& state, PaintResources& resources, HDC paintContext);

// Draws `value` with its text cell's top-left corner at (x, y), and lowers the score flash by one.
void DrawScore(MatchState& state, HDC surface, int x, int y, int value);
