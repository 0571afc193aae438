// Composing the screen, in three small pieces: which parts of each top-level window the screen
// shows (VisibleParts, a pure function of where the windows lie), where each window's pixels come
// from (its client surface, placed at its client origin), and the copy of those pixels into the
// screen's rows (CopyArea), which writes only what differs from the screen shown last and says
// where that was. Desktop::ComposeInto puts them together; ShownScreen tells when to. The whole
// frame's way to the display is told at the top of compositor.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gdi/pixel_rows.h"
#include "platform/win32_types.h"
#include "platform/window/screen_damage.h"
#include "platform/window/window_tree.h"

namespace platform::detail {

// One top-level window as composing sees it: where it lies on the screen, and what of that it
// paints over whatever lies below (all of it; its caption alone when it has no pixels of its own;
// nothing when hidden).
struct Layer {
    RECT bounds;
    RECT opaque;
};

// `from` less `hole`, as rectangles that do not overlap.
std::vector<RECT> Subtract(const std::vector<RECT>& from, const RECT& hole);

// For each of `layers` (bottom first), the parts of it inside `screen` that no layer above
// paints over. A window draws only there, so no pixel is written by two windows' pixels.
std::vector<std::vector<RECT>> VisibleParts(const std::vector<Layer>& layers, const RECT& screen);

// The parts of `screen` that no layer paints (black on the screen).
std::vector<RECT> Uncovered(const std::vector<Layer>& layers, const RECT& screen);

// Copies the part `area` (screen coordinates) of `source`, whose top left pixel lies at
// `origin` on the screen, into `screen`, and adds the pixels that differed to `changed`; what
// lies outside either is left alone.
void CopyArea(ConstPixelRows source, POINT origin, RECT area, PixelRows screen,
              ScreenDamage& changed);

// Sets the pixels of `area` of `screen` to `pixel`, adding those that differed to `changed`;
// what lies outside the screen is left alone.
void FillArea(PixelRows screen, RECT area, std::uint32_t pixel, ScreenDamage& changed);

// What composing draws of a window besides its client pixels: which window, where, whether it has
// pixels of its own, and the state of its caption's button. A window's title never changes.
struct SceneWindow {
    HWND handle;
    RECT bounds;
    bool hasPixels;
    bool okPressed;

    bool operator==(const SceneWindow& other) const {
        return handle == other.handle && bounds.left == other.bounds.left &&
               bounds.top == other.bounds.top && bounds.right == other.bounds.right &&
               bounds.bottom == other.bounds.bottom && hasPixels == other.hasPixels &&
               okPressed == other.okPressed;
    }
};
using Scene = std::vector<SceneWindow>;

// The visible windows of `tree` in the order they are composed.
Scene SceneOf(const WindowTree& tree);

// What the back end shows, as far as the window manager knows. Pixels change only in a paint,
// which says so; everything else composing draws is compared with the scene composed last, so
// moving, showing, hiding, raising or destroying a window needs no word of its own.
class ShownScreen {
  public:
    void Painted() { painted_ = true; }
    // True the first time: the back end shows its screen when the first top-level window does.
    bool Open() { return !std::exchange(open_, true); }
    // A top-level window is shown and no screen has been presented yet: the program's first.
    bool FirstScreenPending() const { return open_ && !presented_; }
    // The scene to compose when the screen shown is out of date.
    std::optional<Scene> Outdated(const WindowTree& tree) const;
    void Presented(Scene scene);

  private:
    Scene last_;
    bool painted_ = true;
    bool open_ = false;
    bool presented_ = false;
};

}  // namespace platform::detail
