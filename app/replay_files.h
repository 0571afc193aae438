// A desktop program's recordings on disk: the file a match is recorded to as it is played, the
// last match's place in the user's state folder, and reading a recording to replay.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/command_line.h"
#include "app/match_recorder.h"
#include "app/replay_player.h"
#include "app/replay_reader.h"

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

// What a desktop run does about recordings, as its command line asks: it replays --replay's
// recording, or records its match to --record's file or the last match's, or neither.
class RunRecording {
  public:
    static constexpr int kExitReplayNotShown = 1;

    // Before the window opens: reads and checks the recording to replay, or opens the file to
    // record to. False, with the message for "tarvel: ", when the run cannot go on (status 2);
    // `warning` when it goes on without keeping its match.
    bool Prepare(const CommandLine& options, std::string* error, std::string* warning);
    // The recording to replay, whose screen the window is to show; null when recording.
    const Replay* replay() const { return replay_ ? &*replay_ : nullptr; }

    // After the program's state is reset, before WinMain: the player or the recorder goes in
    // front of the main window procedure. `target` names the system for the recording's header.
    void Attach(std::string_view target, ReplayPlayer::Report report);
    // After WinMain: the run's exit status (2 for a replay whose check failed, 1 for one never
    // shown because a game was running already), and a warning when the recording could not be
    // written to its end or the replay was not shown.
    int Finish(int status, std::string* warning);
    bool failed() const { return player_ && player_->failed(); }

  private:
    std::optional<Replay> replay_;
    std::unique_ptr<FileSink> sink_;
    std::optional<MatchRecorder> recorder_;
    std::optional<ReplayPlayer> player_;
};
