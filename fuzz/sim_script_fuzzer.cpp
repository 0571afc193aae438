// Fuzzes the simulator's script reader with any bytes as the script. A script either runs (status
// 0, nothing on the error stream, whole lines of output) or is refused with exactly one
// "tarvel-sim: line N: reason" line naming a line the script has. Either way it gives back every
// drawing object it made. Crashes, hangs and bad memory accesses are libFuzzer's and the
// sanitizers' to catch.
//
// Some scripts are legitimately slow or touch the disk, so they are skipped before running:
// ticks adding up to more than kMaxTicks, a start larger than kMaxSide a side (start 65535 65535
// rightly paints three huge surfaces), more than kMaxFrames frames (a play paints one a tick),
// and a frame with a file name (it would write a PNG anywhere). Recordings are scripts too: their
// header line, checks and plays are in the corpus, and every input also goes through the
// program's replay reader, which only reads.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/replay_reader.h"
#include "app/script_line.h"
#include "platform/gdi/gdi_debug.h"
#include "tools/script_runner.h"

namespace {

constexpr std::int64_t kMaxTicks = 20000;
constexpr std::int64_t kMaxSide = 512;
constexpr int kMaxFrames = 64;

// The number a word reads as, when it reads as one at all; the reader refuses the rest.
bool Number(std::string_view word, std::int64_t* value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
    return error == std::errc() && end == word.data() + word.size();
}

bool WithinBudget(std::string_view script) {
    std::int64_t ticks = 0;
    int frames = 0;
    std::size_t pos = 0;
    while (pos <= script.size()) {
        const std::size_t end = std::min(script.find('\n', pos), script.size());
        std::string_view line = script.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);  // as the reader does
        }
        const std::vector<std::string_view> words = SplitScriptWords(line);
        if (words.empty()) {
            continue;
        }
        std::int64_t value = 0;
        if (words[0] == "tick" || words[0] == "play") {
            const std::int64_t count =
                words.size() > 1 && Number(words[1], &value) ? std::max<std::int64_t>(value, 0) : 1;
            ticks += count;
            // Each tick of a play is painted.
            frames += words[0] == "play"
                          ? static_cast<int>(std::min<std::int64_t>(count, kMaxFrames + 1))
                          : 0;
        } else if (words[0] == "start" && words.size() > 2) {
            std::int64_t height = 0;
            if ((Number(words[1], &value) && value > kMaxSide) ||
                (Number(words[2], &height) && height > kMaxSide)) {
                return false;
            }
        } else if (words[0] == "frame") {
            ++frames;
            if (words.size() > 1) {
                return false;
            }
        }
        if (ticks > kMaxTicks || frames > kMaxFrames) {
            return false;
        }
    }
    return true;
}

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "sim script: %s\n%s\n", what, detail.c_str());
    std::abort();
}

std::size_t LinesIn(std::string_view script) {
    return static_cast<std::size_t>(std::count(script.begin(), script.end(), '\n')) + 1;
}

// "tarvel-sim: line N: reason\n" with 1 <= N <= lines, and nothing else.
void CheckRefusal(const std::string& err, std::size_t lines) {
    constexpr std::string_view kPrefix = "tarvel-sim: line ";
    if (err.rfind(kPrefix, 0) != 0 || err.back() != '\n' ||
        std::count(err.begin(), err.end(), '\n') != 1) {
        Fail("a refusal must be one 'tarvel-sim: line N: reason' line", err);
    }
    std::size_t line = 0;
    const char* number = err.data() + kPrefix.size();
    const auto [end, error] = std::from_chars(number, err.data() + err.size(), line);
    if (error != std::errc() || line < 1 || line > lines || std::string_view(end, 2) != ": ") {
        Fail("a refusal must name a line of the script", err);
    }
}

}  // namespace

// The program's replay reader takes the same bytes: a recording whose lines it all accepts, or a
// refusal naming one of its lines; never more ticks than its bound.
void CheckReplayReader(const std::string& script) {
    const ReplayReading reading = ReadReplay(script);
    if (reading.ok) {
        if (reading.replay.ticks > kMaxScriptTicks || reading.replay.screenLine < 1) {
            Fail("an accepted recording must have a screen and bounded ticks", script);
        }
        return;
    }
    if (reading.line < 1 || static_cast<std::size_t>(reading.line) > LinesIn(script) ||
        reading.reason.empty()) {
        Fail("a refused recording must name a line it has, and why", script);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string script(reinterpret_cast<const char*>(data), size);
    CheckReplayReader(script);
    if (!WithinBudget(script)) {
        return -1;  // not added to the corpus
    }
    const platform::GdiObjectCounts objectsBefore = platform::LiveGdiObjects();
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunSimulatorScript(in, out, err);
    if (platform::LiveGdiObjects() != objectsBefore) {
        Fail("the run left drawing objects behind", script);
    }

    const std::string written = out.str();
    if (!written.empty() && written.back() != '\n') {
        Fail("the output must be whole lines", written);
    }
    if (status == kScriptOk) {
        if (!err.str().empty()) {
            Fail("a script that runs must not write errors", err.str());
        }
    } else if (status == kScriptRefused) {
        CheckRefusal(err.str(), LinesIn(script));
    } else {
        Fail("the status must be 0 or 2", std::to_string(status));
    }
    return 0;
}
