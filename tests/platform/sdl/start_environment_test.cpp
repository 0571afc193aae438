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

namespace platform::sdl {
namespace {

std::optional<std::string> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

// Each test gets a runtime directory of its own and the variables back as they were.
class StartEnvironmentTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tarvel-bus-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        runtimeDir_ = pattern;
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
        setenv("XDG_RUNTIME_DIR", runtimeDir_.c_str(), 1);
    }
    void TearDown() override {
        if (listener_ >= 0) {
            close(listener_);
        }
        std::remove(BusPath().c_str());
        rmdir(runtimeDir_.c_str());
        Restore("DBUS_SESSION_BUS_ADDRESS", savedAddress_);
        Restore("XDG_RUNTIME_DIR", savedRuntime_);
        Restore("XCOMPOSEFILE", savedCompose_);
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

    std::string runtimeDir_;
    int listener_ = -1;

  private:
    std::optional<std::string> savedAddress_ = Variable("DBUS_SESSION_BUS_ADDRESS");
    std::optional<std::string> savedRuntime_ = Variable("XDG_RUNTIME_DIR");
    std::optional<std::string> savedCompose_ = Variable("XCOMPOSEFILE");
};

TEST_F(StartEnvironmentTest, WithNoBusAnywhereTheAddressIsOneThatCannotOpen) {
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));

    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    unsetenv("XDG_RUNTIME_DIR");
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));
}

TEST_F(StartEnvironmentTest, TheUserSessionBusIsLeftForLibdbusToFind) {
    ListenAtBusPath();
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::nullopt);
}

TEST_F(StartEnvironmentTest, AFileThatIsNoSocketIsNoBus) {
    std::FILE* file = std::fopen(BusPath().c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    KeepSessionBusFromLaunching();
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));
}

TEST_F(StartEnvironmentTest, AnAddressAlreadySetIsKeptEvenEmpty) {
    for (const char* address : {"unix:path=/run/user/1000/bus", ""}) {
        setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
        KeepSessionBusFromLaunching();
        EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(address));
    }
}

TEST_F(StartEnvironmentTest, TheComposeTableIsEmptyWhateverTheUserNamed) {
    setenv("XCOMPOSEFILE", "/home/someone/.XCompose", 1);
    KeepSdlStartLean();
    EXPECT_EQ(Variable("XCOMPOSEFILE"), std::string(kEmptyComposeTable));
    // And the bus, which nothing here provides.
    EXPECT_EQ(Variable("DBUS_SESSION_BUS_ADDRESS"), std::string(kNoSessionBus));
}

}  // namespace
}  // namespace platform::sdl
