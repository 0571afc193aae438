#include "platform/window/timer_table.h"

#include <algorithm>

namespace platform::detail {

UINT_PTR TimerTable::Set(HWND window, UINT_PTR id, UINT period, TIMERPROC callback, Millis now) {
    period = std::max(period, USER_TIMER_MINIMUM);
    if (window == nullptr) {
        bool own = std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
            return t.window == nullptr && t.id == id && id != 0;
        });
        if (!own) {
            // Thread timers are numbered by the platform; skip numbers still in use.
            for (int tries = 0; tries < 0x10000; ++tries) {
                UINT_PTR candidate = nextThreadTimerId_++;
                if (nextThreadTimerId_ > 0x7FFF) {
                    nextThreadTimerId_ = 1;
                }
                bool used = std::any_of(timers_.begin(), timers_.end(), [&](const Timer& t) {
                    return t.window == nullptr && t.id == candidate;
                });
                if (!used) {
                    id = candidate;
                    break;
                }
            }
            if (id == 0) {
                return 0;
            }
        }
    }
    Timer timer{window, id, period, callback, now + period};
    for (Timer& existing : timers_) {
        if (existing.window == window && existing.id == id) {
            existing = timer;
            return window == nullptr ? id : (id == 0 ? 1 : id);
        }
    }
    timers_.push_back(timer);
    // A window timer's result is nonzero on success even for identifier 0.
    return window == nullptr ? id : (id == 0 ? 1 : id);
}

bool TimerTable::Kill(HWND window, UINT_PTR id) {
    auto it = std::find_if(timers_.begin(), timers_.end(),
                           [&](const Timer& t) { return t.window == window && t.id == id; });
    if (it == timers_.end()) {
        return false;
    }
    timers_.erase(it);
    return true;
}

void TimerTable::KillAllOf(HWND window) {
    std::erase_if(timers_, [&](const Timer& t) { return t.window == window; });
}

std::optional<Millis> TimerTable::NextDue(const std::function<bool(HWND)>& accept) const {
    std::optional<Millis> next;
    for (const Timer& t : timers_) {
        if (accept(t.window) && (!next || t.due < *next)) {
            next = t.due;
        }
    }
    return next;
}

std::optional<Timer> TimerTable::TakeDue(Millis now, const std::function<bool(HWND)>& accept,
                                         bool take) {
    Timer* earliest = nullptr;
    for (Timer& t : timers_) {
        if (t.due <= now && accept(t.window) && (earliest == nullptr || t.due < earliest->due)) {
            earliest = &t;
        }
    }
    if (earliest == nullptr) {
        return std::nullopt;
    }
    Timer taken = *earliest;
    if (!take) {
        return taken;
    }
    Millis slotsPassed = (now - earliest->due) / earliest->period + 1;
    earliest->due += slotsPassed * earliest->period;
    return taken;
}

}  // namespace platform::detail
