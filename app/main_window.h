// The main window: where the platform's messages meet the match.
#pragma once

#include "platform/window/winuser.h"

inline constexpr UINT_PTR GAME_TIMER_ID = 666;
inline constexpr UINT kGameTimerPeriodMs = 50;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Hides the task bar and the input-panel button and covers the whole screen with the window.
void SetFullScreen(HWND window);
