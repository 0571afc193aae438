// A recorded match read whole and checked before anything is shown: its header, the screen it
// was played on, the first paint's size and the messages after it, each with its line. A
// recording comes from anyone, so the reader takes only what a recorder writes, within bounds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/script_line.h"

struct ReplayStep {
    ScriptVerb verb;  // kTick, kPlay, kMove, kNew, kHard, kFrame (bare) or kCheck
    std::int64_t first;
    std::int64_t second;
    std::uint64_t digest;
    std::int64_t line;
};

struct Replay {
    std::int64_t screenWidth = 0;  // from "# screen W H"
    std::int64_t screenHeight = 0;
    std::int64_t screenLine = 0;
    std::int64_t startWidth = 0;  // the first paint's client size, from "start W H"
    std::int64_t startHeight = 0;
    // Everything after the first paint. Moves and commands before it are read and left out: the
    // first paint starts the match afresh, difficulty included.
    std::vector<ReplayStep> steps;
    std::int64_t ticks = 0;
};

struct ReplayReading {
    bool ok = false;
    std::int64_t line = 0;  // the line at fault when not ok
    std::string reason;
    Replay replay;
};

// `text` is the whole recording as read; one longer than kMaxScriptBytes is refused.
ReplayReading ReadReplay(std::string_view text);
