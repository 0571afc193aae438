#include "platform/sdl/input_translator.h"

#include "platform/sdl/virtual_keys.h"

namespace platform::sdl {

WindowAction InputTranslator::Translate(const SDL_Event& event, const WindowView& view,
                                        std::vector<InputEvent>& out) {
    switch (event.type) {
        case SDL_QUIT:
            out.push_back({InputKind::CloseRequest});
            return WindowAction::None;
        case SDL_MOUSEMOTION:
            MouseMove(event.motion, view, out);
            return WindowAction::None;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            MouseButton(event.button, view, out);
            return WindowAction::None;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            Finger(event.tfinger, event.type, view, out);
            return WindowAction::None;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            return Key(event.key, out);
        case SDL_RENDER_TARGETS_RESET:
            return WindowAction::Redraw;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                case SDL_WINDOWEVENT_SHOWN:
                case SDL_WINDOWEVENT_RESTORED:
                    return WindowAction::Redraw;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    ReleaseKeys(out);
                    return WindowAction::None;
                default:
                    return WindowAction::None;
            }
        default:
            return WindowAction::None;
    }
}

void InputTranslator::MouseMove(const SDL_MouseMotionEvent& motion, const WindowView& view,
                                std::vector<InputEvent>& out) {
    if (motion.which == SDL_TOUCH_MOUSEID || finger_) {
        return;
    }
    const auto at = DrawableToDevice(
        MouseToDrawable(motion.x, motion.y, view.window, view.drawable), view.image, view.device);
    if (at) {
        out.push_back({InputKind::PointerMove, at->x, at->y});
    }
}

void InputTranslator::MouseButton(const SDL_MouseButtonEvent& button, const WindowView& view,
                                  std::vector<InputEvent>& out) {
    if (button.which == SDL_TOUCH_MOUSEID || button.button != SDL_BUTTON_LEFT || finger_) {
        return;
    }
    const auto at = DrawableToDevice(
        MouseToDrawable(button.x, button.y, view.window, view.drawable), view.image, view.device);
    if (button.type == SDL_MOUSEBUTTONDOWN) {
        if (at && at->inside && !mouseDown_) {
            mouseDown_ = true;
            out.push_back({InputKind::PointerDown, at->x, at->y});
        }
        return;
    }
    if (mouseDown_) {
        mouseDown_ = false;
        // With no image left (the window shrunk to nothing while pressed) the release still has
        // to end the press; the screen's corner is as good a place as any.
        out.push_back({InputKind::PointerUp, at ? at->x : 0, at ? at->y : 0});
    }
}

void InputTranslator::Finger(const SDL_TouchFingerEvent& finger, Uint32 type,
                             const WindowView& view, std::vector<InputEvent>& out) {
    const auto at = DrawableToDevice(TouchToDrawable(finger.x, finger.y, view.drawable), view.image,
                                     view.device);
    const bool tracked = finger_ && *finger_ == finger.fingerId;
    switch (type) {
        case SDL_FINGERDOWN:
            if (!finger_ && !mouseDown_ && at && at->inside) {
                finger_ = finger.fingerId;
                out.push_back({InputKind::PointerDown, at->x, at->y});
            }
            break;
        case SDL_FINGERMOTION:
            // A finger that went down on the bars still steers once it slides onto the pitch,
            // as long as no other finger is the stylus.
            if ((tracked || !finger_) && at) {
                out.push_back({InputKind::PointerMove, at->x, at->y});
            }
            break;
        case SDL_FINGERUP:
            if (tracked) {
                finger_.reset();
                out.push_back({InputKind::PointerUp, at ? at->x : 0, at ? at->y : 0});
            }
            break;
        default:
            break;
    }
}

WindowAction InputTranslator::Key(const SDL_KeyboardEvent& key, std::vector<InputEvent>& out) {
    const SDL_Keycode code = key.keysym.sym;
    if (key.type == SDL_KEYUP) {
        if (windowKeys_.erase(code) != 0) {
            return WindowAction::None;
        }
        const auto held = heldKeys_.find(code);
        if (held == heldKeys_.end()) {
            // Pressed before the window had the keyboard, or already released on focus loss.
            return WindowAction::None;
        }
        const UINT virtualKey = held->second;
        heldKeys_.erase(held);
        if (!VirtualKeyHeld(virtualKey)) {
            out.push_back({InputKind::KeyUp, 0, 0, virtualKey});
        }
        return WindowAction::None;
    }
    if (key.repeat != 0 || heldKeys_.contains(code) || windowKeys_.contains(code)) {
        return WindowAction::None;
    }
    const bool enter = code == SDLK_RETURN || code == SDLK_KP_ENTER;
    if (code == SDLK_F11 || (enter && (key.keysym.mod & KMOD_ALT) != 0)) {
        windowKeys_.insert(code);
        return WindowAction::ToggleFullscreen;
    }
    const std::optional<UINT> virtualKey = VirtualKeyFor(code);
    if (!virtualKey) {
        return WindowAction::None;
    }
    const bool alreadyDown = VirtualKeyHeld(*virtualKey);
    heldKeys_.emplace(code, *virtualKey);
    if (!alreadyDown) {
        out.push_back({InputKind::KeyDown, 0, 0, *virtualKey});
    }
    return WindowAction::None;
}

void InputTranslator::ReleaseKeys(std::vector<InputEvent>& out) {
    std::set<UINT> released;
    for (const auto& [code, virtualKey] : heldKeys_) {
        if (released.insert(virtualKey).second) {
            out.push_back({InputKind::KeyUp, 0, 0, virtualKey});
        }
    }
    heldKeys_.clear();
    windowKeys_.clear();
}

bool InputTranslator::VirtualKeyHeld(UINT virtualKey) const {
    for (const auto& [code, held] : heldKeys_) {
        if (held == virtualKey) {
            return true;
        }
    }
    return false;
}

}  // namespace platform::sdl
