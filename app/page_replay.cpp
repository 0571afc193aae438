#include "app/page_replay.h"

#include <emscripten.h>

#include <optional>
#include <string>
#include <string_view>

#include "app/match_recorder.h"
#include "app/program_state.h"
#include "app/replay_player.h"
#include "app/replay_reader.h"
#include "app/screen_size.h"

// The page's side, in web/tarvel-replay.js.
// clang-format off
EM_ASYNC_JS(int, tarvel_replay_start, (), {
    return await TarvelReplay.start();
});
EM_JS(void, tarvel_replay_take, (char* buffer, int capacity), {
    stringToUTF8(TarvelReplay.played, buffer, capacity);
});
EM_JS(void, tarvel_replay_refuse, (const char* reason), {
    TarvelReplay.refuse(UTF8ToString(reason));
});
EM_JS(int, tarvel_replay_recording, (), { return TarvelReplay.recording ? 1 : 0; });
EM_JS(void, tarvel_replay_append, (const char* text, int length), {
    TarvelReplay.append(UTF8ToString(text, length));
});
EM_JS(void, tarvel_replay_report, (const char* status, int ended, int failed), {
    TarvelReplay.report(UTF8ToString(status), ended !== 0, failed !== 0);
});
// clang-format on

namespace {

// What tarvel_replay_start answers instead of a length: no replay asked for, or one refused.
constexpr int kNoReplay = -1;

// The recording goes to the page a check at a time.
class PageSink final : public ReplaySink {
  public:
    void Write(std::string_view text) override {
        tarvel_replay_append(text.data(), static_cast<int>(text.size()));
    }
};

// The replay the page was handed, read whole and checked as tarvel-sim would; nothing, with the
// reason, when it cannot be played here.
std::optional<Replay> ReadPageReplay(const std::string& text, std::string* why) {
    ReplayReading reading = ReadReplay(text);
    if (!reading.ok) {
        *why = "line " + std::to_string(reading.line) + ": " + reading.reason;
        return std::nullopt;
    }
    const Replay& replay = reading.replay;
    const std::string size =
        std::to_string(replay.screenWidth) + "x" + std::to_string(replay.screenHeight);
    std::string error;
    if (!ParseScreenSize(size, &error)) {
        *why = "line " + std::to_string(replay.screenLine) + ": the screen " + size +
               " cannot be shown: " + error;
        return std::nullopt;
    }
    return std::move(reading.replay);
}

}  // namespace

struct PageReplay::Parts {
    PageSink sink;
    std::optional<MatchRecorder> recorder;
    std::optional<Replay> replay;
    std::optional<ReplayPlayer> player;
};

PageReplay::PageReplay() : parts_(std::make_unique<Parts>()) {}

PageReplay::~PageReplay() = default;

bool PageReplay::Prepare(platform::ScreenSize* screen) {
    const int length = tarvel_replay_start();
    if (length == kNoReplay) {
        return true;
    }
    if (length < 0) {
        return false;
    }
    // Room for the terminating NUL that stringToUTF8 writes.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    tarvel_replay_take(text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    std::string why;
    parts_->replay = ReadPageReplay(text, &why);
    if (!parts_->replay) {
        tarvel_replay_refuse(why.c_str());
        return false;
    }
    *screen = {static_cast<int>(parts_->replay->screenWidth),
               static_cast<int>(parts_->replay->screenHeight)};
    return true;
}

void PageReplay::Attach() {
    if (parts_->replay) {
        parts_->player.emplace(
            std::move(*parts_->replay), [this](const std::string& status, bool final) {
                const bool failed = parts_->player->failed();
                tarvel_replay_report(status.c_str(), final ? 1 : 0, failed ? 1 : 0);
            });
        parts_->replay.reset();
        parts_->player->Attach();
        return;
    }
    if (tarvel_replay_recording() != 0) {
        parts_->recorder.emplace(parts_->sink, Program().match, "tarvel " TARVEL_VERSION, "web");
        parts_->recorder->Attach();
    }
}

void PageReplay::Finish() {
    if (parts_->recorder) {
        parts_->recorder->Finish();
        parts_->recorder->Detach();
    }
    if (parts_->player) {
        parts_->player->Detach();
    }
}
