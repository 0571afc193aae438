// A record kept with an image surface of where it was written, so that whoever copies the
// surface on needs to copy only what changed since it last did: BitBlt, copying a picture over
// its own earlier copy (the background over the last frame, the frame over the window), and the
// window manager, composing the screen. Drawing that says where it writes notes rows; anything
// else that may write notes that anything may have changed. Only surfaces somebody tracks keep a
// record; the rest count as changed anywhere.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <optional>
#include <vector>

namespace platform {

struct ChangedRow {
    int y;
    int left;
    int right;
};

// Where a surface's record stood: which record (0 for none) and how many changes it had seen.
struct SurfaceStanding {
    std::uint64_t record = 0;
    std::uint64_t changes = 0;
};

// Keeps a record for `surface` from now on (if it has none yet) and says where it stands.
SurfaceStanding Track(cairo_surface_t* surface);

// Anything in `surface` may have changed.
void NoteAnyChange(cairo_surface_t* surface);
// Columns [left, right) of row `y`, or of rows [top, bottom), changed.
void NoteChangedRow(cairo_surface_t* surface, int y, int left, int right);
void NoteChangedRect(cairo_surface_t* surface, int left, int top, int right, int bottom);

// The rows changed in `surface` since it stood at `since`; nothing when that is not known (another
// record, a change noted as anywhere, or more changes since than a record keeps).
std::optional<std::vector<ChangedRow>> ChangesSince(cairo_surface_t* surface,
                                                    SurfaceStanding since);

// The part `area` of `copy` is now a copy of the same part of `original` (same place in both).
struct CopiedArea {
    int left;
    int top;
    int right;
    int bottom;
};
void NoteCopyOf(cairo_surface_t* copy, cairo_surface_t* original, CopiedArea area);
// Where `area` of `copy` may differ from the same of `original`, when it was made a copy of it
// last time and the changes to both since are known; nothing otherwise. The rows may reach
// outside `area`.
std::optional<std::vector<ChangedRow>> DifferencesFromOriginal(cairo_surface_t* copy,
                                                               cairo_surface_t* original,
                                                               CopiedArea area);

}  // namespace platform
