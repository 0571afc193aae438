// Where a script's paints go: the simulator's memory window, or a real drawing interface's.
#pragma once

#include <cstdint>
#include <string>

#include "game/match_state.h"

class ScriptDisplay {
  public:
    ScriptDisplay() = default;
    ScriptDisplay(const ScriptDisplay&) = delete;
    ScriptDisplay& operator=(const ScriptDisplay&) = delete;
    virtual ~ScriptDisplay() = default;

    // The first paint's set-up on a window of width x height: starts the match and paints the
    // pitch background, which stores the goal depth. False, with the reason, when the window or
    // its surfaces cannot be made; the match is then left unstarted.
    virtual bool FirstPaint(MatchState& state, std::int32_t width, std::int32_t height,
                            std::string* error) = 0;

    // One frame painted into the window. With a path, the window is then written as PNG.
    virtual bool Paint(MatchState& state, const std::string& pngPath, std::string* error) = 0;

    virtual bool started() const = 0;
};
