#include "platform/web/web_backend.h"

#include <emscripten.h>

#include "platform/web/canvas_pixels.h"
#include "platform/web/dom_input.h"
#include "platform/window/window_types.h"

// The page's side of the seam, in web/tarvel-page.js.
// clang-format off
EM_JS(void, tarvel_page_open, (int width, int height), { TarvelPage.open(width, height); });
EM_JS(double, tarvel_page_now, (), { return performance.now(); });
EM_ASYNC_JS(void, tarvel_page_wait, (double due), {
    await TarvelPage.wait(due);
});
EM_JS(int, tarvel_page_take_input, (int* events, int capacity), {
    return TarvelPage.takeInput(HEAP32, events >> 2, capacity);
});
EM_JS(void, tarvel_page_present, (const std::uint8_t* rgba, int width, int height), {
    TarvelPage.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, tarvel_page_show, (), { TarvelPage.show(); });
EM_JS(void, tarvel_page_raise, (), { TarvelPage.raise(); });
// clang-format on

namespace platform {
namespace {

// Each page event crosses as six ints: kind, id, x, y, repeat, main button (see DomEvent).
constexpr int kIntsPerEvent = 6;
constexpr int kEventsPerTake = 64;

}  // namespace

WebBackend::WebBackend(ScreenSize screen)
    : screen_(screen),
      start_(tarvel_page_now()),
      translator_(screen),
      rgba_(static_cast<std::size_t>(screen.width) * static_cast<std::size_t>(screen.height) * 4) {
    tarvel_page_open(screen.width, screen.height);
}

Millis WebBackend::Now() {
    const double elapsed = tarvel_page_now() - start_;
    return elapsed > 0 ? static_cast<Millis>(elapsed) : 0;
}

std::vector<InputEvent> WebBackend::TakeInput() {
    std::vector<InputEvent> events;
    int raw[kEventsPerTake * kIntsPerEvent];
    for (;;) {
        const int count = tarvel_page_take_input(raw, kEventsPerTake);
        for (int i = 0; i < count; ++i) {
            const int* record = raw + i * kIntsPerEvent;
            if (record[0] < static_cast<int>(web::DomEventKind::PointerDown) ||
                record[0] > static_cast<int>(web::DomEventKind::CloseRequest)) {
                continue;
            }
            web::DomEvent event{static_cast<web::DomEventKind>(record[0]),
                                record[1],
                                record[2],
                                record[3],
                                record[4] != 0,
                                record[5] != 0};
            translator_.Translate(event, events);
        }
        if (count < kEventsPerTake) {
            return events;
        }
    }
}

std::vector<InputEvent> WebBackend::WaitForInput(std::optional<Millis> deadline) {
    std::vector<InputEvent> events = TakeInput();
    const Millis now = Now();
    if (!events.empty() || (deadline && *deadline <= now)) {
        return events;
    }
    // The deadline as the page's clock tells it: a wait that input cut short leaves its timer
    // running, and the next wait for the same tick takes it over instead of setting another.
    tarvel_page_wait(deadline ? start_ + static_cast<double>(*deadline) : -1.0);
    return TakeInput();
}

cairo_surface_t* WebBackend::ScreenBuffer() {
    // The screen is composed over the very bytes the canvas takes, and turned into the canvas's
    // order where it lies: a frame crosses memory once less than through a second buffer.
    if (!buffer_) {
        buffer_ =
            MakeImageSurfaceOver(rgba_.data(), screen_.width, screen_.height, screen_.width * 4);
    }
    return buffer_.get();
}

void WebBackend::Present(cairo_surface_t* screen) {
    if (screen == nullptr || cairo_image_surface_get_width(screen) != screen_.width ||
        cairo_image_surface_get_height(screen) != screen_.height) {
        return;
    }
    cairo_surface_flush(screen);
    RgbToCanvasBytes(cairo_image_surface_get_data(screen), cairo_image_surface_get_stride(screen),
                     screen_.width, screen_.height, rgba_.data());
    if (screen == buffer_.get()) {
        cairo_surface_mark_dirty(screen);  // its bytes changed behind cairo's back
    }
    tarvel_page_present(rgba_.data(), screen_.width, screen_.height);
}

void WebBackend::ShowScreen() {
    shown_ = true;
    tarvel_page_show();
}

void WebBackend::Raise() {
    tarvel_page_raise();
}

}  // namespace platform
