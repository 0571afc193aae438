// Turning the back end's input into messages for windows. The pointer goes to the topmost window
// under it, and stays with the window it went down on until it comes up; keys go to the focused
// window. A disabled window (the owner of a modal dialog) takes no input. The soft keys (F1, F2)
// belong to the active window's soft-key bar, and an open pop-up menu takes every key and closes
// on a tap outside it.
#include "platform/window/desktop.h"
#include "platform/window/shell_windows.h"

namespace platform::detail {
namespace {

LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

}  // namespace

void Desktop::QueueInput(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    routedInput_.push_back(
        {target, message, wParam, lParam, static_cast<DWORD>(Now()), lastPointer_});
}

void Desktop::Route(const InputEvent& event) {
    switch (event.kind) {
        case InputKind::PointerMove:
        case InputKind::PointerDown:
        case InputKind::PointerUp:
            RoutePointer(event);
            break;
        case InputKind::KeyDown:
        case InputKind::KeyUp:
            RouteKey(event);
            break;
        case InputKind::CloseRequest:
            ClosePopup();
            if (active_ != nullptr) {
                QueueInput(active_, WM_CLOSE, 0, 0);
            }
            break;
    }
}

// A press picks the window that keeps the pointer until the release: the topmost one under it,
// whose top-level window is activated if it can be. A press that only closes an open menu, or
// that lands on nothing taking input, is swallowed with the moves and the release that follow.
void Desktop::PressPointer(POINT at) {
    swallowPointer_ = false;
    if (Window* popup = Find(openPopup_);
        popup != nullptr && !Inside(tree_.ScreenRect(*popup), at)) {
        ClosePopup();
        swallowPointer_ = true;
        return;
    }
    HWND target = tree_.WindowAt(at);
    if (target == nullptr || !tree_.TakesInput(target)) {
        swallowPointer_ = true;
        return;
    }
    Window* window = Find(target);
    HWND topLevel = tree_.TopLevelOf(target);
    if (Window* top = Find(topLevel); top != nullptr && top->activatable && active_ != topLevel) {
        Activate(topLevel);
    }
    capture_ = target;
    POINT origin = tree_.ClientOrigin(*window);
    captureNonClient_ = at.y < origin.y;
    if (captureNonClient_) {
        QueueInput(target, WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(at.x, at.y));
    } else {
        QueueInput(target, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(at.x - origin.x, at.y - origin.y));
    }
}

void Desktop::RoutePointer(const InputEvent& event) {
    POINT at{event.x, event.y};
    lastPointer_ = at;
    if (event.kind == InputKind::PointerDown) {
        PressPointer(at);
        return;
    }
    if (swallowPointer_) {
        if (event.kind == InputKind::PointerUp) {
            swallowPointer_ = false;
        }
        return;
    }
    HWND target = capture_ != nullptr ? capture_ : tree_.WindowAt(at);
    bool nonClient = capture_ != nullptr && captureNonClient_;
    bool buttonHeld = capture_ != nullptr;
    if (event.kind == InputKind::PointerUp) {
        capture_ = nullptr;
    }
    Window* window = Find(target);
    if (window == nullptr || !tree_.TakesInput(target)) {
        return;
    }
    POINT origin = tree_.ClientOrigin(*window);
    if (!buttonHeld && at.y < origin.y) {
        nonClient = true;
    }
    if (event.kind == InputKind::PointerMove) {
        if (nonClient) {
            QueueInput(target, WM_NCMOUSEMOVE, HTCAPTION, PackPoint(at.x, at.y));
        } else {
            QueueInput(target, WM_MOUSEMOVE, buttonHeld ? MK_LBUTTON : 0,
                       PackPoint(at.x - origin.x, at.y - origin.y));
        }
    } else if (nonClient) {
        QueueInput(target, WM_NCLBUTTONUP, HTCAPTION, PackPoint(at.x, at.y));
    } else {
        QueueInput(target, WM_LBUTTONUP, 0, PackPoint(at.x - origin.x, at.y - origin.y));
    }
}

void Desktop::RouteKey(const InputEvent& event) {
    UINT key = event.key & 0xFF;
    if (event.kind == InputKind::KeyDown) {
        if (HandleShellKey(key)) {
            swallowedKeys_.insert(key);
            return;
        }
        keysDown_.insert(key);
    } else {
        keysDown_.erase(key);
        if (swallowedKeys_.erase(key) != 0) {
            return;
        }
    }
    HWND target = focus_ != nullptr ? focus_ : active_;
    if (target == nullptr || !tree_.TakesInput(target)) {
        return;
    }
    // lParam: repeat count 1; a release also carries the previous-state and transition bits.
    LPARAM lParam = event.kind == InputKind::KeyDown ? 1 : static_cast<LPARAM>(0xC0000001u);
    QueueInput(target, event.kind == InputKind::KeyDown ? WM_KEYDOWN : WM_KEYUP, key, lParam);
}

bool Desktop::HandleShellKey(UINT key) {
    if (openPopup_ != nullptr) {
        PopupMenuKey(*this, openPopup_, key);
        return true;
    }
    if (key != VK_TSOFT1 && key != VK_TSOFT2) {
        return false;
    }
    HWND bar = SoftKeyBarOf(*this, active_);
    if (bar == nullptr) {
        return false;
    }
    if (tree_.TakesInput(bar)) {
        PressSoftKey(*this, bar, key == VK_TSOFT1 ? 0 : 1);
    }
    return true;
}

}  // namespace platform::detail
