// What the program keeps for the whole run, in static storage: the instance, the soft-key bar, the
// shell's activation record, the match, the drawing resources and what watches the messages.
#pragma once

#include "game/match_state.h"
#include "platform/window/aygshell.h"
#include "platform/window/winuser.h"
#include "render/paint_resources.h"

// Sees every message before the main window procedure does; true takes the message, which the
// procedure then never sees. How a match is recorded and replayed, on every target alike.
using MessageHook = bool (*)(void* context, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam);

struct ProgramState {
    HINSTANCE instance;
    HWND menuBar;  // null when the soft-key bar could not be made
    SHACTIVATEINFO activateInfo;
    MatchState match;
    PaintResources paint;
    MessageHook messageHook;  // null when nothing records or replays
    void* messageHookContext;
};

// The one record of the run.
ProgramState& Program();

// Zero-fills the record, as loading the program does. The runtime entry calls it before WinMain
// so that a process that runs the program twice (the tests) starts each run fresh.
void ResetProgramState();
