#include "platform/window/desktop_sharing.h"

#include <unistd.h>

#include <algorithm>

namespace platform::detail {

DesktopSharing::DesktopSharing(std::string desktop) : desktop_(std::move(desktop)) {}

void DesktopSharing::Publish(HWND window, std::u16string_view className,
                             std::u16string_view title) {
    std::unique_ptr<EndpointListener> listener =
        EndpointListener::Listen(EndpointName(desktop_, geteuid(), className, title), nullptr);
    if (listener) {
        listeners_[window] = std::move(listener);
    }
}

void DesktopSharing::Withdraw(HWND window) {
    auto it = listeners_.find(window);
    if (it == listeners_.end()) {
        return;
    }
    if (serving_) {
        retired_.push_back(std::move(it->second));
    }
    listeners_.erase(it);
}

void DesktopSharing::Serve(const std::function<bool(HWND)>& bringToFront) {
    if (serving_) {
        return;  // a window procedure run by a front request came back to the loop
    }
    serving_ = true;
    // Bringing a window forward runs window procedures, which may create or destroy windows:
    // walk a copy, and skip what is gone by the time its turn comes.
    std::vector<HWND> windows;
    for (const auto& entry : listeners_) {
        windows.push_back(entry.first);
    }
    for (HWND window : windows) {
        auto it = listeners_.find(window);
        if (it != listeners_.end()) {
            it->second->Serve([&] { return bringToFront(window); });
        }
    }
    serving_ = false;
    retired_.clear();
}

HWND DesktopSharing::FindElsewhere(std::u16string_view className, std::u16string_view title) {
    std::string name = EndpointName(desktop_, geteuid(), className, title);
    if (!EndpointListening(name)) {
        return nullptr;
    }
    for (const auto& [proxy, known] : proxies_) {
        if (known == name) {
            return proxy;
        }
    }
    HWND proxy = reinterpret_cast<HWND>(nextProxy_);
    nextProxy_ += 4;
    proxies_.emplace(proxy, std::move(name));
    return proxy;
}

bool DesktopSharing::RequestFront(HWND proxy) const {
    auto it = proxies_.find(proxy);
    return it != proxies_.end() && detail::RequestFront(it->second, kFrontTimeout);
}

}  // namespace platform::detail
