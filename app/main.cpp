// The desktop runtime entry: reads the command line, opens the device screen in a desktop window,
// and runs the program on it as the device's runtime would: statics zeroed, WinMain, its result
// as the exit code.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_state.h"
#include "app/win_main.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/window/window_system.h"
#include "resources/tarvel_resources.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitNoDisplay = 1;

}  // namespace

int main(int argc, char** argv) {
    const CommandLineResult parsed =
        ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "tarvel: %s\nTry 'tarvel --help' for more information.\n",
                     parsed.error.c_str());
        return kExitUsage;
    }
    if (parsed.options.help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::fputs(VersionText().c_str(), stdout);
        return 0;
    }

    std::string error;
    platform::SdlOptions display;
    display.screen = {parsed.options.screenWidth, parsed.options.screenHeight};
    display.scale = parsed.options.scale;
    display.fullscreen = parsed.options.fullscreen;
    display.title = "Tarvel";
    display.icon = platform::WindowIconFromResource(resources::TarvelIcon(), &error);
    std::unique_ptr<platform::SdlBackend> backend = platform::SdlBackend::Create(display, &error);
    if (backend == nullptr) {
        std::fprintf(stderr, "tarvel: %s\n", error.c_str());
        return kExitNoDisplay;
    }

    platform::WindowSystem windows(*backend);
    const HINSTANCE instance = platform::RegisterModule(resources::TarvelResourceModule());
    ResetProgramState();
    return WinMain(instance, nullptr, nullptr, SW_SHOW);
}
