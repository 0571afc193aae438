#include "app/replay_player.h"

#include <utility>

#include "app/main_window.h"
#include "app/program_state.h"
#include "game/match_digest.h"
#include "resources/resource_ids.h"

namespace {

bool HandleHook(void* player, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return static_cast<ReplayPlayer*>(player)->Handle(window, message, wParam, lParam);
}

constexpr int kMaxSpeed = 8;

}  // namespace

ReplayPlayer::ReplayPlayer(Replay replay, Report report)
    : replay_(std::move(replay)), report_(std::move(report)) {
    // The live first paint paints the recorded first frame.
    if (!replay_.steps.empty() && replay_.steps.front().verb == ScriptVerb::kFrame) {
        next_ = 1;
    }
}

void ReplayPlayer::Attach() {
    Program().messageHook = HandleHook;
    Program().messageHookContext = this;
}

void ReplayPlayer::Detach() {
    Program().messageHook = nullptr;
    Program().messageHookContext = nullptr;
}

bool ReplayPlayer::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (passing_) {
        return false;
    }
    switch (message) {
        case WM_PAINT:
            if (Program().match.initialised == 0) {
                FirstPaint(window);
                return false;
            }
            {
                // The window's own paint shows the match and leaves it as it was.
                const MatchState shown = Program().match;
                Send(window, WM_PAINT, wParam, lParam);
                Program().match = shown;
            }
            return true;
        case WM_TIMER:
            for (int i = 0; i < speed_ && state_ == State::kPlaying; ++i) {
                PlayTick(window);
            }
            return true;
        case WM_MOUSEMOVE:
            return true;
        case WM_COMMAND:
            return LOWORD(wParam) == IDM_NEW || LOWORD(wParam) == IDM_HARD;
        case WM_KEYDOWN:
            Key(window, wParam);
            return false;
        default:
            return false;
    }
}

void ReplayPlayer::FirstPaint(HWND window) {
    shown_ = true;
    RECT client;
    GetClientRect(window, &client);
    if (client.right != replay_.startWidth || client.bottom != replay_.startHeight) {
        Fail("the window's pitch is " + std::to_string(client.right) + " x " +
             std::to_string(client.bottom) + ", not the recorded " +
             std::to_string(replay_.startWidth) + " x " + std::to_string(replay_.startHeight));
        return;
    }
    Tell();
}

bool ReplayPlayer::PlayTick(HWND window) {
    bool ticked = false;
    while (next_ < replay_.steps.size()) {
        const ReplayStep& step = replay_.steps[next_];
        if (ticked && step.verb != ScriptVerb::kCheck) {
            return true;
        }
        switch (step.verb) {
            case ScriptVerb::kTick:
            case ScriptVerb::kPlay:
                Send(window, WM_TIMER, GAME_TIMER_ID, 0);
                if (step.verb == ScriptVerb::kPlay) {
                    Paint(window);
                }
                ++ticks_;
                ticked = true;
                if (++doneInStep_ < step.first) {
                    return true;
                }
                doneInStep_ = 0;
                break;
            case ScriptVerb::kMove:
                Send(window, WM_MOUSEMOVE, 0,
                     MAKELPARAM(static_cast<WORD>(step.first), static_cast<WORD>(step.second)));
                break;
            case ScriptVerb::kNew:
                Send(window, WM_COMMAND, IDM_NEW, 0);
                break;
            case ScriptVerb::kHard:
                Send(window, WM_COMMAND, IDM_HARD, 0);
                break;
            case ScriptVerb::kFrame:
                Paint(window);
                break;
            case ScriptVerb::kCheck:
                if (!Check(step)) {
                    return false;
                }
                break;
            default:
                break;
        }
        ++next_;
    }
    state_ = State::kEnded;
    // The last frame stays, painted afresh whenever the window needs it.
    InvalidateRect(window, nullptr, FALSE);
    Tell();
    return false;
}

void ReplayPlayer::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    passing_ = true;
    MainWindowProc(window, message, wParam, lParam);
    passing_ = false;
}

// A recorded paint, shown as it is made.
void ReplayPlayer::Paint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
    Send(window, WM_PAINT, 0, 0);
}

bool ReplayPlayer::Check(const ReplayStep& step) {
    if (MatchDigest(Program().match) == step.digest) {
        return true;
    }
    Fail("the match differs from the recording at tick " + std::to_string(step.first) + " (line " +
         std::to_string(step.line) + ")");
    return false;
}

void ReplayPlayer::Key(HWND window, WPARAM key) {
    if (state_ != State::kPlaying && state_ != State::kPaused) {
        return;
    }
    switch (key) {
        case VK_SPACE:
            state_ = state_ == State::kPaused ? State::kPlaying : State::kPaused;
            break;
        case VK_RIGHT:
        case VK_OEM_PERIOD:
        case VK_DECIMAL:
            if (state_ == State::kPaused && !PlayTick(window)) {
                return;
            }
            break;
        case VK_OEM_PLUS:
        case VK_ADD:
            speed_ = speed_ < kMaxSpeed ? speed_ * 2 : kMaxSpeed;
            break;
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            speed_ = speed_ > 1 ? speed_ / 2 : 1;
            break;
        default:
            return;
    }
    Tell();
}

void ReplayPlayer::Fail(std::string why) {
    state_ = State::kFailed;
    failure_ = std::move(why);
    Tell();
}

void ReplayPlayer::Tell() {
    switch (state_) {
        case State::kPlaying:
            report_("replay x" + std::to_string(speed_) + ", tick " + std::to_string(ticks_),
                    false);
            return;
        case State::kPaused:
            report_("replay paused at tick " + std::to_string(ticks_), false);
            return;
        case State::kEnded:
            report_("end of replay (tick " + std::to_string(ticks_) + ")", true);
            return;
        case State::kFailed:
            report_(failure_, true);
            return;
    }
}
