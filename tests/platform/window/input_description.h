// Input events written out, for tests of the input rules and the back ends' translators:
// "move 10,20", "down 3,4", "key-down 0x11", "close", comparable and readable in a failure.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/window/backend.h"

namespace platform::testing {

inline std::string Describe(const InputEvent& event) {
    auto at = [&] { return std::to_string(event.x) + "," + std::to_string(event.y); };
    char key[16];
    std::snprintf(key, sizeof key, "0x%02X", event.key);
    switch (event.kind) {
        case InputKind::PointerMove:
            return "move " + at();
        case InputKind::PointerDown:
            return "down " + at();
        case InputKind::PointerUp:
            return "up " + at();
        case InputKind::KeyDown:
            return std::string("key-down ") + key;
        case InputKind::KeyUp:
            return std::string("key-up ") + key;
        case InputKind::CloseRequest:
            return "close";
    }
    return "?";
}

inline std::vector<std::string> Describe(const std::vector<InputEvent>& events) {
    std::vector<std::string> lines;
    for (const InputEvent& event : events) {
        lines.push_back(Describe(event));
    }
    return lines;
}

}  // namespace platform::testing
