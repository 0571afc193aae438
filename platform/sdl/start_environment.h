// The environment SDL's video start reads, set so that it does no work the game has no use for.
#pragma once

namespace platform::sdl {

// Both of the below, for a program that shows a window and reads keys but never text. Changes
// the environment: call it before any thread starts.
void KeepSdlStartLean();

// Where no session bus is named (DBUS_SESSION_BUS_ADDRESS) nor found where a user session puts
// one ($XDG_RUNTIME_DIR/bus), libdbus, which SDL's video start calls on, forks and runs
// dbus-launch to start a bus of its own. A game needs nothing of a bus it would start (SDL
// uses one for input methods and screensaver inhibition, and we use neither), and a fork while
// another thread holds a lock of the allocator can leave that child stuck, and SDL waiting for
// it, where the allocator has no fork handler (a sanitizer's). So, in that case only, the bus
// address is set to one libdbus cannot open, and SDL goes on without a bus. A session bus that
// is there is used as before.
void KeepSessionBusFromLaunching();

// SDL opens the desktop's input method for text input, and Xlib (or xkbcommon, on Wayland)
// then parses the locale's compose table, half a megabyte of text read a character at a time:
// the largest part of SDL's start, longer still while another thread runs. Compose sequences
// only ever make text, which the game never reads (its keys are Ctrl+A, Ctrl+Q, F1, F2 and
// Esc), so the table named is an empty one.
void SkipComposeTable();

// The address set where no bus is there; libdbus knows no such transport and fails at once.
inline constexpr const char* kNoSessionBus = "disabled:";
// The compose table SkipComposeTable names.
inline constexpr const char* kEmptyComposeTable = "/dev/null";

}  // namespace platform::sdl
