// The simulator's script language: one command a line, run against one match.
#pragma once

#include <iosfwd>
#include <string_view>
#include <vector>

inline constexpr int kScriptOk = 0;
inline constexpr int kScriptRefused = 2;

// Runs every line of `script`, writing one JSON line per `dump` to `out`. On the first bad line
// it writes "tarvel-sim: line N: reason" to `err`, stops, and returns kScriptRefused; everything
// written to `out` before then is whole lines.
int RunSimulatorScript(std::istream& script, std::ostream& out, std::ostream& err);

// The words of a script line as the reader splits them: runs of anything but spaces and tabs.
std::vector<std::string_view> SplitScriptWords(std::string_view line);

// The language, for --help.
extern const char* const kScriptLanguageHelp;
