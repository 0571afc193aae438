// The web page's back end: the device screen on a canvas, input from the page's pointer and key
// events, the browser's clock. The page's script (web/tarvel-page.js) owns the canvas and queues
// the events; this side takes them and hands back frames.
//
// The message loop runs as written: when it has nothing to do, WaitForInput gives the browser
// its turn (the program is built with Asyncify, which unwinds the stack to the page's event loop
// and rewinds it when the wait is over), until input arrives or the deadline passes.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/cairo_handles.h"
#include "platform/gdi/pixel_rows.h"
#include "platform/web/dom_input.h"
#include "platform/window/backend.h"
#include "platform/window/screen_damage.h"

namespace platform {

class WebBackend final : public Backend {
  public:
    // The device screen, fixed for the run; the page's canvas gets its size.
    explicit WebBackend(ScreenSize screen);

    // Whether the program showed its screen (a second copy that hands over to the first never
    // does).
    bool ScreenShown() const { return shown_; }

    ScreenSize Screen() const override { return screen_; }
    Millis Now() override;
    std::vector<InputEvent> WaitForInput(std::optional<Millis> deadline) override;
    cairo_surface_t* ScreenBuffer() override;
    // Converts and hands the page only the rows that changed (all of them the first time).
    void Present(const ScreenDamage& changed) override;
    void ShowScreen() override;
    void Raise() override;

  private:
    std::vector<InputEvent> TakeInput();

    ScreenSize screen_;
    double start_;
    web::DomInputTranslator translator_;
    // Turns `part` of the composed screen into the canvas's bytes.
    void Convert(ConstPixelRows screen, const RECT& part);

    // The frame as the canvas takes it, bytes R, G, B, A, kept from frame to frame; the screen
    // composed, kept likewise, so a frame converts and hands over only what changed.
    std::vector<std::uint8_t> rgba_;
    SurfacePtr composed_;
    // What the canvas holds: nothing of ours until the first frame, which goes whole.
    SentScreen canvas_;
    bool shown_ = false;
};

}  // namespace platform
