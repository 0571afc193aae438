#include "platform/window/input_router.h"

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

void InputRouter::Queue(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    desktop_.queue().AddRouted(
        {target, message, wParam, lParam, static_cast<DWORD>(desktop_.Now()), lastPointer_});
}

void InputRouter::Release(HWND handle) {
    if (capture_ == handle) {
        capture_ = nullptr;
        swallowPointer_ = true;
    }
}

void InputRouter::Route(const InputEvent& event) {
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
            desktop_.ClosePopup();
            if (desktop_.Active() != nullptr) {
                Queue(desktop_.Active(), WM_CLOSE, 0, 0);
            }
            break;
    }
}

// A press picks the window that keeps the pointer until the release: the topmost one under it,
// whose top-level window is activated if it can be. A press that only closes an open menu, or
// that lands on nothing taking input, is swallowed with the moves and the release that follow.
// A press and a key are rare beside the pointer's moves: kept out of the moves' path.
[[gnu::noinline]] void InputRouter::PressPointer(POINT at) {
    const WindowTree& tree = desktop_.tree();
    swallowPointer_ = false;
    if (Window* popup = tree.Find(desktop_.OpenPopup());
        popup != nullptr && !Inside(tree.ScreenRect(*popup), at)) {
        desktop_.ClosePopup();
        swallowPointer_ = true;
        return;
    }
    HWND target = tree.WindowAt(at);
    if (target == nullptr || !tree.TakesInput(target)) {
        swallowPointer_ = true;
        return;
    }
    Window* window = tree.Find(target);
    HWND topLevel = tree.TopLevelOf(target);
    if (Window* top = tree.Find(topLevel);
        top != nullptr && top->activatable && desktop_.Active() != topLevel) {
        desktop_.Activate(topLevel);
    }
    capture_ = target;
    POINT origin = tree.ClientOrigin(*window);
    captureNonClient_ = at.y < origin.y;
    if (captureNonClient_) {
        Queue(target, WM_NCLBUTTONDOWN, HTCAPTION, PackPoint(at.x, at.y));
    } else {
        Queue(target, WM_LBUTTONDOWN, MK_LBUTTON, PackPoint(at.x - origin.x, at.y - origin.y));
    }
}

void InputRouter::RoutePointer(const InputEvent& event) {
    const WindowTree& tree = desktop_.tree();
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
    HWND target = capture_ != nullptr ? capture_ : tree.WindowAt(at);
    bool nonClient = capture_ != nullptr && captureNonClient_;
    bool buttonHeld = capture_ != nullptr;
    if (event.kind == InputKind::PointerUp) {
        capture_ = nullptr;
    }
    Window* window = tree.Find(target);
    if (window == nullptr || !tree.TakesInput(target)) {
        return;
    }
    POINT origin = tree.ClientOrigin(*window);
    if (!buttonHeld && at.y < origin.y) {
        nonClient = true;
    }
    if (event.kind == InputKind::PointerMove) {
        if (nonClient) {
            Queue(target, WM_NCMOUSEMOVE, HTCAPTION, PackPoint(at.x, at.y));
        } else {
            Queue(target, WM_MOUSEMOVE, buttonHeld ? MK_LBUTTON : 0,
                  PackPoint(at.x - origin.x, at.y - origin.y));
        }
    } else if (nonClient) {
        Queue(target, WM_NCLBUTTONUP, HTCAPTION, PackPoint(at.x, at.y));
    } else {
        Queue(target, WM_LBUTTONUP, 0, PackPoint(at.x - origin.x, at.y - origin.y));
    }
}

[[gnu::noinline]] void InputRouter::RouteKey(const InputEvent& event) {
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
    HWND target = desktop_.Focus() != nullptr ? desktop_.Focus() : desktop_.Active();
    if (target == nullptr || !desktop_.tree().TakesInput(target)) {
        return;
    }
    // lParam: repeat count 1; a release also carries the previous-state and transition bits.
    LPARAM lParam = event.kind == InputKind::KeyDown ? 1 : static_cast<LPARAM>(0xC0000001u);
    Queue(target, event.kind == InputKind::KeyDown ? WM_KEYDOWN : WM_KEYUP, key, lParam);
}

bool InputRouter::HandleShellKey(UINT key) {
    if (desktop_.OpenPopup() != nullptr) {
        PopupMenuKey(desktop_, desktop_.OpenPopup(), key);
        return true;
    }
    if (key != VK_TSOFT1 && key != VK_TSOFT2) {
        return false;
    }
    HWND bar = SoftKeyBarOf(desktop_, desktop_.Active());
    if (bar == nullptr) {
        return false;
    }
    if (desktop_.tree().TakesInput(bar)) {
        PressSoftKey(desktop_, bar, key == VK_TSOFT1 ? 0 : 1);
    }
    return true;
}

}  // namespace platform::detail
