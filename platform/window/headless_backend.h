// A back end without a display, for tests: the screen is an image in memory, input is pushed in
// by the test, and the clock only moves when the test or a wait moves it.
//
// When the message loop has nothing to do it waits; here the wait moves the clock straight to its
// deadline (the next timer) or to the next scheduled action, whichever comes first, and counts
// itself. So a test can run the loop "until time T" by scheduling an action at T that posts a
// quit or a close, or pump it step by step with PeekMessageW and Advance().
#pragma once

#include <cairo.h>

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/backend.h"
#include "platform/window/window_types.h"

namespace platform {

// Thrown when the loop waits with no deadline, no pending input and nothing scheduled: in a test
// that is a loop that would sleep forever.
class HeadlessStall : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class HeadlessBackend final : public Backend {
  public:
    explicit HeadlessBackend(ScreenSize screen = {240, 320}, Millis start = 0);

    // The clock. Moving it back is refused (the clock stays where it is).
    void AdvanceTo(Millis time);
    void Advance(Millis duration) { AdvanceTo(now_ + duration); }

    // Input, delivered at the next poll or wait.
    void Push(InputEvent event) { input_.push_back(event); }
    void PointerDown(int x, int y) { Push({InputKind::PointerDown, x, y, 0}); }
    void PointerMove(int x, int y) { Push({InputKind::PointerMove, x, y, 0}); }
    void PointerUp(int x, int y) { Push({InputKind::PointerUp, x, y, 0}); }
    void Tap(int x, int y);
    void KeyDown(UINT key) { Push({InputKind::KeyDown, 0, 0, key}); }
    void KeyUp(UINT key) { Push({InputKind::KeyUp, 0, 0, key}); }
    void PressKey(UINT key);
    // Holds Control while pressing `key`.
    void PressControlKey(UINT key);
    void RequestClose() { Push({InputKind::CloseRequest, 0, 0, 0}); }

    // Runs `action` once the clock reaches `time`, from inside a poll or wait of the message loop,
    // between two messages. Actions at the same time run in the order they were scheduled.
    void At(Millis time, std::function<void()> action);

    // A wait that would take the clock past `limit` throws HeadlessStall instead: a guard for a
    // test whose loop would otherwise run on for ever on its timers.
    void SetTimeLimit(Millis limit) { limit_ = limit; }

    // What the loop did: looks for input (waits and polls), waits that could sleep, and screens
    // presented.
    int InputLooks() const { return inputLooks_; }
    int BlockingWaits() const { return blockingWaits_; }
    int Presents() const { return presents_; }
    // The last presented screen, or null before the first.
    cairo_surface_t* PresentedScreen() const { return presents_ > 0 ? presented_.get() : nullptr; }
    // Times the screen was asked to come in front of other windows, and to show at all.
    int Raises() const { return raises_; }
    int ScreenShows() const { return screenShows_; }

    ScreenSize Screen() const override { return screen_; }
    Millis Now() override { return now_; }
    std::vector<InputEvent> WaitForInput(std::optional<Millis> deadline) override;
    // The image PresentedScreen() shows.
    cairo_surface_t* ScreenBuffer() override;
    // Notes what changed, for tests of the window manager's composing.
    void Present(const ScreenDamage& changed) override;
    // The bands the last Present was told of.
    const std::vector<RECT>& LastChanged() const { return lastChanged_; }
    void ShowScreen() override { ++screenShows_; }
    void Raise() override { ++raises_; }

  private:
    void RunDueActions();
    std::vector<InputEvent> TakeInput();

    ScreenSize screen_;
    Millis now_;
    std::deque<InputEvent> input_;
    std::multimap<Millis, std::function<void()>> actions_;
    std::optional<Millis> limit_;
    int inputLooks_ = 0;
    int blockingWaits_ = 0;
    int presents_ = 0;
    int raises_ = 0;
    int screenShows_ = 0;
    SurfacePtr presented_;
    std::vector<RECT> lastChanged_;
};

}  // namespace platform
