// The desktop runtime entry: reads the command line, opens the device screen in a desktop window,
// and runs the program on it as the device's runtime would: statics zeroed, WinMain, its result
// as the exit code.
//
// Two hooks for the benchmark (bench/desktop_bench.py), off unless named in the environment:
//   TARVEL_REPORT_FIRST_FRAME=FILE  writes "first_frame_unix_ms=<wall clock, ms>" to FILE as soon
//                                   as the first frame is on the screen;
//   TARVEL_REPORT_TIMER=FILE        writes "ticks=<n> mean_period_ms=<..> worst_lateness_ms=<..>"
//                                   to FILE at the end: the game timer's messages as the loop took
//                                   them, lateness counted from the slot each was due at.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/program_state.h"
#include "app/replay_files.h"
#include "app/win_main.h"
#include "platform/gdi/drawing_preparation.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/start_environment.h"
#include "platform/sdl/video_session.h"
#include "platform/window/window_system.h"
#include "resources/tarvel_resources.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoDisplay = 1;

// The desktop the window shows on, named the same way by every copy of the program, so that a
// second start finds the first on the same display and on no other: from the driver SDL is to
// try first, known before SDL has started. None for SDL's other drivers, whose windows no one
// sees.
std::optional<std::string> DesktopName() {
    const std::string driver = platform::sdl::VideoSession::ChosenDriver();
    const std::string_view name(driver);
    const char* variable = name == "x11"       ? "DISPLAY"
                           : name == "wayland" ? "WAYLAND_DISPLAY"
                                               : nullptr;
    const char* display = variable == nullptr ? nullptr : std::getenv(variable);
    if (display == nullptr || *display == '\0') {
        return std::nullopt;
    }
    std::string place(display);
    // ":0" and ":0.0" are the same X display (the part after the dot picks a screen of it).
    if (name == "x11") {
        const std::size_t colon = place.rfind(':');
        const std::size_t dot = place.rfind('.');
        if (colon != std::string::npos && dot != std::string::npos && dot > colon) {
            place.erase(dot);
        }
    }
    return std::string(name) + " " + place;
}

const char* HookFile(const char* variable) {
    const char* path = std::getenv(variable);
    return path != nullptr && *path != '\0' ? path : nullptr;
}

void WriteReport(const char* path, const std::string& line) {
    if (std::FILE* file = std::fopen(path, "w")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    } else {
        std::fprintf(stderr, "tarvel: cannot write %s\n", path);
    }
}

double WallClockMillis() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The timer's regularity over a run: periods from a microsecond clock, lateness from the window
// manager's millisecond clock against the slot each tick was due at.
class TimerRecord {
  public:
    void Taken(const platform::TimerTaken& tick) {
        const auto now = std::chrono::steady_clock::now();
        if (ticks_ == 0) {
            first_ = now;
        }
        last_ = now;
        ++ticks_;
        worstLatenessMs_ = std::max(worstLatenessMs_, tick.taken - tick.due);
    }
    std::string Summary() const {
        const double spanMs = std::chrono::duration<double, std::milli>(last_ - first_).count();
        char line[128];
        std::snprintf(line, sizeof line, "ticks=%llu mean_period_ms=%.3f worst_lateness_ms=%llu",
                      static_cast<unsigned long long>(ticks_),
                      ticks_ > 1 ? spanMs / static_cast<double>(ticks_ - 1) : 0.0,
                      static_cast<unsigned long long>(worstLatenessMs_));
        return line;
    }

  private:
    std::uint64_t ticks_ = 0;
    std::chrono::steady_clock::time_point first_;
    std::chrono::steady_clock::time_point last_;
    platform::Millis worstLatenessMs_ = 0;
};

// The window as the command line asks for it, with the game's icon and, for the tests, a report
// of when the first frame showed.
platform::SdlOptions DisplayOptions(const CommandLine& options) {
    platform::SdlOptions display;
    display.screen = {options.screenWidth, options.screenHeight};
    display.scale = options.scale;
    display.fullscreen = options.fullscreen;
    display.title = "Tarvel";
    // The icon is our own resource, so it converts; should it not, the game still runs, without
    // one, and says why.
    std::string iconError;
    display.icon = platform::WindowIconFromResource(resources::TarvelIcon(), &iconError);
    if (!display.icon) {
        std::fprintf(stderr, "tarvel: warning: no window icon: %s\n", iconError.c_str());
    }
    if (const char* path = HookFile("TARVEL_REPORT_FIRST_FRAME")) {
        display.firstFramePresented = [path] {
            char line[64];
            std::snprintf(line, sizeof line, "first_frame_unix_ms=%.3f", WallClockMillis());
            WriteReport(path, line);
        };
    }
    return display;
}

}  // namespace

int main(int argc, char** argv) {
    const CommandLineResult parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "tarvel: %s\nTry 'tarvel --help' for more information.\n",
                     parsed.error.c_str());
        return kExitUsage;
    }
    if (parsed.options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }

    CommandLine options = parsed.options;
    RunRecording recording;
    std::string error;
    std::string warning;
    if (!recording.Prepare(options, &error, &warning)) {
        std::fprintf(stderr, "tarvel: %s\n", error.c_str());
        return kExitUsage;
    }
    if (!warning.empty()) {
        std::fprintf(stderr, "tarvel: warning: %s\n", warning.c_str());
    }
    if (const Replay* replay = recording.replay()) {
        // A replay shows on the screen it was played on.
        options.screenWidth = static_cast<int>(replay->screenWidth);
        options.screenHeight = static_cast<int>(replay->screenHeight);
    }

    // Before the first thread, as it sets environment variables.
    platform::sdl::KeepSdlStartLean();
    // Fonts load while the window opens.
    platform::DrawingPreparation drawing;
    const platform::SdlOptions display = DisplayOptions(options);
    std::unique_ptr<platform::SdlBackend> backend = platform::SdlBackend::Create(display, &error);
    if (backend == nullptr) {
        std::fprintf(stderr, "tarvel: %s\n", error.c_str());
        return kExitNoDisplay;
    }

    drawing.Wait();
    const char* timerReport = HookFile("TARVEL_REPORT_TIMER");
    TimerRecord timer;
    const std::optional<std::string> desktop = DesktopName();
    platform::WindowSystem windows =
        desktop ? platform::WindowSystem(*backend, *desktop) : platform::WindowSystem(*backend);
    if (timerReport != nullptr) {
        windows.ObserveTimers([&timer](const platform::TimerTaken& tick) { timer.Taken(tick); });
    }
    const HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    ResetProgramState();
    recording.Attach("linux", [&](const std::string& status, bool final) {
        SDL_SetWindowTitle(backend->Window(), ("Tarvel: " + status).c_str());
        if (final) {
            std::fprintf(stderr, "tarvel: %s: %s\n", options.replayPath.c_str(), status.c_str());
        }
    });
    int status = 0;
    try {
        status = WinMain(instance, nullptr, nullptr, SW_SHOW);
    } catch (const platform::DisplayUnavailable& unavailable) {
        std::fprintf(stderr, "tarvel: %s\n", unavailable.what());
        return kExitNoDisplay;
    }
    status = recording.Finish(status, &warning);
    if (!warning.empty()) {
        std::fprintf(stderr, "tarvel: warning: %s\n", warning.c_str());
    }
    if (timerReport != nullptr) {
        WriteReport(timerReport, timer.Summary());
    }
    return status;
}
