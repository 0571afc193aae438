// SDL events made by hand, for tests of the SDL back end.
#pragma once

#include <SDL.h>

namespace platform::sdl::testing {

inline SDL_Event KeyEvent(Uint32 type, SDL_Keycode code, Uint16 modifiers = KMOD_NONE,
                          Uint8 repeat = 0) {
    SDL_Event event{};
    event.key.type = type;
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.keysym.sym = code;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(code);
    event.key.keysym.mod = modifiers;
    return event;
}

inline SDL_Event MouseMotion(int x, int y, Uint32 which = 0) {
    SDL_Event event{};
    event.motion.type = SDL_MOUSEMOTION;
    event.motion.which = which;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

inline SDL_Event MouseButton(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT,
                             Uint32 which = 0) {
    SDL_Event event{};
    event.button.type = type;
    event.button.which = which;
    event.button.button = button;
    event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return event;
}

inline SDL_Event Finger(Uint32 type, SDL_FingerID id, float x, float y) {
    SDL_Event event{};
    event.tfinger.type = type;
    event.tfinger.touchId = 1;
    event.tfinger.fingerId = id;
    event.tfinger.x = x;
    event.tfinger.y = y;
    event.tfinger.pressure = 1.0f;
    return event;
}

inline SDL_Event WindowEvent(Uint8 what) {
    SDL_Event event{};
    event.window.type = SDL_WINDOWEVENT;
    event.window.event = what;
    return event;
}

}  // namespace platform::sdl::testing
