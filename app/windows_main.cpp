// The Windows program's entry: reads the command line, sets up the device screen that the
// desktop window shows, and runs the program as the device's runtime would: statics zeroed,
// WinMain, its result the exit status.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_state.h"
#include "app/replay_files.h"
#include "app/unwrapped_text.h"
#include "app/win_main.h"
#include "app/windows_text.h"
#include "platform/win32/device_screen.h"

namespace {

constexpr int kExitBadUsage = 2;

std::vector<std::string> Arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(Utf8(words[i]));
    }
    LocalFree(words);
    return arguments;
}

// A program of the desktop's window subsystem has no console of its own: the text goes to the
// standard handle it was given (a redirection, a terminal under Wine), else to the console of
// the command prompt that started it, else into a message box, which wraps the text itself.
void Tell(const std::string& text, bool error) {
    const DWORD which = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    HANDLE handle = GetStdHandle(which);
    if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        handle = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    }
    DWORD written = 0;
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE &&
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return;
    }
    MessageBoxW(nullptr, Wide(Unwrapped(text)).c_str(), L"Tarvel",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    const CommandLineResult parsed = ParseCommandLine(Arguments());
    if (!parsed.ok) {
        Tell("tarvel: " + parsed.error + "\nTry 'tarvel --help' for more information.\n", true);
        return kExitBadUsage;
    }
    const CommandLine& options = parsed.options;
    if (options.help) {
        Tell(UsageText(), false);
        return 0;
    }
    if (options.version) {
        Tell(VersionText(), false);
        return 0;
    }

    RunRecording recording;
    std::string error;
    std::string warning;
    if (!recording.Prepare(options, &error, &warning)) {
        Tell("tarvel: " + error + "\n", true);
        return kExitBadUsage;
    }
    if (!warning.empty()) {
        Tell("tarvel: warning: " + warning + "\n", true);
    }
    // A replay shows on the screen it was played on.
    platform::ScreenSize screen{options.screenWidth, options.screenHeight};
    if (const Replay* replay = recording.replay()) {
        screen = {static_cast<int>(replay->screenWidth), static_cast<int>(replay->screenHeight)};
    }
    platform::win32::ConfigureDeviceScreen(
        {screen, options.scaleGiven ? options.scale : 0, options.fullscreen});
    ResetProgramState();
    // The title says where a replay is; a failure is told as an error too (in a message box when
    // there is no console), the end of the replay is not worth one.
    recording.Attach("windows", [&](const std::string& status, bool final) {
        SetWindowTextW(platform::win32::DeviceMainWindow(), Wide("Tarvel: " + status).c_str());
        if (final && recording.failed()) {
            Tell("tarvel: " + options.replayPath + ": " + status + "\n", true);
        }
    });
    const int status =
        recording.Finish(WinMain(instance, nullptr, GetCommandLineW(), showCommand), &warning);
    if (!warning.empty()) {
        Tell("tarvel: warning: " + warning + "\n", true);
    }
    return status;
}
