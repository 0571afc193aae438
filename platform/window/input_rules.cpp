#include "platform/window/input_rules.h"

namespace platform {

void InputRules::Apply(const RawInput& event, std::vector<InputEvent>& out) {
    switch (event.kind) {
        case RawInputKind::PointerDown:
        case RawInputKind::PointerMove:
        case RawInputKind::PointerUp:
        case RawInputKind::PointerCancel:
            Pointer(event, out);
            break;
        case RawInputKind::KeyDown:
            KeyDown(event, out);
            break;
        case RawInputKind::KeyUp:
            KeyUp(event, out);
            break;
        case RawInputKind::FocusLost:
            ReleaseKeys(out);
            break;
        case RawInputKind::CloseRequest:
            out.push_back({InputKind::CloseRequest});
            break;
    }
}

InputRules::WindowKey InputRules::TakeWindowKey(const RawInput& key, bool altHeld) {
    if (windowKeys_.contains(key.key)) {
        if (key.kind == RawInputKind::KeyUp) {
            windowKeys_.erase(key.key);
        }
        return WindowKey::Taken;
    }
    const bool fullScreenKey =
        key.virtualKey == kVirtualKeyF11 || (key.virtualKey == kVirtualKeyEnter && altHeld);
    if (key.kind == RawInputKind::KeyDown && !key.repeat && !KeyHeld(key.key) && fullScreenKey) {
        windowKeys_.insert(key.key);
        return WindowKey::ToggleFullScreen;
    }
    return WindowKey::No;
}

void InputRules::Pointer(const RawInput& event, std::vector<InputEvent>& out) {
    const bool isStylus = stylus_ && *stylus_ == event.pointer;
    switch (event.kind) {
        case RawInputKind::PointerDown:
            if (!stylus_ && event.mainButton && event.at && event.at->inside) {
                stylus_ = event.pointer;
                out.push_back({InputKind::PointerDown, event.at->x, event.at->y});
            }
            break;
        case RawInputKind::PointerMove:
            if ((isStylus || !stylus_) && event.at) {
                out.push_back({InputKind::PointerMove, event.at->x, event.at->y});
            }
            break;
        default:
            if (isStylus && (event.mainButton || event.kind == RawInputKind::PointerCancel)) {
                stylus_.reset();
                // With no screen left to point at (the window shrunk to nothing while pressed)
                // the release still has to end the press; the screen's corner is as good a place
                // as any.
                out.push_back(
                    {InputKind::PointerUp, event.at ? event.at->x : 0, event.at ? event.at->y : 0});
            }
            break;
    }
}

void InputRules::KeyDown(const RawInput& event, std::vector<InputEvent>& out) {
    if (event.repeat || heldKeys_.contains(event.key)) {
        return;
    }
    const bool alreadyDown = VirtualKeyHeld(event.virtualKey);
    heldKeys_.emplace(event.key, event.virtualKey);
    if (!alreadyDown) {
        out.push_back({.kind = InputKind::KeyDown, .key = event.virtualKey});
    }
}

void InputRules::KeyUp(const RawInput& event, std::vector<InputEvent>& out) {
    const auto held = heldKeys_.find(event.key);
    if (held == heldKeys_.end()) {
        // Pressed before the back end had the keyboard, or released already on focus loss.
        return;
    }
    const std::uint32_t virtualKey = held->second;
    heldKeys_.erase(held);
    if (!VirtualKeyHeld(virtualKey)) {
        out.push_back({.kind = InputKind::KeyUp, .key = virtualKey});
    }
}

void InputRules::ReleaseKeys(std::vector<InputEvent>& out) {
    std::set<std::uint32_t> released;
    for (const auto& [key, virtualKey] : heldKeys_) {
        if (released.insert(virtualKey).second) {
            out.push_back({.kind = InputKind::KeyUp, .key = virtualKey});
        }
    }
    heldKeys_.clear();
    windowKeys_.clear();
}

bool InputRules::VirtualKeyHeld(std::uint32_t virtualKey) const {
    for (const auto& [key, held] : heldKeys_) {
        if (held == virtualKey) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
