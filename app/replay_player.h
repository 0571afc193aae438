// Plays a recorded match in the program's own window: the recorded messages go to the main
// window procedure at the pace of the game's own timer, while the live pointer, the match
// commands and paints of the window's own cannot change the match. Keys: Space pauses and
// resumes, Right or '.' steps one tick while paused, '+' and '-' set the speed (x1, x2, x4, x8).
// One player for every target.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/replay_reader.h"
#include "platform/window/winuser.h"

class ReplayPlayer {
  public:
    // Told of every change a person should see: "replay x2", "replay paused", "end of replay",
    // or the failure that stopped it; `final` for the last two kinds.
    using Report = std::function<void(const std::string& status, bool final)>;

    ReplayPlayer(Replay replay, Report report);

    // Installs the player in front of the main window procedure, or removes it.
    void Attach();
    void Detach();

    // A message on its way to the main window procedure; true when the player takes it.
    bool Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool failed() const { return state_ == State::kFailed; }
    bool ended() const { return state_ == State::kEnded; }
    // Whether the replay reached a window of its own: a start that finds a game running already
    // brings that one to the front and shows nothing.
    bool shown() const { return shown_; }
    std::int64_t ticks() const { return ticks_; }

  private:
    enum class State { kPlaying, kPaused, kEnded, kFailed };

    void FirstPaint(HWND window);
    // Plays the recorded messages up to and including the next recorded tick, and the checks
    // right after it; false at the end of the recording or a failed check.
    bool PlayTick(HWND window);
    void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HWND window);
    bool Check(const ReplayStep& step);
    void Key(HWND window, WPARAM key);
    void Fail(std::string why);
    void Tell();

    Replay replay_;
    Report report_;
    std::size_t next_ = 0;         // the next step of replay_.steps
    std::int64_t doneInStep_ = 0;  // ticks of a tick or play step already played
    std::int64_t ticks_ = 0;
    int speed_ = 1;
    State state_ = State::kPlaying;
    bool passing_ = false;  // a recorded message on its way to the procedure
    bool shown_ = false;
    std::string failure_;
};
