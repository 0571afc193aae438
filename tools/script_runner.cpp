#include "tools/script_runner.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "app/script_line.h"
#include "game/match.h"
#include "game/match_digest.h"
#include "tools/script_display.h"
#include "tools/state_json.h"

const char* const kScriptLanguageHelp =
    "One command a line; blank lines and lines starting with '#' are ignored.\n"
    "  start W H     first paint of a W x H pitch (1..65535 each): starts the match; once only\n"
    "  tick [N]      N game ticks (1..1000000, default 1); needs 'start' first\n"
    "  play [N]      N game ticks, each followed by a paint, as the window shows them\n"
    "  move X Y      stylus move to client position X, Y (0..65535 each); +N or -N is a\n"
    "                step from the last move's X or Y\n"
    "  new           new game: kick-off, scores to zero, difficulty kept\n"
    "  hard          toggle the difficulty\n"
    "  dump          write the whole match state as one JSON line\n"
    "  frame [FILE]  paint one frame; with FILE (the rest of the line), save it as PNG\n"
    "  check T D     the match has run T ticks and its digest is D (16 hex digits); else stop:\n"
    "                'line N: the match differs from the recording at tick T', status 2\n"
    "A recorded match is such a script (see docs/replay-format.md). A script may be at most\n"
    "16 MiB, a line 4096 bytes, and all its ticks a day of play (1728000).\n";

namespace {

// A refusal of the current line; carries the reason shown to the user.
struct Refusal {
    std::string reason;
};

class Simulator {
  public:
    Simulator(ScriptDisplay& display, std::ostream& out) : display_(display), out_(out) {}

    void Run(std::string_view text) {
        ScriptLine line;
        std::string reason;
        if (!ParseScriptLine(text, &line, &reason) || !CountScriptTicks(line, &ticks_, &reason) ||
            (line.verb == ScriptVerb::kMove && !PlaceMove(&line, &lastMove_, &reason))) {
            throw Refusal{reason};
        }
        switch (line.verb) {
            case ScriptVerb::kBlank:
                return;
            case ScriptVerb::kStart:
                Start(line);
                return;
            case ScriptVerb::kTick:
                Ticks(line.first, "tick", false);
                return;
            case ScriptVerb::kPlay:
                Ticks(line.first, "play", true);
                return;
            case ScriptVerb::kMove:
                OnStylusMove(state_, static_cast<std::uint16_t>(line.first),
                             static_cast<std::uint16_t>(line.second));
                return;
            case ScriptVerb::kNew:
                NewGame(state_);
                return;
            case ScriptVerb::kHard:
                state_.hardMode = state_.hardMode != 0 ? 0 : 1;
                return;
            case ScriptVerb::kDump:
                out_ << MatchStateToJson(state_) << '\n';
                return;
            case ScriptVerb::kFrame:
                Paint("frame", std::string(line.path));
                return;
            case ScriptVerb::kCheck:
                Check(line);
                return;
        }
    }

  private:
    void Start(const ScriptLine& line) {
        if (display_.started()) {
            throw Refusal{"'start' may be given only once"};
        }
        // The first paint: the match starts, then the pitch painter fixes the goal depth that
        // every later kick-off uses.
        std::string error;
        if (!display_.FirstPaint(state_, static_cast<std::int32_t>(line.first),
                                 static_cast<std::int32_t>(line.second), &error)) {
            throw Refusal{error};
        }
    }

    void Paint(std::string_view command, const std::string& path) {
        if (!display_.started()) {
            throw Refusal{"'" + std::string(command) +
                          "' before 'start': there is no window to paint yet"};
        }
        std::string error;
        if (!display_.Paint(state_, path, &error)) {
            throw Refusal{error};
        }
    }

    void Ticks(std::int64_t count, std::string_view command, bool painted) {
        if (state_.initialised == 0) {
            throw Refusal{"'" + std::string(command) +
                          "' before 'start': the game timer runs only after the first paint"};
        }
        for (std::int64_t i = 0; i < count; ++i) {
            RunGameTick(state_);
            if (painted) {
                Paint(command, {});
            }
        }
    }

    void Check(const ScriptLine& line) {
        if (line.first != ticks_) {
            throw Refusal{"'check' names tick " + std::to_string(line.first) +
                          ", but the match is at tick " + std::to_string(ticks_)};
        }
        if (MatchDigest(state_) != line.digest) {
            throw Refusal{"the match differs from the recording at tick " +
                          std::to_string(line.first)};
        }
    }

    ScriptDisplay& display_;
    std::ostream& out_;
    MatchState state_{};
    std::int64_t ticks_ = 0;
    LastMove lastMove_;
};

}  // namespace

int RunMatchScript(std::istream& script, ScriptDisplay& display, std::string_view program,
                   std::ostream& out, std::ostream& err) {
    Simulator simulator(display, out);
    // Read whole first, a byte past the limit at most: the reader refuses the rest.
    std::string text;
    char chunk[1 << 16];
    while (static_cast<std::int64_t>(text.size()) <= kMaxScriptBytes &&
           script.read(chunk, sizeof chunk).gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(script.gcount()));
    }
    ScriptLineReader reader(text);
    std::string line;
    std::string reason;
    const auto refuse = [&](std::int64_t lineNumber, const std::string& why) {
        out.flush();
        err << program << ": line " << lineNumber << ": " << why << '\n';
        return kScriptRefused;
    };
    for (;;) {
        const ScriptLineReader::Result result = reader.Next(&line, &reason);
        if (result == ScriptLineReader::Result::kEnd) {
            break;
        }
        if (result == ScriptLineReader::Result::kRefused) {
            return refuse(reader.lineNumber(), reason);
        }
        try {
            simulator.Run(line);
        } catch (const Refusal& refusal) {
            return refuse(reader.lineNumber(), refusal.reason);
        }
    }
    out.flush();
    return kScriptOk;
}
