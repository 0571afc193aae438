// Taking the next message, in the platform's order: posted messages first, then the quit request,
// then input, then a paint for a window with an invalid region, then a due timer. Paints and
// timers are never queued; they are made when nothing else is waiting, so a window never has two
// paints pending and a timer never has two ticks pending.
#include <algorithm>
#include <functional>

#include "platform/window/desktop.h"

namespace platform::detail {

bool Desktop::Matches(const MSG& msg, HWND filter, UINT first, UINT last) const {
    if (first != 0 || last != 0) {
        if (msg.message < first || msg.message > last) {
            return false;
        }
    }
    if (filter == nullptr) {
        return true;
    }
    if (filter == reinterpret_cast<HWND>(-1)) {
        return msg.hwnd == nullptr;
    }
    for (Window* w = Find(msg.hwnd); w != nullptr; w = w->IsChild() ? Find(w->parent) : nullptr) {
        if (w->handle == filter) {
            return true;
        }
    }
    return false;
}

bool Desktop::TakePosted(MSG& msg, HWND filter, UINT first, UINT last, bool remove) {
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        if (Matches(*it, filter, first, last)) {
            msg = *it;
            if (remove) {
                posted_.erase(it);
            }
            return true;
        }
    }
    return false;
}

bool Desktop::TakeInput(MSG& msg, HWND filter, UINT first, UINT last, bool remove) {
    for (;;) {
        for (auto it = routedInput_.begin(); it != routedInput_.end(); ++it) {
            if (Matches(*it, filter, first, last)) {
                msg = *it;
                if (remove) {
                    routedInput_.erase(it);
                }
                return true;
            }
        }
        if (rawInput_.empty()) {
            return false;
        }
        // Input is routed when it is taken, so it goes to the window that is under the pointer
        // or has the focus at that moment (a dialog opened by the previous key, say).
        InputEvent event = rawInput_.front();
        rawInput_.pop_front();
        // Pointer moves not taken yet collapse into the newest one.
        while (event.kind == InputKind::PointerMove && !rawInput_.empty() &&
               rawInput_.front().kind == InputKind::PointerMove) {
            event = rawInput_.front();
            rawInput_.pop_front();
        }
        Route(event);
    }
}

bool Desktop::FindPaint(MSG& msg, HWND filter, UINT first, UINT last) {
    std::function<HWND(HWND)> invalidIn = [&](HWND handle) -> HWND {
        Window* w = Find(handle);
        if (w == nullptr || !w->visible) {
            return nullptr;
        }
        MSG candidate{handle, WM_PAINT, 0, 0, 0, {}};
        if (w->invalid && Matches(candidate, filter, first, last)) {
            return handle;
        }
        for (HWND child : w->children) {
            if (HWND found = invalidIn(child)) {
                return found;
            }
        }
        return nullptr;
    };
    const std::vector<HWND> order = tree_.TopLevels();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (HWND found = invalidIn(*it)) {
            msg = {found, WM_PAINT, 0, 0, static_cast<DWORD>(Now()), lastPointer_};
            return true;
        }
    }
    return false;
}

bool Desktop::TakeTimer(MSG& msg, HWND filter, UINT first, UINT last, bool remove) {
    auto accept = [&](HWND window) {
        MSG candidate{window, WM_TIMER, 0, 0, 0, {}};
        return Matches(candidate, filter, first, last);
    };
    std::optional<Timer> timer = timers_.TakeDue(Now(), accept, remove);
    if (!timer) {
        return false;
    }
    if (timerObserver_ && remove) {
        timerObserver_({timer->window, timer->id, timer->due, Now()});
    }
    msg = {timer->window,
           WM_TIMER,
           timer->id,
           reinterpret_cast<LPARAM>(timer->callback),
           static_cast<DWORD>(Now()),
           lastPointer_};
    return true;
}

FetchResult Desktop::Fetch(MSG& msg, HWND filter, UINT first, UINT last, bool remove, bool wait) {
    // A wait that has just returned brought what input there was: looking again at once would
    // only cost the back end another trip to its event queue. Nor does a GetMessage look again
    // in the millisecond it last looked: the messages of one moment (a timer, the paint it
    // causes) would each cost that trip, and input that came meanwhile is taken at the latest
    // when the loop next sleeps. PeekMessage always looks; a loop of them may be all there is.
    // Nor does GetMessage look before the program's first screen, once painted, is out: as the
    // window appears the back end has the most to read (its mapping, exposes, focus), and none
    // of it changes what that screen shows.
    bool justWaited = false;
    for (;;) {
        if (!justWaited && !(wait && (lastInputLook_ == Now() || FirstScreenPending()))) {
            Accept(backend_.WaitForInput(Now()));
        }
        justWaited = false;
        ServeOtherProcesses();
        if (TakePosted(msg, filter, first, last, remove)) {
            return FetchResult::Message;
        }
        if (quitCode_) {
            msg = {
                nullptr,     WM_QUIT, static_cast<WPARAM>(*quitCode_), 0, static_cast<DWORD>(Now()),
                lastPointer_};
            if (remove) {
                quitCode_.reset();
            }
            return FetchResult::Quit;
        }
        std::size_t postedBefore = posted_.size();
        if (TakeInput(msg, filter, first, last, remove)) {
            return FetchResult::Message;
        }
        if (posted_.size() != postedBefore || quitCode_) {
            continue;  // routing the input posted something (a soft key's command)
        }
        if (FindPaint(msg, filter, first, last) || TakeTimer(msg, filter, first, last, remove)) {
            return FetchResult::Message;
        }
        // Nothing to do: show what has been drawn, then sleep until the next timer or input.
        PresentIfDirty();
        if (!wait) {
            return FetchResult::Nothing;
        }
        std::optional<Millis> deadline = timers_.NextDue([&](HWND window) {
            MSG candidate{window, WM_TIMER, 0, 0, 0, {}};
            return Matches(candidate, filter, first, last);
        });
        Accept(backend_.WaitForInput(WaitDeadline(deadline)));
        justWaited = true;
    }
}

// Other processes' requests are taken when the loop looks for work, without a thread and
// without the back end watching the sockets: the loop wakes for the timers anyway (a game ticks
// every 50 ms), and while windows are published it never sleeps much longer than
// kServePeriodMs. It looks at the sockets once a period, not for every message, so a request
// waits two periods at the most and costs nothing in between.
constexpr Millis kServePeriodMs = 50;

void Desktop::ServeOtherProcesses() {
    if (sharing_ && sharing_->Publishing() && (!nextServe_ || Now() >= *nextServe_)) {
        nextServe_ = Now() + kServePeriodMs;
        sharing_->Serve([this](HWND window) {
            if (!BringToForeground(window, true)) {
                return false;
            }
            backend_.Raise();
            return true;
        });
    }
}

std::optional<Millis> Desktop::WaitDeadline(std::optional<Millis> nextTimer) {
    if (!sharing_ || !sharing_->Publishing()) {
        return nextTimer;
    }
    const Millis serveBy = nextServe_.value_or(Now());
    // A timer due within a period of then wakes the loop anyway, and the requests are taken on
    // that wake: a game's ticks then cost one wake each, not two.
    if (nextTimer && *nextTimer <= serveBy + kServePeriodMs) {
        return nextTimer;
    }
    return nextTimer ? std::min(*nextTimer, serveBy) : serveBy;
}

void Desktop::Accept(const std::vector<InputEvent>& events) {
    lastInputLook_ = Now();
    for (const InputEvent& event : events) {
        rawInput_.push_back(event);
    }
}

}  // namespace platform::detail
