// The simulator's stand-in for the game window: a W x H surface in memory that the real painters
// draw into, as the first paint and every later paint would.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "game/match_state.h"
#include "render/paint_resources.h"

class HeadlessDisplay {
  public:
    HeadlessDisplay() = default;
    HeadlessDisplay(const HeadlessDisplay&) = delete;
    HeadlessDisplay& operator=(const HeadlessDisplay&) = delete;
    // Releases the drawing resources as the program does when its loop ends, and also what the
    // program leaves to the end of the process (its bitmaps and the background's brush).
    ~HeadlessDisplay();

    // The first paint's set-up on a window of width x height: starts the match and paints the
    // pitch background, which stores the goal depth. False, with the reason, when the surfaces
    // cannot be made; the match is then left unstarted.
    bool FirstPaint(MatchState& state, std::int32_t width, std::int32_t height, std::string* error);

    // One frame painted into the window. With a path, the window is then written as PNG.
    bool Paint(MatchState& state, const std::string& pngPath, std::string* error);

    bool started() const { return window_ != nullptr; }

  private:
    struct SurfaceRelease {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    std::unique_ptr<cairo_surface_t, SurfaceRelease> window_;
    PaintResources resources_{};
};
