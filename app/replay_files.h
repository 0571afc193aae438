// A desktop program's recordings on disk: the file a match is recorded to as it is played, the
// last match's place in the user's state folder, and reading a recording to replay.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/match_recorder.h"
#include "replay/replay_reader.h"

// Writes a recording to a file piece by piece, each flushed to the system at once, so a run that
// is killed leaves a valid recording up to its last check. A write that fails (a full disk)
// stops the writing and is kept to be told at the end; the game plays on.
class FileSink final : public ReplaySink {
  public:
    // Opened now (a file that cannot be written is refused before the game starts), or on the
    // first write when `whenWritten` (a program that finds another copy running writes nothing).
    static std::unique_ptr<FileSink> Open(std::string path, bool whenWritten, std::string* error);
    ~FileSink() override;

    void Write(std::string_view text) override;
    // Why the recording stopped, or nothing when every piece was written.
    const std::optional<std::string>& failure() const { return failure_; }
    const std::string& path() const { return path_; }

  private:
    explicit FileSink(std::string path) : path_(std::move(path)) {}
    bool OpenNow(std::string* error);

    std::string path_;
    std::FILE* file_ = nullptr;
    std::optional<std::string> failure_;
};

// The last match's file in the user's state folder ($XDG_STATE_HOME/tarvel, else
// ~/.local/state/tarvel; %LOCALAPPDATA%\Tarvel on Windows), the folder made if need be; nothing,
// with the reason, when there is no such folder to be had.
std::optional<std::string> LastMatchPath(std::string* why);

// Reads and checks a whole recording. On a fault, nothing and "FILE: line N: reason" (or
// "FILE: reason" when it cannot be read at all).
std::optional<Replay> LoadReplay(const std::string& path, std::string* message);

// This run's recording as the command line asks: to --record's file, opened now, else to the
// last match's, opened when first written. Null with --no-record, after a refusal (`error`), or
// when there is no state folder to keep the last match in (`warning`: the game plays on).
std::unique_ptr<FileSink> RecordingSink(const CommandLine& options, std::string* error,
                                        std::string* warning);

// The recording --replay names, read whole and checked, its screen one the program can show;
// nothing, with "FILE: line N: reason", on any fault.
std::optional<Replay> ReplayToShow(const std::string& path, std::string* message);

// "tarvel 1.2", for a recording's first line.
std::string RecordingProgramName();
