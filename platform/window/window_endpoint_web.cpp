// The web page's door between tabs of the same origin, behind the same calls as the desktop's
// sockets: a published window holds a Web Lock named after it (the lock goes with the tab, so a
// closed or crashed tab leaves nothing behind), and requests travel on a BroadcastChannel that
// every tab of the game listens to. The page's script keeps the locks and the channel
// (TarvelPage.endpoints in web/tarvel-page.js); a descriptor here numbers one of its listeners.
#include <emscripten.h>

#include "platform/window/window_endpoint.h"

// clang-format off
EM_ASYNC_JS(int, tarvel_endpoint_listen, (const char* name), {
    return await TarvelPage.endpoints.listen(UTF8ToString(name));
});
EM_JS(void, tarvel_endpoint_close, (int listener), { TarvelPage.endpoints.close(listener); });
EM_JS(int, tarvel_endpoint_next_request, (int listener), {
    return TarvelPage.endpoints.nextRequest(listener);
});
EM_JS(void, tarvel_endpoint_answer, (int request, int done), {
    TarvelPage.endpoints.answer(request, done !== 0);
});
EM_ASYNC_JS(int, tarvel_endpoint_listening, (const char* name), {
    return await TarvelPage.endpoints.listening(UTF8ToString(name)) ? 1 : 0;
});
EM_ASYNC_JS(int, tarvel_endpoint_request_front, (const char* name, double timeout), {
    return await TarvelPage.endpoints.requestFront(UTF8ToString(name), timeout) ? 1 : 0;
});
// clang-format on

namespace platform::detail {

FileDescriptor::~FileDescriptor() {
    if (fd_ > 0) {
        tarvel_endpoint_close(fd_);
    }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ > 0) {
            tarvel_endpoint_close(fd_);
        }
        fd_ = other.Release();
    }
    return *this;
}

std::unique_ptr<EndpointListener> EndpointListener::Listen(const std::string& name,
                                                           std::string* error) {
    const int listener = tarvel_endpoint_listen(name.c_str());
    if (listener <= 0) {
        if (error != nullptr) {
            *error = listener == 0 ? "a window of that class and title is published already"
                                   : "this browser offers no Web Locks";
        }
        return nullptr;
    }
    return std::unique_ptr<EndpointListener>(new EndpointListener(FileDescriptor(listener)));
}

EndpointListener::~EndpointListener() = default;

void EndpointListener::Serve(const std::function<bool()>& bringToFront,
                             std::chrono::milliseconds /*patience*/) {
    // The page answers a request that waits too long itself: the asking tab stops waiting.
    for (int request = tarvel_endpoint_next_request(socket_.Get()); request > 0;
         request = tarvel_endpoint_next_request(socket_.Get())) {
        tarvel_endpoint_answer(request, bringToFront() ? 1 : 0);
    }
}

bool EndpointListening(const std::string& name) {
    return tarvel_endpoint_listening(name.c_str()) != 0;
}

bool RequestFront(const std::string& name, std::chrono::milliseconds timeout) {
    return tarvel_endpoint_request_front(name.c_str(), static_cast<double>(timeout.count())) != 0;
}

}  // namespace platform::detail
