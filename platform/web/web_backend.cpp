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
EM_JS(void, tarvel_page_present, (const std::uint8_t* rgba, int width, int height,
                                  const int* parts, int count), {
    TarvelPage.present(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height,
                       HEAP32.subarray(parts >> 2, (parts >> 2) + count * 4));
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
    // The screen is composed in an image of its own, which keeps it from frame to frame, so
    // that only the rows that changed are turned into the canvas's order and handed over.
    if (!composed_) {
        composed_ = MakeImageSurface(screen_.width, screen_.height);
    }
    return composed_.get();
}

void WebBackend::Convert(ConstPixelRows screen, const RECT& part) {
    for (int y = part.top; y < part.bottom; ++y) {
        RgbToCanvasBytes(
            reinterpret_cast<const std::uint8_t*>(screen.Row(y) + part.left), screen.stride,
            part.right - part.left, 1,
            rgba_.data() + (static_cast<std::size_t>(y) * screen_.width + part.left) * 4);
    }
}

void WebBackend::Present(const ScreenDamage& changed) {
    const ConstPixelRows screen = PixelRowsOf(ScreenBuffer());
    if (screen.Empty()) {
        return;
    }
    std::vector<int> parts;
    for (const RECT& band : canvas_.PartsToSend(changed, screen_)) {
        Convert(screen, band);
        parts.insert(parts.end(),
                     {band.left, band.top, band.right - band.left, band.bottom - band.top});
    }
    if (!parts.empty()) {
        tarvel_page_present(rgba_.data(), screen_.width, screen_.height, parts.data(),
                            static_cast<int>(parts.size() / 4));
    }
}

void WebBackend::ShowScreen() {
    shown_ = true;
    tarvel_page_show();
}

void WebBackend::Raise() {
    tarvel_page_raise();
}

}  // namespace platform
