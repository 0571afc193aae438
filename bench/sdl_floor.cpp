// The floor under showing the game: what an SDL2 program pays just to put a 480 x 640 frame on
// the screen every 50 ms and sleep in between, with nothing composed. It opens its window the
// way the game does (same hints, same renderer), uploads a whole frame with a small change each
// time and presents it. The benchmark runs it beside the game and compares CPU time, start-up
// and memory.
//
//     sdl_floor [SECONDS [REPORT_FILE]]
//
// Runs SECONDS (default 20) or until the window is closed. Writes to REPORT_FILE (default: the
// standard error) one line as soon as the first frame is on the screen,
//     first_frame_ms=<ms since the process started> first_frame_unix_ms=<wall clock, ms>
// and one at the end,
//     frames=<frames presented> mean_period_ms=<...> worst_lateness_ms=<...>
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/start_environment.h"
#include "platform/sdl/video_session.h"
#include "platform/sdl/wait_time.h"

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 640;
constexpr std::uint64_t kPeriodMs = 50;
constexpr int kSquare = 16;

double MillisOf(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Milliseconds since this process started, from the kernel's record of its start (to the clock
// tick, 10 ms on most systems) against the boot-time clock, so the time before main counts too:
// loading SDL and its libraries is part of starting.
std::optional<double> MillisSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    if (!std::getline(stat, line)) {
        return std::nullopt;
    }
    // The command name in parentheses may hold spaces; the fields after it are plain. Start time
    // is field 22: skip fields 3 to 21 after the closing parenthesis.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    for (int i = 0; i < 19 && fields >> field; ++i) {
    }
    unsigned long long startTicks = 0;
    if (!(fields >> startTicks)) {
        return std::nullopt;
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    if (ticksPerSecond <= 0) {
        return std::nullopt;
    }
    return MillisOf(CLOCK_BOOTTIME) - startTicks * 1000.0 / ticksPerSecond;
}

class Report {
  public:
    explicit Report(const char* path) {
        if (path != nullptr) {
            file_ = std::fopen(path, "w");
        }
    }
    ~Report() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    bool Open(const char* path) const { return path == nullptr || file_ != nullptr; }
    void Line(const std::string& text) {
        std::FILE* out = file_ != nullptr ? file_ : stderr;
        std::fprintf(out, "%s\n", text.c_str());
        std::fflush(out);
    }

  private:
    std::FILE* file_ = nullptr;
};

std::optional<int> ParseSeconds(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 3600) {
        return std::nullopt;
    }
    return value;
}

// A frame that changes a little each time: a small square moves along a fixed background.
class Frame {
  public:
    Frame() : pixels_(static_cast<std::size_t>(kWidth) * kHeight) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                pixels_[y * kWidth + x] = Background(x, y);
            }
        }
    }
    void Step(std::uint64_t frame) {
        Fill(x_, y_, [&](int x, int y) { return Background(x, y); });
        x_ = static_cast<int>(frame * 7 % (kWidth - kSquare));
        y_ = static_cast<int>(frame * 3 % (kHeight - kSquare));
        Fill(x_, y_, [](int, int) { return 0xFFFFFFu; });
    }
    const std::uint32_t* Pixels() const { return pixels_.data(); }

  private:
    static std::uint32_t Background(int x, int y) {
        return (y / 40) % 2 == 0 ? 0x008C3Cu : 0x007430u ^ static_cast<std::uint32_t>(x & 1);
    }
    template <typename Colour>
    void Fill(int left, int top, Colour colour) {
        for (int y = top; y < top + kSquare; ++y) {
            for (int x = left; x < left + kSquare; ++x) {
                pixels_[y * kWidth + x] = colour(x, y);
            }
        }
    }

    std::vector<std::uint32_t> pixels_;
    int x_ = 0;
    int y_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3) {
        std::fprintf(stderr, "usage: sdl_floor [SECONDS [REPORT_FILE]]\n");
        return 2;
    }
    const std::optional<int> seconds = argc > 1 ? ParseSeconds(argv[1]) : 20;
    if (!seconds) {
        std::fprintf(stderr, "sdl_floor: seconds must be a whole number from 1 to 3600, not '%s'\n",
                     argv[1]);
        return 2;
    }
    const char* reportPath = argc > 2 ? argv[2] : nullptr;
    Report report(reportPath);
    if (!report.Open(reportPath)) {
        std::fprintf(stderr, "sdl_floor: cannot write %s\n", reportPath);
        return 1;
    }

    // As the game does, so that the two start SDL the same way.
    platform::sdl::KeepSdlStartLean();
    std::string error;
    std::unique_ptr<platform::sdl::VideoSession> video = platform::sdl::VideoSession::Start(&error);
    if (!video) {
        std::fprintf(stderr, "sdl_floor: %s\n", error.c_str());
        return 1;
    }
    platform::sdl::WindowPtr window(
        SDL_CreateWindow("sdl_floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kWidth,
                         kHeight, SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
    if (!window) {
        std::fprintf(stderr, "sdl_floor: cannot open a window (%s)\n",
                     platform::sdl::SdlError().c_str());
        return 1;
    }
    platform::sdl::RendererPtr renderer = platform::sdl::CreateWindowRenderer(window.get(), &error);
    if (!renderer) {
        std::fprintf(stderr, "sdl_floor: %s\n", error.c_str());
        return 1;
    }
    platform::sdl::TexturePtr texture(SDL_CreateTexture(
        renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight));
    if (!texture) {
        std::fprintf(stderr, "sdl_floor: cannot make a texture (%s)\n",
                     platform::sdl::SdlError().c_str());
        return 1;
    }

    const std::uint64_t clockStart = SDL_GetPerformanceCounter();
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    auto nowMicros = [&] {
        return platform::sdl::TicksToMicros(SDL_GetPerformanceCounter() - clockStart, frequency);
    };
    const std::uint64_t endMs = static_cast<std::uint64_t>(*seconds) * 1000;
    Frame frame;
    std::uint64_t frames = 0;
    std::uint64_t dueMs = 0;
    std::uint64_t worstLatenessMicros = 0;
    std::uint64_t firstFrameMicros = 0;
    std::uint64_t lastFrameMicros = 0;
    bool running = true;
    while (running) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            running = running && event.type != SDL_QUIT;
        }
        const std::uint64_t now = nowMicros();
        if (now >= endMs * 1000 || !running) {
            break;
        }
        if (const std::optional<int> wait = platform::sdl::WaitTimeoutMs(now, dueMs)) {
            if (SDL_WaitEventTimeout(&event, *wait) != 0) {
                running = event.type != SDL_QUIT;
            }
            continue;
        }
        if (frames > 0) {
            // The first frame goes as soon as the window is up; lateness counts from the second.
            worstLatenessMicros = std::max(worstLatenessMicros, now - dueMs * 1000);
        }
        frame.Step(frames);
        SDL_UpdateTexture(texture.get(), nullptr, frame.Pixels(), kWidth * 4);
        SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, 255);
        SDL_RenderClear(renderer.get());
        SDL_RenderCopy(renderer.get(), texture.get(), nullptr, nullptr);
        SDL_RenderPresent(renderer.get());
        if (frames == 0) {
            firstFrameMicros = now;
            const std::optional<double> sinceStart = MillisSinceProcessStart();
            char line[128];
            std::snprintf(line, sizeof line, "first_frame_ms=%.1f first_frame_unix_ms=%.3f",
                          sinceStart.value_or(-1.0), MillisOf(CLOCK_REALTIME));
            report.Line(line);
        }
        lastFrameMicros = now;
        ++frames;
        // The next slot of the 50 ms grid after now: a late frame does not shift the grid, and a
        // stall skips the slots it missed rather than catching up in a burst.
        dueMs += kPeriodMs;
        if (dueMs * 1000 <= now) {
            dueMs = (now / 1000 / kPeriodMs + 1) * kPeriodMs;
        }
    }
    const double meanPeriodMs =
        frames > 1 ? (lastFrameMicros - firstFrameMicros) / 1000.0 / (frames - 1) : 0.0;
    char line[128];
    std::snprintf(line, sizeof line, "frames=%llu mean_period_ms=%.3f worst_lateness_ms=%.3f",
                  static_cast<unsigned long long>(frames), meanPeriodMs,
                  worstLatenessMicros / 1000.0);
    report.Line(line);
    return 0;
}
