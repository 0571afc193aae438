// The thread's timers. A timer is due when the clock reaches its due time; the loop then makes one
// WM_TIMER for it, never more than one per due time.
//
// A timer keeps its period grid: after a tick is taken, the next is due one period after the
// previous due time, not after the moment it was taken, so a 50 ms timer ticks at 50, 100, 150...
// however long each tick's work takes. A timer that falls more than a period behind (a long
// stall) skips the slots it missed and is next due at the first grid slot after now: it never
// catches up with a burst.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/window/backend.h"
#include "platform/window/window_types.h"

namespace platform::detail {

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    TIMERPROC callback;
    Millis due;
};

class TimerTable {
  public:
    // Starts or restarts a timer, first due one period from now. A timer without a window gets a
    // new identifier unless `id` names one of its own already. Returns the identifier, 0 when no
    // identifier is left.
    UINT_PTR Set(HWND window, UINT_PTR id, UINT period, TIMERPROC callback, Millis now);
    bool Kill(HWND window, UINT_PTR id);
    void KillAllOf(HWND window);

    // The earliest due time among timers whose window passes `accept`.
    std::optional<Millis> NextDue(const std::function<bool(HWND)>& accept) const;

    // The earliest timer due at `now` whose window passes `accept`; when `take` is set it moves on
    // to its next slot.
    std::optional<Timer> TakeDue(Millis now, const std::function<bool(HWND)>& accept, bool take);

    bool Empty() const { return timers_.empty(); }

  private:
    std::vector<Timer> timers_;
    UINT_PTR nextThreadTimerId_ = 1;
};

}  // namespace platform::detail
