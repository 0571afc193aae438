// A desktop's top-level windows as other processes see them. Processes of the same user that
// show on the same desktop (one X display, say) share it: each top-level window with a title is
// published under its class and title (see window_endpoint.h), another process's FindWindowW
// finds it there, and SetForegroundWindow brings it to the front.
//
// Another process's window is known here by a proxy handle. Handles of this process's windows
// are multiples of 4; a proxy is 2 more than a multiple of 4, so it never equals one of them and
// its lowest bit stays free for SetForegroundWindow's flag. A proxy serves FindWindowW and
// SetForegroundWindow only; every other call takes it for a window that does not exist.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window/window_endpoint.h"
#include "platform/window/window_types.h"

namespace platform::detail {

class DesktopSharing {
  public:
    // How long SetForegroundWindow waits for the other process to answer.
    static constexpr std::chrono::milliseconds kFrontTimeout{2000};

    // `desktop` names the desktop the windows show on.
    explicit DesktopSharing(std::string desktop);

    // Publishes a top-level window under its class and title. When a window of the same class and
    // title is published already, here or in another process, this one stays unpublished.
    void Publish(HWND window, std::u16string_view className, std::u16string_view title);
    void Withdraw(HWND window);
    bool Publishing() const { return !listeners_.empty(); }

    // Serves the requests that have arrived, without waiting: a front request for a window runs
    // `bringToFront` on it, which says whether the window came to the front.
    void Serve(const std::function<bool(HWND)>& bringToFront);

    // A proxy for another process's window of this class and title, or null when none is
    // published. The same window gets the same proxy each time.
    HWND FindElsewhere(std::u16string_view className, std::u16string_view title);
    bool IsProxy(HWND handle) const { return proxies_.count(handle) != 0; }
    // Asks the window behind `proxy` to come to the front; true when it did.
    bool RequestFront(HWND proxy) const;

  private:
    std::string desktop_;
    std::map<HWND, std::unique_ptr<EndpointListener>> listeners_;
    // Listeners withdrawn while serving, closed once the serving is over.
    std::vector<std::unique_ptr<EndpointListener>> retired_;
    bool serving_ = false;
    std::map<HWND, std::string> proxies_;
    std::uintptr_t nextProxy_ = 0x10002;
};

}  // namespace platform::detail
