// Turning the back end's input into messages for windows. The pointer goes to the topmost window
// under it, and stays with the window it went down on until it comes up; keys go to the focused
// window. A disabled window (the owner of a modal dialog) takes no input. The soft keys (F1, F2)
// belong to the active window's soft-key bar, and an open pop-up menu takes every key and closes
// on a tap outside it.
#pragma once

#include <set>

#include "platform/window/backend.h"

namespace platform::detail {

class Desktop;

class InputRouter {
  public:
    explicit InputRouter(Desktop& desktop) : desktop_(desktop) {}

    // Queues the messages `event` makes for the windows as they stand now.
    void Route(const InputEvent& event);
    bool KeyDown(UINT key) const { return keysDown_.count(key) != 0; }
    POINT LastPointer() const { return lastPointer_; }
    // A window that goes or is disabled loses the pointer, and the rest of that press goes
    // nowhere.
    void Release(HWND handle);

  private:
    void RoutePointer(const InputEvent& event);
    void PressPointer(POINT at);
    void RouteKey(const InputEvent& event);
    bool HandleShellKey(UINT key);
    void Queue(HWND target, UINT message, WPARAM wParam, LPARAM lParam);

    Desktop& desktop_;
    HWND capture_ = nullptr;
    bool captureNonClient_ = false;
    bool swallowPointer_ = false;
    POINT lastPointer_{};
    std::set<UINT> keysDown_;
    std::set<UINT> swallowedKeys_;
};

}  // namespace platform::detail
