// One line of a match script, the language tarvel-sim runs and a recorded match is written in:
// its command and arguments, read the same way by the simulator and by the program that replays
// a recording. Reading a line never runs it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptVerb { kBlank, kStart, kTick, kPlay, kMove, kNew, kHard, kDump, kFrame, kCheck };

struct ScriptLine {
    ScriptVerb verb = ScriptVerb::kBlank;
    // start: width, height; tick, play: the count; move: x, y; check: the tick count.
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::uint64_t digest = 0;  // check
    std::string_view path;     // frame: the rest of the line, trimmed; empty for a bare frame
    // move: a coordinate written with a sign is a step from the last move's.
    bool relativeX = false;
    bool relativeY = false;
};

// Where the last move went, for the moves written as steps from it.
struct LastMove {
    std::int64_t x = -1;  // -1 before the first move
    std::int64_t y = -1;
};

// Turns a move line's steps into a position and keeps it as the last move. False, with the
// reason, for a step with no move before it or a position off 0..65535.
bool PlaceMove(ScriptLine* line, LastMove* last, std::string* reason);

inline constexpr std::int64_t kMaxCoordinate = 65535;
inline constexpr std::int64_t kMaxTicksPerLine = 1000000;

// Reads `line` (without its line break). False, with the reason, when it is not a command of the
// language; blank lines and '#' comments read as kBlank.
bool ParseScriptLine(std::string_view line, ScriptLine* parsed, std::string* reason);

// The words of a script line as the reader splits them: runs of anything but spaces and tabs.
std::vector<std::string_view> SplitScriptWords(std::string_view line);

// A digest as a check line writes it: 16 lowercase hexadecimal digits.
std::string DigestText(std::uint64_t digest);

// A word of a line as the user sees it in a message: quoted, at most 40 characters, control
// bytes shown as '?'.
std::string Quote(std::string_view text);

// What a script or a recording may ask of a reader: it is input from anyone.
inline constexpr std::int64_t kMaxScriptBytes = 16 * 1024 * 1024;
inline constexpr std::int64_t kMaxLineBytes = 4096;
inline constexpr std::int64_t kMaxScriptTicks = 1728000;  // a day of play at 20 ticks a second

// The first line of a recording names its format and version; a reader knows versions up to
// kReplayVersion.
inline constexpr std::string_view kReplayFormat = "tarvel-replay";
inline constexpr int kReplayVersion = 1;

// Takes a script, read whole, line by line within the limits above, and refuses a recording of a
// version it does not know or one cut short in a line. Lines come without their line break (and
// without a '\r' before it).
class ScriptLineReader {
  public:
    enum class Result { kLine, kEnd, kRefused };

    // `text` is borrowed: it outlives the reader.
    explicit ScriptLineReader(std::string_view text) : text_(text) {}

    // The next line, the end of the script, or a refusal of line lineNumber() with its reason.
    Result Next(std::string* line, std::string* reason);
    std::int64_t lineNumber() const { return lineNumber_; }
    // Whether the first line named a recording.
    bool isReplay() const { return isReplay_; }

  private:
    std::string_view text_;
    std::size_t next_ = 0;  // where the next line starts in text_
    std::int64_t lineNumber_ = 0;
    bool lastLineEnded_ = true;
    bool isReplay_ = false;
};

// Counts the ticks a script runs and refuses the line that would go past kMaxScriptTicks.
bool CountScriptTicks(const ScriptLine& line, std::int64_t* ticks, std::string* reason);
