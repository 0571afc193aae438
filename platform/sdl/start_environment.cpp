#include "platform/sdl/start_environment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace platform::sdl {
namespace {

// libdbus's own test: a socket at $XDG_RUNTIME_DIR/bus owned by us.
bool UserSessionBusThere() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        return false;
    }
    const std::string path = std::string(runtime) + "/bus";
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISSOCK(status.st_mode) &&
           status.st_uid == getuid();
}

}  // namespace

void KeepSessionBusFromLaunching() {
    // An address that is set, even empty, is libdbus's to judge; it launches nothing then.
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr || UserSessionBusThere()) {
        return;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus, 0);
}

void SkipComposeTable() {
    setenv("XCOMPOSEFILE", kEmptyComposeTable, 1);
}

void KeepSdlStartLean() {
    KeepSessionBusFromLaunching();
    SkipComposeTable();
}

}  // namespace platform::sdl
