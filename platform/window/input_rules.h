// The input rules every back end follows, written once. A back end only converts its own events
// (SDL's, the web page's, Windows' messages) to RawInput and hands them here; what comes out is
// what the window manager (or, on Windows, the game's window procedure) gets.
//
// Pointer: the first pointer down on the screen is the stylus until it lifts (or the system
// cancels it); other pointers are ignored meanwhile. While no pointer is down, any pointer that
// moves steers: a mouse steers by hovering, since holding a button to steer tires the hand, and
// a finger that went down on the bars steers once it slides onto the screen. A move off the
// screen follows its edge; a press off the screen does nothing, and neither does the release
// that ends it.
//
// Keys: a key goes down and up once each (auto-repeat is dropped, or a held Ctrl+A would open the
// About box again and again). Keys with one virtual key (the two Controls, Shifts and Alts) are
// one key, down while either is held. When the back end loses the keyboard every held key is
// released, since their real releases go elsewhere.
//
// Full screen: F11, and Enter with Alt held, belong to a desktop window (they put it full screen
// and back) and never reach the program; nor do their repeats and releases. Enter already held
// when Alt goes down stays the program's.
//
// Plain C++ on plain values, so that the Windows build, which has the real <windows.h>, builds
// them too.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/display/letterbox.h"
#include "platform/window/input_event.h"

namespace platform {

enum class RawInputKind {
    PointerDown,
    PointerMove,
    PointerUp,
    // The system took the pointer over (a browser's scroll or zoom): it lifts.
    PointerCancel,
    KeyDown,
    KeyUp,
    // The back end lost the keyboard.
    FocusLost,
    // The user asked to close the program from outside it.
    CloseRequest,
};

// Tells pointers apart. SDL numbers the mouse apart from the fingers; the web page numbers every
// pointer, its mouse included, in one series.
struct PointerId {
    bool mouse = false;
    std::int64_t id = 0;
    bool operator==(const PointerId&) const = default;
};

// One event as a back end saw it, in the platform's terms.
struct RawInput {
    RawInputKind kind;
    PointerId pointer = {};
    // Pointer events: the device pixel under the pointer, clamped to the screen, or nothing when
    // there is no screen to point at (a window shrunk to nothing).
    std::optional<DevicePoint> at = {};
    // Pointer down and up: the main button (a mouse's left button, a touch, a pen's tip).
    bool mainButton = true;
    // Keys: the key as the back end names it (telling apart keys that share a virtual key), its
    // virtual key, and whether this is an auto-repeat of it held down.
    std::int64_t key = 0;
    std::uint32_t virtualKey = 0;
    bool repeat = false;
};

// The virtual keys of the full-screen keys.
inline constexpr std::uint32_t kVirtualKeyF11 = 0x7A;
inline constexpr std::uint32_t kVirtualKeyEnter = 0x0D;

class InputRules {
  public:
    // Appends the input `event` gives to `out`.
    void Apply(const RawInput& event, std::vector<InputEvent>& out);

    // Asked of every key event before Apply: whether it is the desktop window's, and whether it
    // puts the window full screen or back. One that is goes no further.
    enum class WindowKey { No, Taken, ToggleFullScreen };
    WindowKey TakeWindowKey(const RawInput& key, bool altHeld);

    // Whether the back end's key `key` went down here and has not come up.
    bool KeyHeld(std::int64_t key) const { return heldKeys_.contains(key); }

  private:
    void Pointer(const RawInput& event, std::vector<InputEvent>& out);
    void KeyDown(const RawInput& event, std::vector<InputEvent>& out);
    void KeyUp(const RawInput& event, std::vector<InputEvent>& out);
    void ReleaseKeys(std::vector<InputEvent>& out);
    bool VirtualKeyHeld(std::uint32_t virtualKey) const;

    // The pointer that is the stylus while it touches.
    std::optional<PointerId> stylus_;
    // The back end's keys reported down and not yet up, with their virtual keys.
    std::map<std::int64_t, std::uint32_t> heldKeys_;
    // Full-screen keys gone down and not yet up.
    std::set<std::int64_t> windowKeys_;
};

}  // namespace platform
