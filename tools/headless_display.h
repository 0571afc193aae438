// The simulator's stand-in for the game window: a W x H surface in memory that the real painters
// draw into, as the first paint and every later paint would.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

#include "game/match_state.h"
#include "render/paint_resources.h"
#include "tools/script_display.h"

class HeadlessDisplay final : public ScriptDisplay {
  public:
    HeadlessDisplay() = default;
    // Releases the drawing resources as the program does when its loop ends, and also what the
    // program leaves to the end of the process (its bitmaps and the background's brush).
    ~HeadlessDisplay() override;

    bool FirstPaint(MatchState& state, std::int32_t width, std::int32_t height,
                    std::string* error) override;
    bool Paint(MatchState& state, const std::string& pngPath, std::string* error) override;
    bool started() const override { return window_ != nullptr; }

  private:
    struct SurfaceRelease {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    std::unique_ptr<cairo_surface_t, SurfaceRelease> window_;
    PaintResources resources_{};
};
