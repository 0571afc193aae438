// The simulator's script language: one command a line, run against one match.
#pragma once

#include <iosfwd>
#include <string_view>

inline constexpr int kScriptOk = 0;
inline constexpr int kScriptRefused = 2;

class ScriptDisplay;

// Runs every line of `script` against one match painted into `display`, writing one JSON line per
// `dump` to `out`. On the first bad line it writes "PROGRAM: line N: reason" to `err`, stops, and
// returns kScriptRefused; everything written to `out` before then is whole lines.
int RunMatchScript(std::istream& script, ScriptDisplay& display, std::string_view program,
                   std::ostream& out, std::ostream& err);

// tarvel-sim's run: RunMatchScript in a HeadlessDisplay of its own (simulator_script.cpp).
int RunSimulatorScript(std::istream& script, std::ostream& out, std::ostream& err);

// The language, for --help.
extern const char* const kScriptLanguageHelp;
