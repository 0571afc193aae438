#include "platform/window/window_endpoint.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform::detail {
namespace {

constexpr std::string_view kFrontRequest = "front";
constexpr std::string_view kAnswerDone = "ok\n";
constexpr std::string_view kAnswerRefused = "no\n";
// Longer than any request: a line this long without its end is not ours.
constexpr std::size_t kMaxRequest = 64;
// Connections waiting to be served at once; more are closed unanswered.
constexpr std::size_t kMaxPending = 32;

// The socket address of an abstract name, and the length that says where the name ends.
struct AbstractAddress {
    sockaddr_un address{};
    socklen_t length = 0;
};

std::optional<AbstractAddress> AddressOf(const std::string& name) {
    if (name.empty() || name.size() > kMaxEndpointName) {
        return std::nullopt;
    }
    AbstractAddress a;
    a.address.sun_family = AF_UNIX;
    a.address.sun_path[0] = '\0';
    std::memcpy(a.address.sun_path + 1, name.data(), name.size());
    a.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return a;
}

FileDescriptor MakeSocket() {
    return FileDescriptor(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

bool PeerIsThisUser(int fd) {
    ucred peer{};
    socklen_t length = sizeof peer;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && length == sizeof peer &&
           peer.uid == geteuid();
}

// A connection to the window on `name`, checked to belong to this user; invalid when nothing of
// this user listens there.
FileDescriptor Connect(const std::string& name) {
    std::optional<AbstractAddress> address = AddressOf(name);
    if (!address) {
        return {};
    }
    FileDescriptor fd = MakeSocket();
    if (!fd.Valid()) {
        return {};
    }
    // A Unix stream connect completes at once or fails at once (EAGAIN when the listener's
    // backlog is full: a window that does not serve is as good as none).
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address->address), address->length) !=
            0 ||
        !PeerIsThisUser(fd.Get())) {
        return {};
    }
    return fd;
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            close(fd_);
        }
        fd_ = other.Release();
    }
    return *this;
}

std::unique_ptr<EndpointListener> EndpointListener::Listen(const std::string& name,
                                                           std::string* error) {
    auto fail = [&](std::string why) -> std::unique_ptr<EndpointListener> {
        if (error != nullptr) {
            *error = std::move(why);
        }
        return nullptr;
    };
    std::optional<AbstractAddress> address = AddressOf(name);
    if (!address) {
        return fail("the name does not fit a socket address");
    }
    FileDescriptor fd = MakeSocket();
    if (!fd.Valid()) {
        return fail(std::string("socket: ") + std::strerror(errno));
    }
    if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address->address), address->length) !=
        0) {
        return fail(errno == EADDRINUSE ? "the name is taken"
                                        : std::string("bind: ") + std::strerror(errno));
    }
    if (listen(fd.Get(), 8) != 0) {
        return fail(std::string("listen: ") + std::strerror(errno));
    }
    return std::unique_ptr<EndpointListener>(new EndpointListener(std::move(fd)));
}

EndpointListener::~EndpointListener() = default;

void EndpointListener::AcceptWaiting() {
    // Asking first is much cheaper than a failed accept, which makes and throws away a socket:
    // nearly always nobody is waiting.
    pollfd waiting{socket_.Get(), POLLIN, 0};
    if (poll(&waiting, 1, 0) <= 0) {
        return;
    }
    for (;;) {
        FileDescriptor connection(
            accept4(socket_.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!connection.Valid()) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;  // EAGAIN: nobody else waits; anything else: try again next time
        }
        if (connections_.size() < kMaxPending && PeerIsThisUser(connection.Get())) {
            connections_.push_back({std::move(connection), {}, std::chrono::steady_clock::now()});
        }
    }
}

bool EndpointListener::ServeOne(Connection& connection, const std::function<bool()>& bringToFront,
                                std::chrono::steady_clock::time_point now,
                                std::chrono::milliseconds patience) {
    char buffer[kMaxRequest];
    for (;;) {
        ssize_t got = read(connection.socket.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return now - connection.accepted > patience;
        }
        if (got <= 0) {
            return true;  // closed: a probe that only wanted to know the window is there
        }
        connection.received.append(buffer, static_cast<std::size_t>(got));
        const std::size_t end = connection.received.find('\n');
        if (end == std::string::npos) {
            if (connection.received.size() >= kMaxRequest) {
                return true;
            }
            continue;
        }
        if (std::string_view(connection.received).substr(0, end) == kFrontRequest) {
            SendAll(connection.socket.Get(), bringToFront() ? kAnswerDone : kAnswerRefused);
        }
        return true;
    }
}

void EndpointListener::Serve(const std::function<bool()>& bringToFront,
                             std::chrono::milliseconds patience) {
    AcceptWaiting();
    const auto now = std::chrono::steady_clock::now();
    for (auto it = connections_.begin(); it != connections_.end();) {
        it = ServeOne(*it, bringToFront, now, patience) ? connections_.erase(it) : it + 1;
    }
}

bool EndpointListening(const std::string& name) {
    return Connect(name).Valid();
}

bool RequestFront(const std::string& name, std::chrono::milliseconds timeout) {
    FileDescriptor fd = Connect(name);
    if (!fd.Valid() || !SendAll(fd.Get(), std::string(kFrontRequest) + "\n")) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string answer;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() < 0) {
            return false;
        }
        pollfd waiting{fd.Get(), POLLIN, 0};
        int ready = poll(&waiting, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            return false;
        }
        char buffer[16];
        ssize_t got = read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        answer.append(buffer, static_cast<std::size_t>(got));
        if (answer.find('\n') != std::string::npos || answer.size() >= kMaxRequest) {
            return answer == kAnswerDone;
        }
    }
}

}  // namespace platform::detail
