// The seam between the window manager and whatever shows its screen and feeds it input: a clock,
// a wait for input with a deadline, and a place to show the composed screen. The headless back
// end (a screen in memory, injected input, a clock the test advances) and a desktop back end both
// sit behind it.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/display/screen_limits.h"
#include "platform/win32_types.h"
#include "platform/window/input_event.h"
#include "platform/window/screen_damage.h"

namespace platform {

using Millis = std::uint64_t;

class Backend {
  public:
    virtual ~Backend() = default;

    // The screen in physical pixels; fixed for the life of the back end.
    virtual ScreenSize Screen() const = 0;

    // Milliseconds from an arbitrary start; never goes back.
    virtual Millis Now() = 0;

    // Returns the input that has arrived, waiting for some until `deadline` (a time of Now()).
    // A deadline at or before Now() only polls; no deadline waits until input arrives.
    virtual std::vector<InputEvent> WaitForInput(std::optional<Millis> deadline) = 0;

    // The screen the back end lends the window manager: a CAIRO_FORMAT_RGB24 image of Screen()
    // size that the back end keeps and nothing but the window manager writes, so it holds the
    // screen last presented (black before the first). Null only when memory runs out.
    virtual cairo_surface_t* ScreenBuffer() = 0;

    // Shows ScreenBuffer(), of which only `changed` differs from the screen presented last. A
    // back end that can show a part of the screen alone shows only that; one whose display has
    // lost what it showed shows all of it.
    virtual void Present(const ScreenDamage& changed) = 0;

    // Called once, when the first top-level window is shown. A back end whose screen is a window
    // on a desktop keeps that window hidden until then, so that a program that leaves without
    // showing anything (a second copy handing over to the first) never appears.
    virtual void ShowScreen() {}

    // Brings what shows the screen in front of the desktop's other windows, when another process
    // asks this one's window to come to the front. Nothing to do where the screen is the only
    // one.
    virtual void Raise() {}
};

}  // namespace platform
