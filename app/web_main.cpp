// The web page's runtime entry: reads the page's address options, shows the device screen on the
// page's canvas (the one the address names, else one shaped as the device's for the viewport), and
// runs the program on it as the device's runtime would: statics zeroed, WinMain, its result handed
// to the page, which then shows its end screen.
#include <emscripten.h>

#include <optional>
#include <string>

#include "app/page_query.h"
#include "app/page_replay.h"
#include "app/page_screen.h"
#include "app/program_state.h"
#include "app/win_main.h"
#include "platform/gdi/drawing_preparation.h"
#include "platform/web/web_backend.h"
#include "platform/window/window_system.h"
#include "resources/tarvel_resources.h"

// The page's side, in web/tarvel-page.js.
// clang-format off
EM_JS(int, tarvel_page_query, (char* buffer, int capacity), {
    stringToUTF8(location.search, buffer, capacity);
    return lengthBytesUTF8(location.search);
});
EM_JS(void, tarvel_page_viewport, (int* width, int* height), {
    const size = TarvelPage.viewport();
    HEAP32[width >> 2] = size[0];
    HEAP32[height >> 2] = size[1];
});
EM_JS(void, tarvel_page_note, (const char* message), {
    console.info(UTF8ToString(message));
});
EM_JS(void, tarvel_page_refuse, (const char* message), {
    TarvelPage.refuse(UTF8ToString(message));
});
EM_JS(void, tarvel_page_timer_taken, (double due, double taken), {
    TarvelPage.timerTaken(due, taken);
});
EM_JS(void, tarvel_page_ended, (int status, int shown), {
    TarvelPage.ended(status, shown !== 0);
});
// clang-format on

namespace {

constexpr int kExitRefused = 2;

std::string TakeQuery() {
    std::string query(256, '\0');
    for (;;) {
        const int length = tarvel_page_query(query.data(), static_cast<int>(query.size()));
        if (length < static_cast<int>(query.size())) {
            query.resize(static_cast<std::size_t>(length));
            return query;
        }
        query.resize(static_cast<std::size_t>(length) + 1);
    }
}

// The device-shaped screen for the page's viewport.
platform::ScreenSize ViewportScreen() {
    int width = 0;
    int height = 0;
    tarvel_page_viewport(&width, &height);
    return PageScreenFor(width, height);
}

// The screen the address names, else the viewport's; none, after telling the page why, when the
// address gives one of the page's options a bad value. Others' parameters get a line in the
// console.
[[gnu::cold, gnu::noinline]] std::optional<platform::ScreenSize> ScreenFromAddress() {
    const PageQueryResult query = ParsePageQuery(TakeQuery());
    if (!query.ok) {
        tarvel_page_refuse(query.error.c_str());
        return std::nullopt;
    }
    if (!query.ignored.empty()) {
        std::string note = "Tarvel passes over the address's";
        for (const std::string& name : query.ignored) {
            note += (&name == &query.ignored.front() ? " " : ", ") + name;
        }
        tarvel_page_note((note + ": not options of the page.").c_str());
    }
    return query.options.screen.value_or(ViewportScreen());
}

// What WinMain runs on. Made and unmade out of line: every wait of the program unwinds main and
// rewinds it, so main is kept to the call of WinMain, and the browser does not compile all of
// the start-up again when main runs hot.
class PageRuntime {
  public:
    [[gnu::cold, gnu::noinline]] explicit PageRuntime(platform::ScreenSize screen)
        : backend_(screen) {
        drawing_.Wait();
        // Tabs of the same origin share one desktop: a second tab finds the game in the first.
        windows_.emplace(backend_, "web");
        windows_->ObserveTimers([](const platform::TimerTaken& tick) {
            tarvel_page_timer_taken(static_cast<double>(tick.due), static_cast<double>(tick.taken));
        });
        instance_ = platform::RegisterModule(resources::TarvelResourceModule());
        ResetProgramState();
    }
    [[gnu::cold, gnu::noinline]] ~PageRuntime() = default;
    PageRuntime(const PageRuntime&) = delete;
    PageRuntime& operator=(const PageRuntime&) = delete;

    HINSTANCE Instance() const { return instance_; }
    bool ScreenShown() const { return backend_.ScreenShown(); }

  private:
    platform::DrawingPreparation drawing_;
    platform::WebBackend backend_;
    std::optional<platform::WindowSystem> windows_;
    HINSTANCE instance_ = nullptr;
};

}  // namespace

int main() {
    std::optional<platform::ScreenSize> screen = ScreenFromAddress();
    PageReplay replay;
    if (!screen || !replay.Prepare(&*screen)) {
        return kExitRefused;
    }
    PageRuntime runtime(*screen);
    replay.Attach();
    const int status = WinMain(runtime.Instance(), nullptr, nullptr, SW_SHOW);
    replay.Finish();
    tarvel_page_ended(status, runtime.ScreenShown() ? 1 : 0);
    return status;
}
