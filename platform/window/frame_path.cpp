#include "platform/window/frame_path.h"

#include <stdexcept>

#include "platform/gdi/pixel_rows.h"
#include "platform/window/screen_damage.h"

namespace platform {

void PresentComposed(Backend& backend, cairo_surface_t* composed) {
    const ConstPixelRows from = PixelRowsOf(composed);
    const ScreenSize screen = backend.Screen();
    if (from.Empty() || from.width != screen.width || from.height != screen.height ||
        cairo_image_surface_get_format(composed) != CAIRO_FORMAT_RGB24) {
        throw std::invalid_argument(
            "the composed screen must be an RGB24 image of the screen's size");
    }
    cairo_surface_t* shown = backend.ScreenBuffer();
    const PixelRows to = PixelRowsOf(shown);
    if (to.width != screen.width || to.height != screen.height) {
        throw std::runtime_error("the back end has no image of the screen to show");
    }
    const ScreenDamage changed = CopyChangedRows(from, to);
    cairo_surface_mark_dirty(shown);
    backend.Present(changed);
}

}  // namespace platform
