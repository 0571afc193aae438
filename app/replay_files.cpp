#include "app/replay_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <wchar.h>
#include <windows.h>
#endif

#include "app/program_state.h"
#include "app/screen_size.h"
#ifdef _WIN32
#include "app/windows_text.h"
#endif

namespace {

// Paths are UTF-8 in the program (Windows' command line is read in UTF-16 and turned to it);
// Windows is asked in UTF-16, so that a folder or file named outside the ANSI code page works.
#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}
int MakeOneFolder(const std::string& folder) {
    return _wmkdir(Wide(folder).c_str());
}
bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
#else
constexpr std::string_view kSeparators = "/";
std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}
int MakeOneFolder(const std::string& folder) {
    return mkdir(folder.c_str(), 0777);
}
bool IsFolder(const std::string& path) {
    struct stat there {};
    return stat(path.c_str(), &there) == 0 && (there.st_mode & S_IFMT) == S_IFDIR;
}
#endif

}  // namespace

std::unique_ptr<FileSink> FileSink::Open(std::string path, bool whenWritten, std::string* error) {
    std::unique_ptr<FileSink> sink(new FileSink(std::move(path)));
    if (!whenWritten && !sink->OpenNow(error)) {
        return nullptr;
    }
    return sink;
}

FileSink::~FileSink() {
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

bool FileSink::OpenNow(std::string* error) {
    file_ = OpenFile(path_, "wb");
    if (file_ == nullptr) {
        *error = "cannot record to " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void FileSink::Write(std::string_view text) {
    if (failure_) {
        return;
    }
    std::string error;
    if (file_ == nullptr && !OpenNow(&error)) {
        failure_ = error;
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0) {
        failure_ = "the recording to " + path_ + " stopped: " + std::strerror(errno);
    }
}

namespace {

// Makes `folder` and the folders missing above it, as the C library can: std::filesystem would
// bring the C++ streams into the program with it.
bool MakeFolders(const std::string& folder) {
    if (MakeOneFolder(folder) == 0) {
        return true;
    }
    if (errno == ENOENT) {
        const std::size_t up = folder.find_last_of(kSeparators);
        if (up == std::string::npos || up == 0 || !MakeFolders(folder.substr(0, up))) {
            return false;
        }
        if (MakeOneFolder(folder) == 0) {
            return true;
        }
    }
    if (errno != EEXIST) {
        return false;
    }
    // Something of that name is there already: a folder will do.
    if (!IsFolder(folder)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> LastMatchPath(std::string* why) {
    std::string folder;
#ifdef _WIN32
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0') {
        *why = "LOCALAPPDATA is not set";
        return std::nullopt;
    }
    folder = Utf8(local) + "\\Tarvel";
#else
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state != nullptr && *state == '/') {
        folder = std::string(state) + "/tarvel";
    } else if (home != nullptr && *home != '\0') {
        folder = std::string(home) + "/.local/state/tarvel";
    } else {
        *why = "neither XDG_STATE_HOME nor HOME is set";
        return std::nullopt;
    }
#endif
    if (!MakeFolders(folder)) {
        *why = "cannot make " + folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    return folder + kSeparators[0] + "last-match.tarvel";
}

std::optional<Replay> LoadReplay(const std::string& path, std::string* message) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenFile(path, "rb"), &std::fclose);
    if (!file) {
        *message = path + ": cannot open: " + std::strerror(errno);
        return std::nullopt;
    }
    // Read whole, a chunk past the limit at most: the reader refuses a longer one.
    std::string text;
    char chunk[1 << 16];
    while (static_cast<std::int64_t>(text.size()) <= kMaxScriptBytes) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
        text.append(chunk, got);
        if (got < sizeof chunk) {
            break;
        }
    }
    if (std::ferror(file.get()) != 0) {
        *message = path + ": cannot read: " + std::strerror(errno);
        return std::nullopt;
    }
    ReplayReading reading = ReadReplay(text);
    if (!reading.ok) {
        *message = path + ": line " + std::to_string(reading.line) + ": " + reading.reason;
        return std::nullopt;
    }
    return std::move(reading.replay);
}

namespace {

// This run's recording: to --record's file, opened now, else to the last match's, opened when
// first written. Null with --no-record, after a refusal (`error`), or when there is no state
// folder to keep the last match in (`warning`: the game plays on).
std::unique_ptr<FileSink> RecordingSink(const CommandLine& options, std::string* error,
                                        std::string* warning) {
    if (options.noRecord) {
        return nullptr;
    }
    if (!options.recordPath.empty()) {
        return FileSink::Open(options.recordPath, false, error);
    }
    std::string why;
    const std::optional<std::string> path = LastMatchPath(&why);
    if (!path) {
        *warning = "this match is not kept: " + why;
        return nullptr;
    }
    return FileSink::Open(*path, true, error);
}

// The recording --replay names, its screen one the program can show.
std::optional<Replay> ReplayToShow(const std::string& path, std::string* message) {
    std::optional<Replay> replay = LoadReplay(path, message);
    if (!replay) {
        return std::nullopt;
    }
    std::string why;
    const std::string size =
        std::to_string(replay->screenWidth) + "x" + std::to_string(replay->screenHeight);
    if (!ParseScreenSize(size, &why)) {
        *message = path + ": line " + std::to_string(replay->screenLine) + ": the screen " + size +
                   " cannot be shown: " + why;
        return std::nullopt;
    }
    return replay;
}

}  // namespace

bool RunRecording::Prepare(const CommandLine& options, std::string* error, std::string* warning) {
    if (!options.replayPath.empty()) {
        replay_ = ReplayToShow(options.replayPath, error);
        return replay_.has_value();
    }
    sink_ = RecordingSink(options, error, warning);
    return error->empty();
}

void RunRecording::Attach(std::string_view target, ReplayPlayer::Report report) {
    if (replay_) {
        player_.emplace(std::move(*replay_), std::move(report)).Attach();
    } else if (sink_) {
        std::string program = VersionText();  // "tarvel 1.2\n"
        program.pop_back();
        recorder_.emplace(*sink_, Program().match, program, target).Attach();
    }
}

int RunRecording::Finish(int status, std::string* warning) {
    warning->clear();
    if (recorder_) {
        recorder_->Finish();
        recorder_->Detach();
        if (sink_->failure()) {
            *warning = *sink_->failure();
        }
    }
    if (player_) {
        player_->Detach();
        if (!player_->shown()) {
            *warning =
                "the replay was not shown: a game is running already, and it was brought to "
                "the front; close it to watch the replay";
            return kExitReplayNotShown;
        }
        return player_->failed() ? 2 : status;
    }
    return status;
}
