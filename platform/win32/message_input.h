// Windows' pointer and key messages to the main window as the platform's input, the way every
// host's events are: each is converted to a RawInput and handed to the input rules
// (platform/window/input_rules.h); what they let through goes to the program's procedure as the
// messages it knows. The device screen (device_screen.cpp) feeds it the main window's messages.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/window/input_rules.h"

namespace platform::win32 {

// A message as the program's procedure gets it.
struct ProgramMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// `message` as input, or nothing for a message that is not: the left button's and the mouse's
// moves (at `at`, the device pixel under the pointer), keys (told apart by scan code, so the two
// Controls are two keys of one virtual key) and the loss of the keyboard (to another window, or
// to a menu's loop, which takes the keys' releases).
std::optional<RawInput> RawInputOf(UINT message, WPARAM wParam, LPARAM lParam,
                                   std::optional<DevicePoint> at);

// Whether Alt was held when the key message with `lParam` was sent.
bool AltHeld(LPARAM lParam);

// An event the rules let through, as the message that gives it to the program. It came of
// message `from` with `wParam` and `lParam` (a key released on the loss of the keyboard came of
// WM_KILLFOCUS or WM_ENTERMENULOOP); a key keeps the system form of the message it came of
// (WM_SYSKEYDOWN), so that Alt+F4 still closes the window.
ProgramMessage MessageOf(const InputEvent& event, UINT from, WPARAM wParam, LPARAM lParam);

}  // namespace platform::win32
