// Desktops shared between processes: publishing windows, finding and bringing forward the windows
// of another process, first against a listener of the test's own, then against a real second
// process (shared_window_host).
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <future>
#include <string>

#include "platform/window/headless_backend.h"
#include "platform/window/window_endpoint.h"
#include "platform/window/window_system.h"
#include "platform/window/winuser.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;
using platform::detail::EndpointListener;
using platform::detail::EndpointListening;
using platform::detail::EndpointName;

std::string UniqueDesktop() {
    static int counter = 0;
    return "sharing test " + std::to_string(getpid()) + "." + std::to_string(counter++);
}

LRESULT PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        ValidateRect(window, nullptr);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Dispatches every message that is ready now.
void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

class SharedDesktop : public testing::Test {
  protected:
    SharedDesktop() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = u"Plain";
        RegisterClassW(&wc);
    }

    HWND MakeWindow(LPCWSTR title, HWND owner = nullptr) {
        return CreateWindowExW(0, u"Plain", title, WS_VISIBLE, 0, 0, 240, 320, owner, nullptr,
                               nullptr, nullptr);
    }
    std::string NameOf(std::u16string_view className, std::u16string_view title) const {
        return EndpointName(desktop, geteuid(), className, title);
    }
    // Runs the loop of this process until `done` is ready, as the window's process would while
    // another process waits for its answer. The loop looks at the sockets once per 50 ms of its
    // clock.
    template <typename T>
    T PumpUntil(std::future<T>& done) {
        const auto giveUp = std::chrono::steady_clock::now() + 5s;
        while (done.wait_for(1ms) != std::future_status::ready &&
               std::chrono::steady_clock::now() < giveUp) {
            backend.Advance(50);
            Pump();
        }
        return done.get();
    }

    const std::string desktop = UniqueDesktop();
    platform::HeadlessBackend backend;
    platform::WindowSystem windows{backend, desktop};
};

TEST_F(SharedDesktop, AWindowWithATitleIsPublishedWhileItLives) {
    HWND main = MakeWindow(u"Main");
    EXPECT_TRUE(EndpointListening(NameOf(u"plain", u"Main")));
    MakeWindow(u"");
    EXPECT_FALSE(EndpointListening(NameOf(u"Plain", u""))) << "an untitled window is not found";
    DestroyWindow(main);
    EXPECT_FALSE(EndpointListening(NameOf(u"Plain", u"Main")));
}

TEST_F(SharedDesktop, AFrontRequestActivatesTheWindowAndRaisesTheScreen) {
    HWND main = MakeWindow(u"Main");
    HWND other = MakeWindow(u"Other");
    ASSERT_EQ(GetForegroundWindow(), other);
    const std::string name = NameOf(u"Plain", u"Main");
    std::future<bool> answer =
        std::async(std::launch::async, [&] { return platform::detail::RequestFront(name, 5s); });
    EXPECT_TRUE(PumpUntil(answer));
    EXPECT_EQ(GetForegroundWindow(), main);
    EXPECT_EQ(backend.Raises(), 1);

    // With a window it owns open, that one keeps the activation, and both come in front.
    HWND owned = MakeWindow(u"Owned", main);
    SetForegroundWindow(other);
    answer =
        std::async(std::launch::async, [&] { return platform::detail::RequestFront(name, 5s); });
    EXPECT_TRUE(PumpUntil(answer));
    EXPECT_EQ(GetForegroundWindow(), owned);
    EXPECT_EQ(backend.Raises(), 2);

    // A hidden window cannot come forward, and says so.
    ShowWindow(main, SW_HIDE);
    answer =
        std::async(std::launch::async, [&] { return platform::detail::RequestFront(name, 5s); });
    EXPECT_FALSE(PumpUntil(answer));
    EXPECT_EQ(backend.Raises(), 2);
}

TEST_F(SharedDesktop, FindWindowLooksElsewhereForAClassAndTitleNotHere) {
    std::unique_ptr<EndpointListener> remote =
        EndpointListener::Listen(NameOf(u"REMOTE", u"Remote"), nullptr);
    ASSERT_TRUE(remote);
    const HWND proxy = FindWindowW(u"REMOTE", u"Remote");
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(proxy) & 3, 2u) << "never one of this process's";
    EXPECT_EQ(FindWindowW(u"remote", u"Remote"), proxy) << "the same window, the same proxy";
    EXPECT_FALSE(IsWindow(proxy));
    EXPECT_EQ(FindWindowW(u"REMOTE", nullptr), nullptr) << "both class and title are needed";
    EXPECT_EQ(FindWindowW(nullptr, u"Remote"), nullptr);
    EXPECT_EQ(FindWindowW(u"REMOTE", u"remote"), nullptr) << "titles match exactly";

    remote.reset();
    EXPECT_EQ(FindWindowW(u"REMOTE", u"Remote"), nullptr);
    const auto flagged = reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(proxy) | 1);
    EXPECT_FALSE(SetForegroundWindow(flagged)) << "the window behind the proxy is gone";
}

TEST_F(SharedDesktop, TheLoopOfAPublishedWindowNeverSleepsLongerThan50Ms) {
    MakeWindow(u"Main");
    MSG msg;
    Pump();
    const int waitsBefore = backend.BlockingWaits();
    backend.At(1000, [] { PostQuitMessage(0); });
    backend.SetTimeLimit(2000);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(backend.Now(), 1000u);
    EXPECT_GE(backend.BlockingWaits() - waitsBefore, 20) << "a wait of 1000 ms in 50 ms steps";
}

TEST_F(SharedDesktop, ATimerOutOfStepWithTheSocketLooksCostsOneWakeATick) {
    HWND window = MakeWindow(u"Main");
    MSG msg;
    Pump();
    // The sockets were looked at on 0, 50, 100 ...; the timer ticks on 75, 125 ... 975 (the
    // quit at 1025 comes before that tick).
    backend.Advance(25);
    SetTimer(window, 1, 50, nullptr);
    const int waitsBefore = backend.BlockingWaits();
    backend.At(1025, [] { PostQuitMessage(0); });
    backend.SetTimeLimit(2000);
    int ticks = 0;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ticks += msg.message == WM_TIMER ? 1 : 0;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(ticks, 19);
    EXPECT_LE(backend.BlockingWaits() - waitsBefore, 20) << "not a wake for the sockets between";
}

// shared_window_host running as a second process, its standard output read line by line.
class HostProcess {
  public:
    explicit HostProcess(const std::string& desktop) {
        int out[2];
        if (pipe(out) != 0) {
            ADD_FAILURE() << "pipe";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::string path = SHARED_WINDOW_HOST;
        char* argv[] = {path.data(), const_cast<char*>(desktop.c_str()), nullptr};
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, environ) != 0) {
            ADD_FAILURE() << "cannot start " << path;
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        out_ = out[0];
    }
    ~HostProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            Wait();
        }
        close(out_);
    }

    // The next line it prints, or "" when none comes within five seconds.
    std::string Line() {
        std::string line;
        const auto giveUp = std::chrono::steady_clock::now() + 5s;
        while (std::chrono::steady_clock::now() < giveUp) {
            pollfd readable{out_, POLLIN, 0};
            if (poll(&readable, 1, 100) <= 0) {
                continue;
            }
            char c;
            if (read(out_, &c, 1) != 1) {
                break;
            }
            if (c == '\n') {
                return line;
            }
            line += c;
        }
        return "";
    }
    // The wait status once it has ended.
    int Wait() {
        int status = -1;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
};

TEST_F(SharedDesktop, ASecondProcessFindsTheWindowAndBringsItForward) {
    HostProcess host(desktop);
    ASSERT_EQ(host.Line(), "ready");
    const HWND found = FindWindowW(u"HOST", u"Host");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(found) | 1)));
    EXPECT_EQ(host.Line(), "raised");
    const int status = host.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(FindWindowW(u"HOST", u"Host"), nullptr) << "it closed its window and left";
}

}  // namespace
