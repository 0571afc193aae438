// Keeping SDL's start from launching a message bus for the desktop.
#pragma once

namespace platform::sdl {

// Where no session bus is named (DBUS_SESSION_BUS_ADDRESS) nor found where a user session puts
// one ($XDG_RUNTIME_DIR/bus), libdbus, which SDL's video start calls on, forks and runs
// dbus-launch to start a bus of its own. A game needs nothing of a bus it would start (SDL
// uses one for input methods and screensaver inhibition, and we use neither), and a fork while
// another thread holds a lock of the allocator can leave that child stuck, and SDL waiting for
// it, where the allocator has no fork handler (a sanitizer's). So, in that case only, the bus
// address is set to one libdbus cannot open, and SDL goes on without a bus. A session bus that
// is there is used as before.
//
// Changes the environment: call it before any thread starts.
void KeepSessionBusFromLaunching();

// The address set where no bus is there; libdbus knows no such transport and fails at once.
inline constexpr const char* kNoSessionBus = "disabled:";

}  // namespace platform::sdl
