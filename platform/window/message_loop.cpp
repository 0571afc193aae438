// Messages: the queue (message_queue.h), sending, posting and dispatching, and taking the next
// message in the platform's order: posted messages first, then the quit request, then input,
// then a paint for a window with an invalid region, then a due timer. Paints and timers are never
// queued; they are made when nothing else is waiting, so a window never has two paints pending
// and a timer never has two ticks pending.
#include <algorithm>

#include "platform/window/desktop.h"
#include "platform/window/message_queue.h"

namespace platform::detail {
namespace {

// Out of line for the page, as Fetch's other helpers below.
[[gnu::noinline]] bool TakeFrom(std::deque<MSG>& queue, MSG& msg, const MessageFilter& filter,
                                bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (filter.Takes(*it)) {
            msg = *it;
            if (remove) {
                queue.erase(it);
            }
            return true;
        }
    }
    return false;
}

}  // namespace

bool MessageFilter::Takes(const MSG& msg) const {
    if (first != 0 || last != 0) {
        if (msg.message < first || msg.message > last) {
            return false;
        }
    }
    if (window == nullptr) {
        return true;
    }
    if (window == reinterpret_cast<HWND>(-1)) {
        return msg.hwnd == nullptr;
    }
    for (Window* w = tree.Find(msg.hwnd); w != nullptr;
         w = w->IsChild() ? tree.Find(w->parent) : nullptr) {
        if (w->handle == window) {
            return true;
        }
    }
    return false;
}

void MessageQueue::Accept(const std::vector<InputEvent>& events, Millis now) {
    lookedForInput_ = true;
    lastInputLook_ = now;
    // One by one: a range insert into a deque costs a large function of its own on every wake.
    for (const InputEvent& event : events) {
        rawInput_.push_back(event);
    }
}

std::optional<InputEvent> MessageQueue::TakeRaw() {
    if (rawInput_.empty()) {
        return std::nullopt;
    }
    InputEvent event = rawInput_.front();
    rawInput_.pop_front();
    while (event.kind == InputKind::PointerMove && !rawInput_.empty() &&
           rawInput_.front().kind == InputKind::PointerMove) {
        event = rawInput_.front();
        rawInput_.pop_front();
    }
    return event;
}

bool MessageQueue::TakePosted(MSG& msg, const MessageFilter& filter, bool remove) {
    return TakeFrom(posted_, msg, filter, remove);
}

bool MessageQueue::TakeRouted(MSG& msg, const MessageFilter& filter, bool remove) {
    return TakeFrom(routedInput_, msg, filter, remove);
}

void MessageQueue::Forget(HWND handle) {
    auto addressed = [&](const MSG& m) { return m.hwnd == handle; };
    std::erase_if(posted_, addressed);
    std::erase_if(routedInput_, addressed);
}

LRESULT Desktop::Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = Find(handle);
    if (window == nullptr || window->proc == nullptr) {
        return 0;
    }
    return window->proc(handle, message, wParam, lParam);
}

bool Desktop::Post(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle != nullptr && Find(handle) == nullptr) {
        return false;
    }
    queue_.Post(Stamped(handle, message, wParam, lParam));
    return true;
}

MSG Desktop::Stamped(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    return {handle, message, wParam, lParam, static_cast<DWORD>(Now()), input_.LastPointer()};
}

LRESULT Desktop::Dispatch(const MSG& msg) {
    if (msg.message == WM_TIMER && msg.lParam != 0) {
        auto callback = reinterpret_cast<TIMERPROC>(msg.lParam);
        callback(msg.hwnd, WM_TIMER, msg.wParam, static_cast<DWORD>(Now()));
        return 0;
    }
    return Send(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

// What Fetch looks through stays out of line ([[gnu::noinline]]): on the page every function on
// the way to the sleep is instrumented to unwind and rewind the stack, and a short Fetch keeps
// that to itself; the helpers that call no window are left out of it by name
// (web/CMakeLists.txt).
namespace {

// The first window with an invalid region that `filter` takes a paint for, topmost first.
HWND InvalidIn(const WindowTree& tree, HWND handle, const MessageFilter& filter) {
    Window* w = tree.Find(handle);
    if (w == nullptr || !w->visible) {
        return nullptr;
    }
    if (w->invalid && filter.Takes({handle, WM_PAINT, 0, 0, 0, {}})) {
        return handle;
    }
    for (HWND child : w->children) {
        if (HWND found = InvalidIn(tree, child, filter)) {
            return found;
        }
    }
    return nullptr;
}

[[gnu::noinline]] HWND FindPaint(const WindowTree& tree, const MessageFilter& filter) {
    const std::vector<HWND>& order = tree.TopLevels();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (HWND found = InvalidIn(tree, *it, filter)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace

[[gnu::noinline]] bool Desktop::TakeInput(MSG& msg, const MessageFilter& filter, bool remove) {
    for (;;) {
        if (queue_.TakeRouted(msg, filter, remove)) {
            return true;
        }
        // Input is routed when it is taken, so it goes to the window that is under the pointer
        // or has the focus at that moment (a dialog opened by the previous key, say).
        std::optional<InputEvent> event = queue_.TakeRaw();
        if (!event) {
            return false;
        }
        input_.Route(*event);
    }
}

[[gnu::noinline]] bool Desktop::TakeTimer(MSG& msg, const MessageFilter& filter, bool remove) {
    auto accept = [&](HWND window) { return filter.Takes({window, WM_TIMER, 0, 0, 0, {}}); };
    std::optional<Timer> timer = timers_.TakeDue(Now(), accept, remove);
    if (!timer) {
        return false;
    }
    if (timerObserver_ && remove) {
        timerObserver_({timer->window, timer->id, timer->due, Now()});
    }
    msg = Stamped(timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->callback));
    return true;
}

FetchResult Desktop::Fetch(MSG& msg, HWND window, UINT first, UINT last, bool remove, bool wait) {
    // A wait that has just returned brought what input there was: looking again at once would
    // only cost the back end another trip to its event queue. Nor does a GetMessage look again
    // in the millisecond it last looked: the messages of one moment (a timer, the paint it
    // causes) would each cost that trip, and input that came meanwhile is taken at the latest
    // when the loop next sleeps. PeekMessage always looks; a loop of them may be all there is.
    // Nor does GetMessage look before the program's first screen, once painted, is out: as the
    // window appears the back end has the most to read (its mapping, exposes, focus), and none
    // of it changes what that screen shows.
    const MessageFilter filter{tree_, window, first, last};
    // The look is dated when the back end answers, after any wait.
    auto lookForInput = [&](std::optional<Millis> deadline) {
        const std::vector<InputEvent> events = backend_.WaitForInput(deadline);
        queue_.Accept(events, Now());
    };
    bool justWaited = false;
    for (;;) {
        if (!justWaited &&
            !(wait && (queue_.LookedForInputAt(Now()) || shown_.FirstScreenPending()))) {
            lookForInput(Now());
        }
        justWaited = false;
        ServeOtherProcesses();
        if (queue_.TakePosted(msg, filter, remove)) {
            return FetchResult::Message;
        }
        if (std::optional<int> quitCode = queue_.QuitCode()) {
            msg = Stamped(nullptr, WM_QUIT, static_cast<WPARAM>(*quitCode), 0);
            if (remove) {
                queue_.ForgetQuit();
            }
            return FetchResult::Quit;
        }
        std::size_t postedBefore = queue_.PostedCount();
        if (TakeInput(msg, filter, remove)) {
            return FetchResult::Message;
        }
        if (queue_.PostedCount() != postedBefore || queue_.QuitCode()) {
            continue;  // routing the input posted something (a soft key's command)
        }
        if (HWND paint = FindPaint(tree_, filter)) {
            msg = Stamped(paint, WM_PAINT, 0, 0);
            return FetchResult::Message;
        }
        if (TakeTimer(msg, filter, remove)) {
            return FetchResult::Message;
        }
        // Nothing to do: show what has been drawn, then sleep until the next timer or input.
        PresentIfChanged();
        if (!wait) {
            return FetchResult::Nothing;
        }
        std::optional<Millis> deadline = timers_.NextDue([&](HWND window) {
            return filter.Takes({window, WM_TIMER, 0, 0, 0, {}});
        });
        lookForInput(WaitDeadline(deadline));
        justWaited = true;
    }
}

// Other processes' requests are taken when the loop looks for work, without a thread and
// without the back end watching the sockets: the loop wakes for the timers anyway (a game ticks
// every 50 ms), and while windows are published it never sleeps much longer than
// kServePeriodMs. It looks at the sockets once a period, not for every message, so a request
// waits two periods at the most and costs nothing in between.
constexpr Millis kServePeriodMs = 50;

[[gnu::noinline]] void Desktop::ServeOtherProcesses() {
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

}  // namespace platform::detail
