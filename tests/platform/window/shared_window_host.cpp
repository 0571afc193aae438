// Another process for the tests of shared desktops: opens one window of class "HOST" titled
// "Host" on a desktop shared under the name given, and runs its message loop on the real clock
// until a request from elsewhere brings the window to the front. Then it prints "raised", closes
// the window and exits with 0.
//
//     shared_window_host DESKTOP
//
// It prints "ready" once the window is published.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/gdi/cairo_handles.h"
#include "platform/window/backend.h"
#include "platform/window/window_system.h"
#include "platform/window/winuser.h"

namespace {

// A back end whose screen nobody sees and whose waits take real time. Being raised asks the program
// to close, as a person would after looking.
class RealClockBackend final : public platform::Backend {
  public:
    platform::ScreenSize Screen() const override { return {240, 320}; }
    platform::Millis Now() override {
        return static_cast<platform::Millis>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                 std::chrono::steady_clock::now() - start_)
                                                 .count());
    }
    std::vector<platform::InputEvent> WaitForInput(
        std::optional<platform::Millis> deadline) override {
        if (raised_) {
            raised_ = false;
            return {{platform::InputKind::CloseRequest}};
        }
        // The window manager never waits without a deadline while a window is published.
        const platform::Millis until = deadline.value_or(Now() + 1000);
        if (until > Now()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(until - Now()));
        }
        return {};
    }
    cairo_surface_t* ScreenBuffer() override { return screen_.get(); }
    void Present(const platform::ScreenDamage&) override {}
    void Raise() override {
        std::puts("raised");
        std::fflush(stdout);
        raised_ = true;
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool raised_ = false;
    platform::SurfacePtr screen_ = platform::MakeImageSurface(240, 320);
};

LRESULT HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shared_window_host DESKTOP\n");
        return 2;
    }
    RealClockBackend backend;
    platform::WindowSystem windows(backend, argv[1]);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.lpszClassName = u"HOST";
    if (RegisterClassW(&windowClass) == 0 ||
        CreateWindowExW(0, u"HOST", u"Host", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr, nullptr,
                        nullptr) == nullptr) {
        std::fprintf(stderr, "shared_window_host: cannot make the window\n");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
