// Fuzzes the whole program on the headless back end: a screen size, then any sequence of pointer
// moves, presses, releases, taps, keys, close requests and clock steps, delivered at their times
// while the real WinMain runs its loop. The input ends with close requests until the program has
// gone. It must never crash or stall, WinMain must return 0, and afterwards exactly what the
// program leaves to the end of the process may still be alive: the two off-screen bitmaps and the
// background's grey brush. The fuzzer then deletes those three itself, so that every input starts
// from the same count and memory does not pile up over millions of runs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "app/program_state.h"
#include "app/win_main.h"
#include "fuzz/byte_reader.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/gdi_debug.h"
#include "platform/window/headless_backend.h"
#include "platform/window/window_system.h"
#include "resources/tarvel_resources.h"

namespace {

using platform::GdiObjectCounts;
using platform::HeadlessBackend;
using platform::Millis;

// Simulated time per input: about sixty game ticks, each painted.
constexpr Millis kMaxClock = 3000;
constexpr Millis kCloseRetry = 20;
constexpr int kCloseAttempts = 8;
constexpr Millis kEndGrace = 1000;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "window system: %s\n", what.c_str());
    std::abort();
}

std::string Describe(const GdiObjectCounts& c) {
    return std::to_string(c.deviceContexts) + " DCs, " + std::to_string(c.bitmaps) + " bitmaps, " +
           std::to_string(c.brushes) + " brushes, " + std::to_string(c.pens) + " pens, " +
           std::to_string(c.fonts) + " fonts";
}

// What the program leaves to the end of the process, found in its surfaces while it runs.
struct Leftovers {
    HGDIOBJ frameBitmap = nullptr;
    HGDIOBJ backgroundBitmap = nullptr;
    HGDIOBJ backgroundBrush = nullptr;

    // The object of one kind selected in `dc`, seen by swapping a stand-in in and back out.
    static HGDIOBJ Selected(HDC dc, HGDIOBJ standIn) {
        const HGDIOBJ held = SelectObject(dc, standIn);
        SelectObject(dc, held);
        return held;
    }

    void Capture() {
        const PaintResources& paint = Program().paint;
        if (Program().match.initialised == 0 || paint.frameSurface == nullptr) {
            return;
        }
        const HBITMAP probe = CreateCompatibleBitmap(paint.frameSurface, 1, 1);
        frameBitmap = Selected(paint.frameSurface, probe);
        backgroundBitmap = Selected(paint.backgroundSurface, probe);
        DeleteObject(probe);
        backgroundBrush = Selected(paint.backgroundSurface, GetStockObject(NULL_BRUSH));
    }

    void Release() {
        DeleteObject(frameBitmap);
        DeleteObject(backgroundBitmap);
        DeleteObject(backgroundBrush);
    }
};

enum Operation : std::uint8_t {
    kWait,
    kLongWait,
    kPointerMove,
    kPointerDown,
    kPointerUp,
    kTap,
    kKeyPress,
    kControlKeyPress,
    kKeyDown,
    kKeyUp,
    kCloseRequest,
    kCount
};

// Mostly on the screen or just off it; now and then anywhere a 16-bit coordinate reaches.
int Coordinate(ByteReader& input, int extent) {
    if (input.Byte() < 16) {
        return static_cast<std::int16_t>(input.Word());
    }
    return input.InRange(-8, extent + 7);
}

// The keys that mean something to the program or its platform first, then any 8-bit code.
UINT Key(ByteReader& input) {
    static constexpr UINT kKeys[] = {VK_F1,    VK_F2,   VK_RETURN, VK_ESCAPE, VK_CONTROL, 'A',
                                     'Q',      VK_UP,   VK_DOWN,   VK_LEFT,   VK_RIGHT,   VK_SPACE,
                                     VK_SHIFT, VK_MENU, VK_TAB,    VK_BACK};
    const std::uint8_t code = input.Byte();
    return code < std::size(kKeys) ? kKeys[code] : code;
}

// Turns the input into actions on the back end's clock; returns the time of the last one.
Millis ScheduleInput(ByteReader& input, HeadlessBackend& backend, platform::ScreenSize screen,
                     Leftovers& leftovers) {
    Millis time = 0;
    const auto at = [&](auto deliver) {
        backend.At(time, [&leftovers, deliver] {
            leftovers.Capture();
            deliver();
        });
    };
    // A pointer action at a position read from the input, and a key action with a key read.
    const auto pointer = [&](void (HeadlessBackend::*action)(int, int)) {
        const int x = Coordinate(input, screen.width);
        const int y = Coordinate(input, screen.height);
        at([&backend, action, x, y] { (backend.*action)(x, y); });
    };
    const auto key = [&](void (HeadlessBackend::*action)(UINT)) {
        const UINT code = Key(input);
        at([&backend, action, code] { (backend.*action)(code); });
    };
    while (!input.empty() && time <= kMaxClock) {
        switch (input.Byte() % kCount) {
            case kWait:
                time += input.Byte();
                break;
            case kLongWait:
                time += 10 * Millis{input.Byte()};
                break;
            case kPointerMove:
                pointer(&HeadlessBackend::PointerMove);
                break;
            case kPointerDown:
                pointer(&HeadlessBackend::PointerDown);
                break;
            case kPointerUp:
                pointer(&HeadlessBackend::PointerUp);
                break;
            case kTap:
                pointer(&HeadlessBackend::Tap);
                break;
            case kKeyPress:
                key(&HeadlessBackend::PressKey);
                break;
            case kControlKeyPress:
                key(&HeadlessBackend::PressControlKey);
                break;
            case kKeyDown:
                key(&HeadlessBackend::KeyDown);
                break;
            case kKeyUp:
                key(&HeadlessBackend::KeyUp);
                break;
            case kCloseRequest:
                at([&backend] { backend.RequestClose(); });
                break;
            default:
                break;
        }
    }
    return time;
}

// Asks the program to close until its window has gone: the first request may only close the
// About box or the menu.
void ScheduleClose(HeadlessBackend& backend, Millis time, int attemptsLeft, Leftovers& leftovers) {
    backend.At(time, [&backend, time, attemptsLeft, &leftovers] {
        leftovers.Capture();
        if (FindWindowW(u"TARVEL", u"Tarvel") == nullptr) {
            return;
        }
        if (attemptsLeft == 0) {
            Fail("the program's window is still there after " + std::to_string(kCloseAttempts) +
                 " close requests");
        }
        backend.RequestClose();
        ScheduleClose(backend, time + kCloseRetry, attemptsLeft - 1, leftovers);
    });
}

void RequireCounts(const GdiObjectCounts& actual, const GdiObjectCounts& expected,
                   const char* when) {
    if (actual != expected) {
        Fail(std::string(when) + ": " + Describe(actual) + " alive, expected " +
             Describe(expected));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader input(data, size);
    const platform::ScreenSize screen{input.InRange(32, 480), input.InRange(32, 640)};

    const GdiObjectCounts baseline = platform::LiveGdiObjects();
    const std::size_t blocksBefore = platform::LiveLocalBlocks();
    Leftovers leftovers;
    {
        HeadlessBackend backend(screen);
        platform::WindowSystem windows(backend);
        const HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
        const GdiObjectCounts before = platform::LiveGdiObjects();

        const Millis end = ScheduleInput(input, backend, screen, leftovers) + 1;
        ScheduleClose(backend, end, kCloseAttempts, leftovers);
        backend.SetTimeLimit(end + kEndGrace);

        ResetProgramState();
        int exitCode = -1;
        try {
            exitCode = WinMain(instance, nullptr, nullptr, SW_SHOW);
        } catch (const std::exception& error) {
            Fail(std::string("the program did not end: ") + error.what());
        }
        if (exitCode != 0) {
            Fail("WinMain returned " + std::to_string(exitCode));
        }

        GdiObjectCounts expected = before;
        expected.bitmaps += 2;
        expected.brushes += 1;
        RequireCounts(platform::LiveGdiObjects(), expected, "after WinMain");
    }

    GdiObjectCounts expected = baseline;
    expected.bitmaps += 2;
    expected.brushes += 1;
    RequireCounts(platform::LiveGdiObjects(), expected, "after the window system went");
    leftovers.Release();
    RequireCounts(platform::LiveGdiObjects(), baseline, "after deleting what the program left");
    if (platform::LiveLocalBlocks() != blocksBefore) {
        Fail("local memory blocks left: " +
             std::to_string(platform::LiveLocalBlocks() - blocksBefore));
    }
    return 0;
}
