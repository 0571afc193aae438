#include "app/replay_files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

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
    file_ = std::fopen(path_.c_str(), "wb");
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

std::optional<std::string> LastMatchPath(std::string* why) {
    namespace fs = std::filesystem;
    fs::path folder;
#ifdef _WIN32
    const char* local = std::getenv("LOCALAPPDATA");
    if (local == nullptr || *local == '\0') {
        *why = "LOCALAPPDATA is not set";
        return std::nullopt;
    }
    folder = fs::path(local) / "Tarvel";
#else
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state != nullptr && *state == '/') {
        folder = fs::path(state) / "tarvel";
    } else if (home != nullptr && *home != '\0') {
        folder = fs::path(home) / ".local" / "state" / "tarvel";
    } else {
        *why = "neither XDG_STATE_HOME nor HOME is set";
        return std::nullopt;
    }
#endif
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        *why = "cannot make " + folder.string() + ": " + error.message();
        return std::nullopt;
    }
    return (folder / "last-match.tarvel").string();
}

std::optional<Replay> LoadReplay(const std::string& path, std::string* message) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *message = path + ": cannot open: " + std::strerror(errno);
        return std::nullopt;
    }
    ReplayReading reading = ReadReplay(in);
    if (!reading.ok) {
        *message = path + ": line " + std::to_string(reading.line) + ": " + reading.reason;
        return std::nullopt;
    }
    return std::move(reading.replay);
}
