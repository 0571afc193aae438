// A top-level window's door to the other processes of the same user on the same desktop: a Unix
// socket in Linux's abstract namespace, named from the desktop, the user, the window class and
// the title. Another process finds the window by connecting to that name and asks it to come to
// the front with a one-line request. Abstract sockets belong to no file: one goes with the last
// descriptor that holds it, so a killed process leaves nothing behind that could block the next.
//
// The exchange, one connection per request: the asking side sends "front\n"; the window's side
// answers "ok\n" when the window came to the front, "no\n" when it could not. A connection that
// sends anything else, or nothing for a while, is closed without an answer. Each side checks
// that the other runs as the same user: abstract names carry no permissions, so another user
// could take or try a name.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// The longest abstract name: a socket address holds 108 bytes, the first of which is the zero
// that marks the abstract namespace.
inline constexpr std::size_t kMaxEndpointName = 107;

// The socket name for a window of `className` (matched without case, as class names are) and
// `title` (matched exactly) on `desktop`, for `user`. Distinct tuples give distinct names; a name
// too long for a socket address becomes a hash of the tuple.
std::string EndpointName(std::string_view desktop, uid_t user, std::u16string_view className,
                         std::u16string_view title);

// An open descriptor, closed when it goes.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

  private:
    int fd_ = -1;
};

// The listening side for one window. Never blocks: Serve() takes what has arrived and returns.
class EndpointListener {
  public:
    // Listens on `name`. Null when the name is taken (a window of that class and title is
    // published already, by this process or another) or the socket cannot be made; `error`, when
    // not null, says which.
    static std::unique_ptr<EndpointListener> Listen(const std::string& name, std::string* error);

    ~EndpointListener();
    EndpointListener(const EndpointListener&) = delete;
    EndpointListener& operator=(const EndpointListener&) = delete;

    // Accepts the connections that wait and reads the requests that have arrived. For each whole
    // front request calls `bringToFront` and answers with its result. A connection still silent
    // after `patience` is dropped.
    void Serve(const std::function<bool()>& bringToFront,
               std::chrono::milliseconds patience = std::chrono::milliseconds(2000));

    // Connections accepted and not yet answered or dropped.
    std::size_t Pending() const { return connections_.size(); }

  private:
    struct Connection {
        FileDescriptor socket;
        std::string received;
        std::chrono::steady_clock::time_point accepted;
    };

    explicit EndpointListener(FileDescriptor socket) : socket_(std::move(socket)) {}
    void AcceptWaiting();
    // Reads what has arrived; true when the connection is finished with (answered or dropped).
    bool ServeOne(Connection& connection, const std::function<bool()>& bringToFront,
                  std::chrono::steady_clock::time_point now, std::chrono::milliseconds patience);

    FileDescriptor socket_;
    std::vector<Connection> connections_;
};

// Whether a window of the same user listens on `name` now.
bool EndpointListening(const std::string& name);

// Asks the window listening on `name` to come to the front and waits at most `timeout` for its
// answer. True only when it answered that it did.
bool RequestFront(const std::string& name, std::chrono::milliseconds timeout);

}  // namespace platform::detail
