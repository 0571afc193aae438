// One input event as the window manager takes it: plain values, so the input rules that make
// them (input_rules.h) build on every host, Windows' included.
#pragma once

#include <cstdint>

namespace platform {

enum class InputKind {
    PointerMove,
    PointerDown,
    PointerUp,
    KeyDown,
    KeyUp,
    // The user asked to close the program from outside it (a desktop window's close button).
    CloseRequest,
};

// One input event. Pointer positions are in screen pixels; keys are virtual-key codes (letters
// and digits as their upper-case characters, the soft keys as VK_F1 and VK_F2).
struct InputEvent {
    InputKind kind;
    int x = 0;
    int y = 0;
    std::uint32_t key = 0;
};

}  // namespace platform
