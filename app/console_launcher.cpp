// tarvel.com: the game for the command prompt. tarvel.exe is a window program, which a command
// prompt starts without waiting: its text comes after the prompt is back and its exit status is
// lost. Typed as `tarvel`, the prompt finds this console program first (.com before .exe); it
// starts tarvel.exe beside it with the same arguments and its own standard handles, waits for
// it, and exits with its status.
#include <windows.h>

#include <cwchar>

namespace {

constexpr DWORD kCannotStart = 127;
// The longest command line Windows passes.
constexpr std::size_t kCommandLineSize = 32768;

// The command line after the program's own name, as typed: the rules CommandLineToArgvW reads
// the first word by (quoted, or up to a space or tab).
const wchar_t* Arguments(const wchar_t* commandLine) {
    const wchar_t* at = commandLine;
    if (*at == L'"') {
        ++at;
        while (*at != L'\0' && *at != L'"') {
            ++at;
        }
        if (*at == L'"') {
            ++at;
        }
    } else {
        while (*at != L'\0' && *at != L' ' && *at != L'\t') {
            ++at;
        }
    }
    while (*at == L' ' || *at == L'\t') {
        ++at;
    }
    return at;
}

// To the console, or as UTF-8 where the error output is redirected.
void Say(const wchar_t* text) {
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    const auto length = static_cast<int>(std::wcslen(text));
    DWORD written = 0;
    if (WriteConsoleW(error, text, static_cast<DWORD>(length), &written, nullptr)) {
        return;
    }
    char bytes[2 * MAX_PATH + 100];
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text, length, bytes, sizeof bytes, nullptr, nullptr);
    WriteFile(error, bytes, static_cast<DWORD>(size), &written, nullptr);
}

}  // namespace

int wmain() {
    // tarvel.exe, beside this program.
    wchar_t program[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    wchar_t* dot = std::wcsrchr(program, L'.');
    if (length == 0 || length >= MAX_PATH - 4 || dot == nullptr) {
        Say(L"tarvel: cannot find the folder of tarvel.com\n");
        return static_cast<int>(kCannotStart);
    }
    std::wcscpy(dot, L".exe");

    static wchar_t commandLine[kCommandLineSize];
    const wchar_t* arguments = Arguments(GetCommandLineW());
    if (std::swprintf(commandLine, kCommandLineSize, L"\"%ls\"%ls%ls", program,
                      *arguments != L'\0' ? L" " : L"", arguments) < 0) {
        Say(L"tarvel: the command line is too long\n");
        return static_cast<int>(kCannotStart);
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        wchar_t message[MAX_PATH + 64];
        std::swprintf(message, MAX_PATH + 64, L"tarvel: cannot start %ls (error %lu)\n", program,
                      GetLastError());
        Say(message);
        return static_cast<int>(kCannotStart);
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = kCannotStart;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
