#include "window_test_support.h"

#include <iterator>

#include "platform/gdi/gdi.h"

namespace window_test {
namespace {

constexpr char16_t kRecordingClass[] = u"Recording";

}  // namespace

std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
}

std::vector<Seen> SeenOf(UINT message) {
    std::vector<Seen> matching;
    std::copy_if(Log().begin(), Log().end(), std::back_inserter(matching),
                 [message](const Seen& s) { return s.message == message; });
    return matching;
}

LRESULT RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back({window, message, wParam, lParam, GetTickCount()});
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HBRUSH RegisterFilledClass(LPCWSTR name, COLORREF colour) {
    const WNDCLASSW wc = ClassOf(name, RecordingProc, CreateSolidBrush(colour));
    if (RegisterClassW(&wc) == 0) {
        DeleteObject(wc.hbrBackground);
        return nullptr;
    }
    return wc.hbrBackground;
}

Desktop::Desktop(platform::ScreenSize screen) : backend(screen) {
    Log().clear();
    const WNDCLASSW wc = ClassOf(kRecordingClass, RecordingProc);
    RegisterClassW(&wc);
}

Desktop::~Desktop() {
    Log().clear();
}

HWND Desktop::MakeWindow(LPCWSTR title, int x, int y, int width, int height) {
    return CreateWindowExW(0, kRecordingClass, title, WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

int Desktop::PumpUntilIdle() {
    int count = 0;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++count;
    }
    return count;
}

void Desktop::RunUntil(platform::Millis time) {
    constexpr WPARAM kStop = 0x5707;
    backend.At(time, [] { PostQuitMessage(static_cast<int>(kStop)); });
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ASSERT_EQ(msg.wParam, kStop) << "the loop ended before the time it was asked to run to";
    PumpUntilIdle();
}

COLORREF PixelAt(cairo_surface_t* surface, int x, int y) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::uint32_t pixel = reinterpret_cast<const std::uint32_t*>(data + y * stride)[x];
    return RGB(static_cast<BYTE>(pixel >> 16), static_cast<BYTE>(pixel >> 8),
               static_cast<BYTE>(pixel));
}

// The pixel of `area` whose colour bytes add up to the least, or with `lightest` the most.
COLORREF Extreme(const RECT& area, bool lightest) {
    platform::SurfacePtr screen = platform::CaptureScreen();
    const auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    COLORREF found = lightest ? RGB(0, 0, 0) : RGB(255, 255, 255);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = PixelAt(screen.get(), x, y);
            found = (lightest ? sum(pixel) > sum(found) : sum(pixel) < sum(found)) ? pixel : found;
        }
    }
    return found;
}

std::vector<COLORREF> PixelsAt(cairo_surface_t* surface, std::initializer_list<POINT> points) {
    std::vector<COLORREF> pixels;
    for (const POINT& p : points) {
        pixels.push_back(PixelAt(surface, p.x, p.y));
    }
    return pixels;
}

int DifferingFromAFreshScreen(cairo_surface_t* shown) {
    platform::SurfacePtr fresh = platform::CaptureScreen();
    int differing = 0;
    for (int y = 0; y < cairo_image_surface_get_height(shown); ++y) {
        for (int x = 0; x < cairo_image_surface_get_width(shown); ++x) {
            differing += PixelAt(shown, x, y) != PixelAt(fresh.get(), x, y) ? 1 : 0;
        }
    }
    return differing;
}

}  // namespace window_test
