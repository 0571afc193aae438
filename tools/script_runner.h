// The simulator's script language: one command a line, run against one match.
#pragma once

#include <iosfwd>

inline constexpr int kScriptOk = 0;
inline constexpr int kScriptRefused = 2;

// Runs every line of `script`, writing one JSON line per `dump` to `out`. On the first bad line
// it writes "tarvel-sim: line N: reason" to `err`, stops, and returns kScriptRefused; everything
// written to `out` before then is whole lines.
int RunSimulatorScript(std::istream& script, std::ostream& out, std::ostream& err);

// The language, for --help.
extern const char* const kScriptLanguageHelp;
