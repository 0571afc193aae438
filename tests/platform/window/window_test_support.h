// A headless desktop for window-manager tests: a 240 x 320 screen (or another size), a clock at 0
// that only moves when a test or a wait moves it, and a recording window class.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "platform/window/headless_backend.h"
#include "platform/window/window_system.h"
#include "platform/window/winuser.h"

namespace window_test {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    platform::Millis time;
};

// A class of procedure `proc` named `name`, erased with `background` when one is given.
inline WNDCLASSW ClassOf(LPCWSTR name, WNDPROC proc, HBRUSH background = nullptr) {
    return {0, proc, 0, 0, nullptr, nullptr, nullptr, background, nullptr, name};
}

// Every message a window of the recording class receives, in order; WM_PAINT is validated.
std::vector<Seen>& Log();
// Only the messages of one kind.
std::vector<Seen> SeenOf(UINT message);
LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A recording class whose windows are erased with `colour`; returns the class brush (null when
// the name was taken).
HBRUSH RegisterFilledClass(LPCWSTR name, COLORREF colour);

class Desktop : public ::testing::Test {
  protected:
    explicit Desktop(platform::ScreenSize screen = {240, 320});
    ~Desktop() override;

    // A visible top-level window of the recording class.
    HWND MakeWindow(LPCWSTR title = u"Recorder", int x = 0, int y = 0, int width = 240,
                    int height = 320);
    // Dispatches every message that is ready now; returns how many.
    int PumpUntilIdle();
    // Runs GetMessageW/DispatchMessageW until the clock reaches `time` and nothing is left.
    void RunUntil(platform::Millis time);

    platform::HeadlessBackend backend;
    platform::WindowSystem windows{backend};
};

// A rectangle's sides, to compare in one expectation.
inline std::array<LONG, 4> Sides(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// Whether the rectangles cover the pixel.
inline bool Covers(const std::vector<RECT>& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(), [&](const RECT& r) {
        return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    });
}

// A window's rectangle on the screen.
inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The pixel at (x, y) of an RGB24 surface as COLORREF.
COLORREF PixelAt(cairo_surface_t* surface, int x, int y);
// The pixels at each point, to compare in one expectation.
std::vector<COLORREF> PixelsAt(cairo_surface_t* surface, std::initializer_list<POINT> points);

// The pixel of `area` of the screen shown whose colour bytes add up to the least, or with
// `lightest` the most.
COLORREF Extreme(const RECT& area, bool lightest);

// How many pixels of the screen shown differ from the whole screen composed afresh.
int DifferingFromAFreshScreen(cairo_surface_t* shown);

}  // namespace window_test
