#include "app/match_recorder.h"

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/script_line.h"
#include "game/match_digest.h"
#include "resources/resource_ids.h"

namespace {

bool ObserveHook(void* recorder, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static_cast<MatchRecorder*>(recorder)->Observe(window, message, wParam, lParam);
    return false;
}

std::string Count(std::string_view command, std::int64_t count) {
    return count == 1 ? std::string(command) : std::string(command) + " " + std::to_string(count);
}

}  // namespace

MatchRecorder::MatchRecorder(ReplaySink& sink, const MatchState& match, std::string_view program,
                             std::string_view target)
    : sink_(sink),
      match_(match),
      text_("# " + std::string(kReplayFormat) + " " + std::to_string(kReplayVersion) + " " +
            std::string(program) + " " + std::string(target) + "\n") {}

void MatchRecorder::Attach() {
    Program().messageHook = ObserveHook;
    Program().messageHookContext = this;
}

void MatchRecorder::Detach() {
    Program().messageHook = nullptr;
    Program().messageHookContext = nullptr;
}

void MatchRecorder::Observe(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    observed_ = true;
    switch (message) {
        case WM_TIMER:
            CheckIfDue();
            ++bareTicks_;
            ++ticks_;
            checked_ = false;
            if (ticks_ % kTicksPerCheck == 0) {
                checkDue_ = CheckDue::kAfterPaint;
            }
            return;
        case WM_PAINT:
            if (match_.initialised == 0) {
                // The first paint starts the match on the client area as it is now, then paints.
                RECT client;
                GetClientRect(window, &client);
                Line("# screen " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
                     std::to_string(GetSystemMetrics(SM_CYSCREEN)));
                Line("start " + std::to_string(client.right) + " " + std::to_string(client.bottom));
            }
            Paint();
            return;
        case WM_MOUSEMOVE: {
            const auto position = static_cast<std::uintptr_t>(lParam);
            CheckIfDue();
            Move(LOWORD(position), HIWORD(position));
            return;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDM_NEW || LOWORD(wParam) == IDM_HARD) {
                CheckIfDue();
                Line(LOWORD(wParam) == IDM_NEW ? "new" : "hard");
            }
            return;
        default:
            return;
    }
}

void MatchRecorder::Finish() {
    if (!checked_ && observed_) {
        Check();
    }
}

// A paint right after a tick joins the run of painted ticks; a check due after that tick waits
// for it, so that the runs stay long.
void MatchRecorder::Paint() {
    checked_ = false;
    if (checkDue_ == CheckDue::kAfterPaint && bareTicks_ == 1) {
        ++plays_;
        bareTicks_ = 0;
        checkDue_ = CheckDue::kNow;
        return;
    }
    CheckIfDue();
    if (bareTicks_ == 0) {
        Line("frame");
        return;
    }
    if (bareTicks_ > 1) {
        // All but the last tick went unpainted.
        --bareTicks_;
        Runs();
    }
    ++plays_;
    bareTicks_ = 0;
}

// A move after the first is written as a step from the last: small numbers that repeat, which
// is most of what a recording holds and what compresses best.
void MatchRecorder::Move(int x, int y) {
    const auto step = [](int by) {
        std::string text(1, by < 0 ? '-' : '+');
        text += std::to_string(by < 0 ? -by : by);
        return text;
    };
    Line(lastMoveX_ < 0 ? "move " + std::to_string(x) + " " + std::to_string(y)
                        : "move " + step(x - lastMoveX_) + " " + step(y - lastMoveY_));
    lastMoveX_ = x;
    lastMoveY_ = y;
}

void MatchRecorder::Line(std::string_view text) {
    Runs();
    text_ += text;
    text_ += '\n';
    checked_ = false;
}

void MatchRecorder::Runs() {
    if (plays_ > 0) {
        text_ += Count("play", plays_) + "\n";
        plays_ = 0;
    }
    if (bareTicks_ > 0) {
        text_ += Count("tick", bareTicks_) + "\n";
        bareTicks_ = 0;
    }
}

void MatchRecorder::CheckIfDue() {
    if (checkDue_ != CheckDue::kNo) {
        Check();
    }
}

void MatchRecorder::Check() {
    Runs();
    text_ += "check " + std::to_string(ticks_) + " " + DigestText(MatchDigest(match_)) + "\n";
    checkDue_ = CheckDue::kNo;
    checked_ = true;
    sink_.Write(text_);
    text_.clear();
}
