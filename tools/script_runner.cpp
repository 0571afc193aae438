#include "tools/script_runner.h"

#include <charconv>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "game/match.h"
#include "tools/script_display.h"
#include "tools/state_json.h"

const char* const kScriptLanguageHelp =
    "One command a line; blank lines and lines starting with '#' are ignored.\n"
    "  start W H     first paint of a W x H pitch (1..65535 each): starts the match; once only\n"
    "  tick [N]      N game ticks (1..1000000, default 1); needs 'start' first\n"
    "  move X Y      stylus move to client position X, Y (0..65535 each)\n"
    "  new           new game: kick-off, scores to zero, difficulty kept\n"
    "  hard          toggle the difficulty\n"
    "  dump          write the whole match state as one JSON line\n"
    "  frame [FILE]  paint one frame; with FILE (the rest of the line), save it as PNG\n";

namespace {

constexpr std::int64_t kMaxCoordinate = 65535;
constexpr std::int64_t kMaxTicks = 1000000;

// A refusal of the current line; carries the reason shown to the user.
struct Refusal {
    std::string reason;
};

}  // namespace

std::vector<std::string_view> SplitScriptWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') {
            ++pos;
        }
        if (pos > start) {
            words.push_back(line.substr(start, pos - start));
        }
    }
    return words;
}

namespace {

std::string Quote(std::string_view text) {
    // Keep control bytes out of the message so a binary script cannot garble the terminal.
    std::string quoted = "'";
    for (const char c : text.substr(0, 40)) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += (byte < 0x20 || byte == 0x7F) ? '?' : c;
    }
    if (text.size() > 40) {
        quoted += "...";
    }
    quoted += "'";
    return quoted;
}

std::int64_t ParseNumber(std::string_view word, std::string_view what, std::int64_t low,
                         std::int64_t high) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    const std::string range = std::to_string(low) + ".." + std::to_string(high);
    if (error == std::errc::result_out_of_range) {
        throw Refusal{std::string(what) + " " + Quote(word) + " is out of range " + range};
    }
    if (error != std::errc() || end != word.data() + word.size()) {
        throw Refusal{std::string(what) + " must be a whole number, not " + Quote(word)};
    }
    if (value < low || value > high) {
        throw Refusal{std::string(what) + " " + Quote(word) + " is out of range " + range};
    }
    return value;
}

void ExpectArguments(const std::vector<std::string_view>& words, std::size_t least,
                     std::size_t most, std::string_view usage) {
    const std::size_t given = words.size() - 1;
    if (given < least || given > most) {
        throw Refusal{"'" + std::string(words[0]) + "' takes " + std::string(usage) + ", got " +
                      std::to_string(given) + " argument" + (given == 1 ? "" : "s")};
    }
}

class Simulator {
  public:
    Simulator(ScriptDisplay& display, std::ostream& out) : display_(display), out_(out) {}

    void Run(std::string_view line) {
        const std::vector<std::string_view> words = SplitScriptWords(line);
        if (words.empty() || words[0].front() == '#') {
            return;
        }
        const std::string_view command = words[0];
        if (command == "start") {
            Start(words);
        } else if (command == "tick") {
            Tick(words);
        } else if (command == "move") {
            Move(words);
        } else if (command == "new") {
            ExpectArguments(words, 0, 0, "no arguments");
            NewGame(state_);
        } else if (command == "hard") {
            ExpectArguments(words, 0, 0, "no arguments");
            state_.hardMode = state_.hardMode != 0 ? 0 : 1;
        } else if (command == "dump") {
            ExpectArguments(words, 0, 0, "no arguments");
            out_ << MatchStateToJson(state_) << '\n';
        } else if (command == "frame") {
            Frame(line, command);
        } else {
            throw Refusal{"unknown command " + Quote(command)};
        }
    }

  private:
    void Start(const std::vector<std::string_view>& words) {
        ExpectArguments(words, 2, 2, "a width and a height");
        if (display_.started()) {
            throw Refusal{"'start' may be given only once"};
        }
        const auto width =
            static_cast<std::int32_t>(ParseNumber(words[1], "width", 1, kMaxCoordinate));
        const auto height =
            static_cast<std::int32_t>(ParseNumber(words[2], "height", 1, kMaxCoordinate));
        // The first paint: the match starts, then the pitch painter fixes the goal depth that
        // every later kick-off uses.
        std::string error;
        if (!display_.FirstPaint(state_, width, height, &error)) {
            throw Refusal{error};
        }
    }

    void Frame(std::string_view line, std::string_view command) {
        if (!display_.started()) {
            throw Refusal{"'frame' before 'start': there is no window to paint yet"};
        }
        // Everything after the command word is the file name, spaces included.
        std::string_view path =
            line.substr(static_cast<std::size_t>(command.data() - line.data()) + command.size());
        while (!path.empty() && (path.front() == ' ' || path.front() == '\t')) {
            path.remove_prefix(1);
        }
        while (!path.empty() && (path.back() == ' ' || path.back() == '\t')) {
            path.remove_suffix(1);
        }
        std::string error;
        if (!display_.Paint(state_, std::string(path), &error)) {
            throw Refusal{error};
        }
    }

    void Tick(const std::vector<std::string_view>& words) {
        ExpectArguments(words, 0, 1, "an optional number of ticks");
        const std::int64_t count =
            words.size() > 1 ? ParseNumber(words[1], "tick count", 1, kMaxTicks) : 1;
        if (state_.initialised == 0) {
            throw Refusal{"'tick' before 'start': the game timer runs only after the first paint"};
        }
        for (std::int64_t i = 0; i < count; ++i) {
            RunGameTick(state_);
        }
    }

    void Move(const std::vector<std::string_view>& words) {
        ExpectArguments(words, 2, 2, "an x and a y");
        const auto x = static_cast<std::uint16_t>(ParseNumber(words[1], "x", 0, kMaxCoordinate));
        const auto y = static_cast<std::uint16_t>(ParseNumber(words[2], "y", 0, kMaxCoordinate));
        OnStylusMove(state_, x, y);
    }

    ScriptDisplay& display_;
    std::ostream& out_;
    MatchState state_{};
};

}  // namespace

int RunMatchScript(std::istream& script, ScriptDisplay& display, std::string_view program,
                   std::ostream& out, std::ostream& err) {
    Simulator simulator(display, out);
    std::string line;
    std::int64_t lineNumber = 0;
    while (std::getline(script, line)) {
        ++lineNumber;
        std::string_view text = line;
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        try {
            simulator.Run(text);
        } catch (const Refusal& refusal) {
            out.flush();
            err << program << ": line " << lineNumber << ": " << refusal.reason << '\n';
            return kScriptRefused;
        }
    }
    if (script.bad()) {
        out.flush();
        err << program << ": line " << lineNumber + 1 << ": the script could not be read\n";
        return kScriptRefused;
    }
    out.flush();
    return kScriptOk;
}
