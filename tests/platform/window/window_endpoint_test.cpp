// The socket a published window listens on: its name, who may take it, and the front request
// between two ends, one of them served from a thread as another process would.
#include "platform/window/window_endpoint.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

namespace platform::detail {
namespace {

using namespace std::chrono_literals;

// A name no other test or process uses.
std::string UniqueName(const std::string& what) {
    static int counter = 0;
    return EndpointName("endpoint test " + std::to_string(getpid()), geteuid(), u"CLASS",
                        u"" + std::u16string(what.begin(), what.end()) + u" " +
                            std::u16string(1, static_cast<char16_t>(u'a' + counter++)));
}

// A plain client connection to `name`, to send what the real client never would; with
// `server`, a plain listening socket there instead, to answer as the real server never would.
FileDescriptor RawSocket(const std::string& name, bool server = false) {
    FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    EXPECT_EQ(
        server ? bind(fd.Get(), at, length) + listen(fd.Get(), 1) : connect(fd.Get(), at, length),
        0);
    return fd;
}

// A listener on a name of its own, and a handler that counts its calls.
class Listening : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(listener); }

    const std::string name = UniqueName("listening");
    const std::unique_ptr<EndpointListener> listener = EndpointListener::Listen(name, nullptr);
    int calls = 0;
    const std::function<bool()> handler = [this] { return ++calls > 0; };
};

TEST(EndpointName, NamesTheDesktopUserClassWithoutCaseAndTitleExactlyOrTheirHash) {
    const std::string name = EndpointName("x11 :0", 1000, u"Tarvel", u"Tarvel");
    EXPECT_EQ(name, "tarvel-window 1000 6:x11 :0 6:TARVEL 6:Tarvel");
    EXPECT_EQ(EndpointName("x11 :0", 1000, u"TARVEL", u"Tarvel"), name)
        << "class names match without case";
    EXPECT_NE(EndpointName("x11 :0", 1000, u"TARVEL", u"TARVEL"), name);
    EXPECT_NE(EndpointName("x11 :1", 1000, u"TARVEL", u"Tarvel"), name);
    EXPECT_NE(EndpointName("x11 :0", 1001, u"TARVEL", u"Tarvel"), name);
    // Spaces in the parts cannot make two windows meet under one name.
    EXPECT_NE(EndpointName("d", 1, u"A B", u"C"), EndpointName("d", 1, u"A", u"B C"));
    EXPECT_NE(EndpointName("d 1", 1, u"A", u"B"), EndpointName("d", 1, u"1 A", u"B"));
    // Titles are UTF-8 in the name.
    EXPECT_EQ(EndpointName("d", 1, u"C", u"F\u00fatbol"),
              "tarvel-window 1 1:d 1:C 7:F\xc3\xbatbol");

    // A long tuple becomes a hash that still tells windows apart.
    const std::u16string longTitle(200, u'x');
    const std::string a = EndpointName("x11 :0", 1000, u"C", longTitle + u"1");
    const std::string b = EndpointName("x11 :0", 1000, u"C", longTitle + u"2");
    EXPECT_LE(a.size(), kMaxEndpointName);
    EXPECT_EQ(a.rfind("tarvel-window 1000 #", 0), 0u) << a;
    EXPECT_NE(a, b);
    EXPECT_EQ(a, EndpointName("x11 :0", 1000, u"c", longTitle + u"1"));
    // Another build of the program looks for the same name: the hash is part of it (64-bit
    // FNV-1a of the whole name, worked out apart from this code).
    EXPECT_EQ(a, "tarvel-window 1000 #ed56737021cbffe5");
}

TEST(EndpointListener, OneNameThatFitsHasOneListenerAndIsFreeAgainWhenItGoes) {
    const std::string name = UniqueName("once");
    EXPECT_FALSE(EndpointListening(name));
    std::string error;
    std::unique_ptr<EndpointListener> first = EndpointListener::Listen(name, &error);
    ASSERT_TRUE(first) << error;
    EXPECT_TRUE(EndpointListening(name));
    EXPECT_FALSE(EndpointListener::Listen(name, &error));
    EXPECT_EQ(error, "the name is taken");
    first.reset();
    EXPECT_FALSE(EndpointListening(name)) << "nothing is left behind";
    EXPECT_TRUE(EndpointListener::Listen(name, &error)) << error;
    // A socket address holds 108 bytes, the first of them the zero of the abstract namespace.
    EXPECT_FALSE(EndpointListener::Listen(std::string(108, 'n'), &error));
    EXPECT_EQ(error, "the name does not fit a socket address");
    EXPECT_FALSE(EndpointListening(std::string(108, 'n')));
}

TEST(EndpointRequest, NobodyListeningOrNobodyServingIsNoAfterTheTimeout) {
    EXPECT_FALSE(RequestFront(UniqueName("nobody"), 2000ms));
    const std::string name = UniqueName("silent");
    const auto listener = EndpointListener::Listen(name, nullptr);
    ASSERT_TRUE(listener);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RequestFront(name, 100ms));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 90ms) << "it waited for an answer";
}

TEST(EndpointRequest, AHangUpIsNoAtOnceWhateverErrnoSaidBefore) {
    const std::string name = UniqueName("hanging up");
    const FileDescriptor server = RawSocket(name, true);
    std::thread hangingUp([&] {
        const FileDescriptor taken(accept(server.Get(), nullptr, nullptr));
        char request[16];
        EXPECT_GT(read(taken.Get(), request, sizeof request), 0);
    });
    const auto start = std::chrono::steady_clock::now();
    errno = EAGAIN;  // as an earlier call may have left it: a read of the end does not change it
    EXPECT_FALSE(RequestFront(name, 10s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "not at the deadline";
    hangingUp.join();
}

TEST_F(Listening, AProbeOrAStrangeRequestIsClosedWithoutRunningTheHandler) {
    EXPECT_TRUE(EndpointListening(name));  // connects and hangs up
    FileDescriptor strange = RawSocket(name);
    ASSERT_EQ(write(strange.Get(), "back\n", 5), 5);
    FileDescriptor endless = RawSocket(name);
    const std::string noLineEnd(100, 'f');
    ASSERT_EQ(write(endless.Get(), noLineEnd.data(), noLineEnd.size()),
              static_cast<ssize_t>(noLineEnd.size()));
    listener->Serve(handler);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(listener->Pending(), 0u);
    char answer[8];
    EXPECT_EQ(read(strange.Get(), answer, sizeof answer), 0) << "closed without an answer";
    // Closed with bytes it never read: the other end may see a reset rather than the end.
    EXPECT_LE(read(endless.Get(), answer, sizeof answer), 0);
}

TEST_F(Listening, AtMost32ConnectionsWaitAndMoreAreClosedUnanswered) {
    std::vector<FileDescriptor> waiting;
    // Eight at a time, as many as the socket queues before they are taken.
    while (waiting.size() < 33) {
        for (int i = 0; i < 8 && waiting.size() < 33; ++i) {
            waiting.push_back(RawSocket(name));
            ASSERT_EQ(write(waiting.back().Get(), "fro", 3), 3);
        }
        listener->Serve(handler, 10s);
    }
    EXPECT_EQ(listener->Pending(), 32u);
    char answer[8];
    // Closed with bytes it never read: the other end may see a reset rather than the end.
    EXPECT_LE(read(waiting.back().Get(), answer, sizeof answer), 0) << "the 33rd is closed";
}

TEST_F(Listening, AHangUpIsOneAndAnAnswerGoesOnceWhateverErrnoSaidBefore) {
    FileDescriptor asking = RawSocket(name);
    ASSERT_EQ(write(asking.Get(), "fro", 3), 3);
    {
        FileDescriptor client = RawSocket(name);
        ASSERT_EQ(write(client.Get(), "fro", 3), 3);
        listener->Serve(handler, 10s);
        ASSERT_EQ(listener->Pending(), 2u);
    }
    ASSERT_EQ(write(asking.Get(), "nt\n", 3), 3);
    // A read of the closed connection, or a read and a send that succeed, say nothing of errno,
    // which an earlier call may have left saying "interrupted".
    errno = EINTR;
    listener->Serve(handler, 10s);
    EXPECT_EQ(listener->Pending(), 0u);
    char answer[8];
    EXPECT_EQ(read(asking.Get(), answer, sizeof answer), 3);
}

}  // namespace
}  // namespace platform::detail
