#include "platform/sdl/start_environment.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "scoped_environment.h"

namespace platform::sdl {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

// Each test gets a runtime directory of its own and the variables back as they were.
class StartEnvironmentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvel-bus-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        runtimeDir_ = pattern;
        environment_.Set("DBUS_SESSION_BUS_ADDRESS", nullptr);
        environment_.Set("XDG_RUNTIME_DIR", runtimeDir_.c_str());
        environment_.Set("XCOMPOSEFILE", nullptr);
    }
    void TearDown() override {
        if (listener_ >= 0) {
            close(listener_);
        }
        std::remove(BusPath().c_str());
        rmdir(runtimeDir_.c_str());
    }
    std::string BusPath() const { return runtimeDir_ + "/bus"; }
    void ListenAtBusPath() {
        listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(listener_, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(BusPath().size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, BusPath().c_str());
        ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    }

    // The variables a test changes, put back when the fixture goes.
    testing::ScopedEnvironment environment_;
    std::string runtimeDir_;
    int listener_ = -1;
};

// No bus in the runtime directory (a file there that is no socket included), or no runtime
// directory at all.
TEST_F(StartEnvironmentTest, WithNoBusAnywhereTheAddressIsOneThatCannotOpen) {
    std::FILE* file = std::fopen(BusPath().c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));

    environment_.Set("DBUS_SESSION_BUS_ADDRESS", nullptr);
    environment_.Set("XDG_RUNTIME_DIR", nullptr);
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));
}

TEST_F(StartEnvironmentTest, TheUserSessionBusIsLeftForLibdbusAndAnAddressSetIsKeptEvenEmpty) {
    ListenAtBusPath();
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::nullopt);
    for (const char* address : {"unix:path=/run/user/1000/bus", ""}) {
        environment_.Set("DBUS_SESSION_BUS_ADDRESS", address);
        KeepSessionBusFromLaunching();
        EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(address));
    }
}

TEST_F(StartEnvironmentTest, TheComposeTableIsEmptyWhateverTheUserNamed) {
    environment_.Set("XCOMPOSEFILE", "/home/someone/.XCompose");
    KeepSdlStartLean();
    EXPECT_EQ(Variable("XCOMPOSEFILE"), std::string(kEmptyComposeTable));
    // And the bus, which nothing here provides.
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));
}

}  // namespace
}  // namespace platform::sdl
