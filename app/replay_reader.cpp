#include "app/replay_reader.h"

#include <algorithm>

namespace {

class Reader {
  public:
    explicit Reader(std::string_view text) : lines_(text) {}

    ReplayReading Read() {
        std::string text;
        std::string reason;
        for (;;) {
            const ScriptLineReader::Result result = lines_.Next(&text, &reason);
            if (result == ScriptLineReader::Result::kEnd) {
                break;
            }
            if (result == ScriptLineReader::Result::kRefused || !Take(text, &reason)) {
                return Refused(reason);
            }
        }
        if (lines_.lineNumber() == 0) {
            return Refused("the file is empty, not a recording");
        }
        if (!started_) {
            return Refused("the recording ends before its 'start'");
        }
        reading_.ok = true;
        return std::move(reading_);
    }

  private:
    bool Take(std::string_view text, std::string* reason) {
        if (lines_.lineNumber() == 1 && !lines_.isReplay()) {
            *reason = "not a recording: its first line is not '# " + std::string(kReplayFormat) +
                      " VERSION ...'";
            return false;
        }
        Replay& replay = reading_.replay;
        const std::vector<std::string_view> words = SplitScriptWords(text);
        if (words.size() >= 2 && words[0] == "#" && words[1] == "screen") {
            return Screen(words, reason);
        }
        ScriptLine line;
        if (!ParseScriptLine(text, &line, reason) ||
            !CountScriptTicks(line, &replay.ticks, reason) ||
            (line.verb == ScriptVerb::kMove && !PlaceMove(&line, &lastMove_, reason))) {
            return false;
        }
        const ReplayStep step{line.verb, line.first, line.second, line.digest, lines_.lineNumber()};
        switch (line.verb) {
            case ScriptVerb::kBlank:
                return true;
            case ScriptVerb::kStart:
                if (started_) {
                    *reason = "'start' may be given only once";
                    return false;
                }
                if (replay.screenLine == 0) {
                    *reason =
                        "the recording does not say its screen ('# screen W H') before "
                        "'start'";
                    return false;
                }
                started_ = true;
                replay.startWidth = line.first;
                replay.startHeight = line.second;
                return true;
            case ScriptVerb::kMove:
            case ScriptVerb::kNew:
            case ScriptVerb::kHard:
                if (started_) {
                    replay.steps.push_back(step);
                }
                return true;
            case ScriptVerb::kDump:
                *reason = "'dump' has no place in a recording";
                return false;
            case ScriptVerb::kFrame:
                if (!line.path.empty()) {
                    *reason = "a recording's 'frame' saves no file";
                    return false;
                }
                break;
            case ScriptVerb::kCheck:
                if (line.first != replay.ticks) {
                    *reason = "'check' names tick " + std::to_string(line.first) +
                              ", but the recording is at tick " + std::to_string(replay.ticks);
                    return false;
                }
                break;
            case ScriptVerb::kTick:
            case ScriptVerb::kPlay:
                break;
        }
        if (!started_) {
            *reason = Quote(words[0]) + " before 'start'";
            return false;
        }
        replay.steps.push_back(step);
        return true;
    }

    bool Screen(const std::vector<std::string_view>& words, std::string* reason) {
        Replay& replay = reading_.replay;
        ScriptLine size;
        // The same words as a start line: a width and a height.
        std::string asStart = "start";
        for (std::size_t i = 2; i < words.size(); ++i) {
            asStart.append(" ").append(words[i]);
        }
        if (!ParseScriptLine(asStart, &size, reason)) {
            *reason = "the screen line is '# screen W H': " + *reason;
            return false;
        }
        replay.screenWidth = size.first;
        replay.screenHeight = size.second;
        replay.screenLine = lines_.lineNumber();
        return true;
    }

    ReplayReading Refused(std::string reason) {
        ReplayReading refused;
        refused.line = std::max<std::int64_t>(lines_.lineNumber(), 1);
        refused.reason = std::move(reason);
        return refused;
    }

    ScriptLineReader lines_;
    ReplayReading reading_;
    bool started_ = false;
    LastMove lastMove_;
};

}  // namespace

ReplayReading ReadReplay(std::string_view text) {
    return Reader(text).Read();
}
