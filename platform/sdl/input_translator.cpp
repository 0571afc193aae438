#include "platform/sdl/input_translator.h"

#include "platform/sdl/virtual_keys.h"

namespace platform::sdl {
namespace {

std::optional<DevicePoint> MouseAt(int x, int y, const WindowView& view) {
    return DrawableToDevice(MouseToDrawable(x, y, view.window, view.drawable), view.image,
                            view.device);
}

RawInput Finger(const SDL_TouchFingerEvent& finger, const WindowView& view) {
    const RawInputKind kind = finger.type == SDL_FINGERDOWN ? RawInputKind::PointerDown
                              : finger.type == SDL_FINGERUP ? RawInputKind::PointerUp
                                                            : RawInputKind::PointerMove;
    return {kind,
            {false, finger.fingerId},
            DrawableToDevice(TouchToDrawable(finger.x, finger.y, view.drawable), view.image,
                             view.device)};
}

}  // namespace

WindowAction InputTranslator::Translate(const SDL_Event& event, const WindowView& view,
                                        std::vector<InputEvent>& out) {
    constexpr PointerId kMouse{true, 0};
    switch (event.type) {
        case SDL_QUIT:
            rules_.Apply({RawInputKind::CloseRequest}, out);
            return WindowAction::None;
        case SDL_MOUSEMOTION:
            if (event.motion.which != SDL_TOUCH_MOUSEID) {
                rules_.Apply({RawInputKind::PointerMove, kMouse,
                              MouseAt(event.motion.x, event.motion.y, view)},
                             out);
            }
            return WindowAction::None;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.which != SDL_TOUCH_MOUSEID) {
                rules_.Apply({event.type == SDL_MOUSEBUTTONDOWN ? RawInputKind::PointerDown
                                                                : RawInputKind::PointerUp,
                              kMouse, MouseAt(event.button.x, event.button.y, view),
                              event.button.button == SDL_BUTTON_LEFT},
                             out);
            }
            return WindowAction::None;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            rules_.Apply(Finger(event.tfinger, view), out);
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
                    rules_.Apply({RawInputKind::FocusLost}, out);
                    return WindowAction::None;
                default:
                    return WindowAction::None;
            }
        default:
            return WindowAction::None;
    }
}

WindowAction InputTranslator::Key(const SDL_KeyboardEvent& key, std::vector<InputEvent>& out) {
    const SDL_Keycode code = key.keysym.sym;
    // F11 is no key of the program's; the rules give it to the window.
    const std::optional<UINT> virtualKey = code == SDLK_F11 ? kVirtualKeyF11 : VirtualKeyFor(code);
    if (!virtualKey) {
        return WindowAction::None;
    }
    const RawInput raw{
        .kind = key.type == SDL_KEYDOWN ? RawInputKind::KeyDown : RawInputKind::KeyUp,
        .key = code,
        .virtualKey = *virtualKey,
        .repeat = key.repeat != 0};
    switch (rules_.TakeWindowKey(raw, (key.keysym.mod & KMOD_ALT) != 0)) {
        case InputRules::WindowKey::ToggleFullScreen:
            return WindowAction::ToggleFullscreen;
        case InputRules::WindowKey::Taken:
            return WindowAction::None;
        case InputRules::WindowKey::No:
            break;
    }
    rules_.Apply(raw, out);
    return WindowAction::None;
}

}  // namespace platform::sdl
