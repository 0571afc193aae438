#include "app/script_line.h"

#include <charconv>

namespace {

bool Fail(std::string* reason, std::string text) {
    *reason = std::move(text);
    return false;
}

bool ParseNumber(std::string_view word, std::string_view what, std::int64_t low, std::int64_t high,
                 std::int64_t* value, std::string* reason) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
    const std::string range = std::to_string(low) + ".." + std::to_string(high);
    if (error == std::errc::result_out_of_range) {
        return Fail(reason, std::string(what) + " " + Quote(word) + " is out of range " + range);
    }
    if (error != std::errc() || end != word.data() + word.size()) {
        return Fail(reason, std::string(what) + " must be a whole number, not " + Quote(word));
    }
    if (*value < low || *value > high) {
        return Fail(reason, std::string(what) + " " + Quote(word) + " is out of range " + range);
    }
    return true;
}

bool ExpectArguments(const std::vector<std::string_view>& words, std::size_t least,
                     std::size_t most, std::string_view usage, std::string* reason) {
    const std::size_t given = words.size() - 1;
    if (given >= least && given <= most) {
        return true;
    }
    // Appended piece by piece: a chain of + here sets off a false -Wrestrict in mingw's GCC 12.
    std::string text = "'";
    text.append(words[0]).append("' takes ").append(usage).append(", got ");
    text.append(std::to_string(given)).append(given == 1 ? " argument" : " arguments");
    return Fail(reason, std::move(text));
}

// A position, or with a sign a step from the last one: "120", "+3", "-12".
bool ParseCoordinate(std::string_view word, std::string_view what, std::int64_t* value,
                     bool* relative, std::string* reason) {
    *relative = !word.empty() && (word.front() == '+' || word.front() == '-');
    if (!*relative) {
        return ParseNumber(word, what, 0, kMaxCoordinate, value, reason);
    }
    const std::string_view size = word.substr(1);
    if (size.empty() || size.front() == '+' || size.front() == '-') {
        return Fail(reason, std::string(what) + " must be a whole number, not " + Quote(word));
    }
    if (!ParseNumber(size, what, 0, kMaxCoordinate, value, reason)) {
        *reason = std::string(what) + " step " + Quote(word) + " must be a whole number of -" +
                  std::to_string(kMaxCoordinate) + "..+" + std::to_string(kMaxCoordinate);
        return false;
    }
    *value = word.front() == '-' ? -*value : *value;
    return true;
}

bool ParseDigest(std::string_view word, std::uint64_t* digest, std::string* reason) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *digest, 16);
    if (word.size() != 16 || error != std::errc() || end != word.data() + word.size()) {
        return Fail(reason, "a digest is 16 hexadecimal digits, not " + Quote(word));
    }
    return true;
}

std::string_view RestOfLine(std::string_view line, std::string_view command) {
    std::string_view rest =
        line.substr(static_cast<std::size_t>(command.data() - line.data()) + command.size());
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) {
        rest.remove_prefix(1);
    }
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) {
        rest.remove_suffix(1);
    }
    return rest;
}

// The first line of a recording: "# tarvel-replay VERSION ...".
bool CheckReplayHeader(std::string_view line, bool* isReplay, std::string* reason) {
    const std::vector<std::string_view> words = SplitScriptWords(line);
    if (words.size() < 2 || words[0] != "#" || words[1] != kReplayFormat) {
        return true;
    }
    *isReplay = true;
    std::int64_t version = 0;
    if (words.size() < 3 ||
        !ParseNumber(words[2], "the format version", 1, 1000000, &version, reason)) {
        return Fail(reason, "a recording's first line names its format version: '# " +
                                std::string(kReplayFormat) + " VERSION ...'");
    }
    if (version > kReplayVersion) {
        return Fail(reason, "this recording is of format version " + std::to_string(version) +
                                ", newer than the " + std::to_string(kReplayVersion) +
                                " this program reads");
    }
    return true;
}

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

std::string DigestText(std::uint64_t digest) {
    char text[17];
    const auto end = std::to_chars(text, text + 16, digest, 16).ptr;
    const auto digits = static_cast<std::size_t>(end - text);
    return std::string(16 - digits, '0') + std::string(text, digits);
}

bool ParseScriptLine(std::string_view line, ScriptLine* parsed, std::string* reason) {
    *parsed = ScriptLine{};
    const std::vector<std::string_view> words = SplitScriptWords(line);
    if (words.empty() || words[0].front() == '#') {
        return true;
    }
    const std::string_view command = words[0];
    ScriptLine& out = *parsed;
    if (command == "start") {
        out.verb = ScriptVerb::kStart;
        return ExpectArguments(words, 2, 2, "a width and a height", reason) &&
               ParseNumber(words[1], "width", 1, kMaxCoordinate, &out.first, reason) &&
               ParseNumber(words[2], "height", 1, kMaxCoordinate, &out.second, reason);
    }
    if (command == "tick" || command == "play") {
        out.verb = command == "tick" ? ScriptVerb::kTick : ScriptVerb::kPlay;
        out.first = 1;
        return ExpectArguments(words, 0, 1, "an optional number of ticks", reason) &&
               (words.size() == 1 ||
                ParseNumber(words[1], "tick count", 1, kMaxTicksPerLine, &out.first, reason));
    }
    if (command == "move") {
        out.verb = ScriptVerb::kMove;
        return ExpectArguments(words, 2, 2, "an x and a y", reason) &&
               ParseCoordinate(words[1], "x", &out.first, &out.relativeX, reason) &&
               ParseCoordinate(words[2], "y", &out.second, &out.relativeY, reason);
    }
    if (command == "check") {
        out.verb = ScriptVerb::kCheck;
        return ExpectArguments(words, 2, 2, "a tick count and a digest", reason) &&
               ParseNumber(words[1], "tick count", 0, kMaxScriptTicks, &out.first, reason) &&
               ParseDigest(words[2], &out.digest, reason);
    }
    if (command == "frame") {
        out.verb = ScriptVerb::kFrame;
        out.path = RestOfLine(line, command);
        return true;
    }
    const struct {
        std::string_view name;
        ScriptVerb verb;
    } bare[] = {
        {"new", ScriptVerb::kNew}, {"hard", ScriptVerb::kHard}, {"dump", ScriptVerb::kDump}};
    for (const auto& word : bare) {
        if (command == word.name) {
            out.verb = word.verb;
            return ExpectArguments(words, 0, 0, "no arguments", reason);
        }
    }
    return Fail(reason, "unknown command " + Quote(command));
}

ScriptLineReader::Result ScriptLineReader::Next(std::string* line, std::string* reason) {
    line->clear();
    if (next_ >= text_.size()) {
        return Result::kEnd;
    }
    ++lineNumber_;
    const std::size_t end = text_.find('\n', next_);
    lastLineEnded_ = end != std::string_view::npos;
    const std::size_t contentEnd = lastLineEnded_ ? end : text_.size();
    const std::size_t stop = lastLineEnded_ ? end + 1 : text_.size();
    // Where each limit is passed, if this line gets there: the first passed is refused, the
    // script's when both are passed at the same byte.
    const auto scriptLimit = static_cast<std::size_t>(kMaxScriptBytes);
    const std::size_t lineLimit = next_ + static_cast<std::size_t>(kMaxLineBytes);
    const bool overScript = stop > scriptLimit;
    const bool overLine = contentEnd > lineLimit;
    if (overScript && (!overLine || scriptLimit <= lineLimit)) {
        *reason = "the script is longer than " + std::to_string(kMaxScriptBytes) + " bytes";
        return Result::kRefused;
    }
    if (overLine) {
        *reason = "the line is longer than " + std::to_string(kMaxLineBytes) + " bytes";
        return Result::kRefused;
    }
    line->assign(text_.substr(next_, contentEnd - next_));
    next_ = stop;
    if (!line->empty() && line->back() == '\r') {
        line->pop_back();
    }
    if (lineNumber_ == 1 && !CheckReplayHeader(*line, &isReplay_, reason)) {
        return Result::kRefused;
    }
    // A recorder ends every line; a recording whose last line has no end was cut short.
    if (isReplay_ && !lastLineEnded_) {
        *reason = "the recording is cut short in this line";
        return Result::kRefused;
    }
    return Result::kLine;
}

bool CountScriptTicks(const ScriptLine& line, std::int64_t* ticks, std::string* reason) {
    if (line.verb != ScriptVerb::kTick && line.verb != ScriptVerb::kPlay) {
        return true;
    }
    if (*ticks + line.first > kMaxScriptTicks) {
        return Fail(reason, "the script runs more than " + std::to_string(kMaxScriptTicks) +
                                " ticks in all (a day of play)");
    }
    *ticks += line.first;
    return true;
}

bool PlaceMove(ScriptLine* line, LastMove* last, std::string* reason) {
    if ((line->relativeX || line->relativeY) && last->x < 0) {
        return Fail(reason, "a move by steps needs a move before it");
    }
    const std::int64_t x = line->relativeX ? last->x + line->first : line->first;
    const std::int64_t y = line->relativeY ? last->y + line->second : line->second;
    if (x < 0 || x > kMaxCoordinate || y < 0 || y > kMaxCoordinate) {
        return Fail(reason, "the move goes to " + std::to_string(x) + ", " + std::to_string(y) +
                                ", off 0..65535");
    }
    line->first = x;
    line->second = y;
    line->relativeX = false;
    line->relativeY = false;
    *last = {x, y};
    return true;
}
