// Records a match as it is played: every message that changes the match, in the order the main
// window procedure handles it, written as a match script (docs/replay-format.md) that tarvel-sim
// and the program's replay play back bit for bit. One recorder for every target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/match_state.h"
#include "platform/window/winuser.h"

// Where a recording goes, a piece at a time. Every piece ends after a check, so what a sink has
// taken is a valid recording up to its last check: the place to flush.
class ReplaySink {
  public:
    ReplaySink() = default;
    ReplaySink(const ReplaySink&) = delete;
    ReplaySink& operator=(const ReplaySink&) = delete;
    virtual ~ReplaySink() = default;
    virtual void Write(std::string_view text) = 0;
};

// Ticks between two checks: one a second.
inline constexpr std::int64_t kTicksPerCheck = 20;

class MatchRecorder {
  public:
    // `program` names the program and its version ("tarvel 1.2"), `target` where it runs
    // ("linux", "windows", "web"). Nothing reaches the sink before the first message: a program
    // that finds another copy running and leaves at once records nothing.
    MatchRecorder(ReplaySink& sink, const MatchState& match, std::string_view program,
                  std::string_view target);

    // Installs the recorder in front of the main window procedure, or removes it.
    void Attach();
    void Detach();

    // Sees a message before the main window procedure handles it.
    void Observe(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The end of the match: what is still open and a last check go to the sink, if the window
    // procedure saw a message.
    void Finish();

  private:
    enum class CheckDue { kNo, kAfterPaint, kNow };

    void Paint();
    void Move(int x, int y);
    void Line(std::string_view text);
    void Runs();
    void CheckIfDue();
    void Check();

    ReplaySink& sink_;
    const MatchState& match_;
    std::string text_;  // what is not yet with the sink: at most a second of play
    std::int64_t ticks_ = 0;
    std::int64_t plays_ = 0;      // ticks each followed by a paint, not yet written
    std::int64_t bareTicks_ = 0;  // ticks after those, not yet painted
    CheckDue checkDue_ = CheckDue::kNo;
    bool checked_ = false;  // nothing happened since the last check
    bool observed_ = false;
    int lastMoveX_ = -1;  // none yet
    int lastMoveY_ = -1;
};
