// The thread's queues of messages: those posted, the back end's input not yet routed, the input
// routed to windows and not yet taken, and the quit request. Paints and timers are not queued
// (Desktop::Fetch makes them when nothing else waits). Nothing here calls a window. Defined in
// message_loop.cpp, beside the loop that takes from it.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "platform/window/backend.h"
#include "platform/window/window_tree.h"

namespace platform::detail {

// Which messages a GetMessage or PeekMessage takes: those in [first, last] (any when both are 0)
// for `window` or one of its children; any window's with none, and only the thread's own (no
// window) with -1.
struct MessageFilter {
    const WindowTree& tree;
    HWND window;
    UINT first;
    UINT last;

    bool Takes(const MSG& msg) const;
};

class MessageQueue {
  public:
    void Post(const MSG& msg) { posted_.push_back(msg); }
    void PostQuit(int exitCode) { quitCode_ = exitCode; }
    std::optional<int> QuitCode() const { return quitCode_; }
    void ForgetQuit() { quitCode_.reset(); }
    std::size_t PostedCount() const { return posted_.size(); }

    // The back end's input as it came, and when it was last asked for it.
    void Accept(const std::vector<InputEvent>& events, Millis now);
    bool LookedForInputAt(Millis now) const { return lookedForInput_ && lastInputLook_ == now; }
    // The oldest input not yet routed; pointer moves not taken yet collapse into the newest one.
    std::optional<InputEvent> TakeRaw();
    void AddRouted(const MSG& msg) { routedInput_.push_back(msg); }

    // The first posted (or routed input) message that `filter` takes, removed with `remove`.
    bool TakePosted(MSG& msg, const MessageFilter& filter, bool remove);
    bool TakeRouted(MSG& msg, const MessageFilter& filter, bool remove);

    // Drops what is queued for a window that goes.
    void Forget(HWND handle);

  private:
    std::deque<MSG> posted_;
    std::deque<InputEvent> rawInput_;
    bool lookedForInput_ = false;
    Millis lastInputLook_ = 0;
    std::deque<MSG> routedInput_;
    std::optional<int> quitCode_;
};

}  // namespace platform::detail
