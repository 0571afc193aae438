// A record kept with an image surface of where it was written since the record was last taken,
// so that whoever copies the surface on (the window manager, composing the screen) can copy just
// those rows. Drawing that says where it wrote notes rows; anything else that may write notes
// that anything may have changed. A surface nobody has asked about has no record, which counts
// as anything having changed.
#pragma once

#include <cairo.h>

#include <optional>
#include <vector>

namespace platform {

struct ChangedRow {
    int y;
    int left;
    int right;
};

// Anything in `surface` may have changed.
void NoteAnyChange(cairo_surface_t* surface);
// Columns [left, right) of row `y` of `surface` changed.
void NoteChangedRow(cairo_surface_t* surface, int y, int left, int right);
// The rows changed since the last call for `surface`, or nothing when that is not known (the
// first call, or a write that said nothing of where). A new, empty record starts.
std::optional<std::vector<ChangedRow>> TakeChanges(cairo_surface_t* surface);

}  // namespace platform
