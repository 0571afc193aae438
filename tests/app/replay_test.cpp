// A match played on the real program is recorded as it goes; tarvel-sim and the program's own
// player play recordings back with every check holding, and an altered check stops the player.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "app/match_recorder.h"
#include "app/replay_files.h"
#include "app/replay_player.h"
#include "app/replay_reader.h"
#include "app/script_line.h"
#include "game/match_digest.h"
#include "render/frame_painter.h"
#include "resources/resource_ids.h"
#include "tests/app/headless_program.h"
#include "tests/platform/sdl/scoped_environment.h"
#include "tests/tools/script_run.h"
#include "tools/state_json.h"

namespace {

using tarvel_test::RunScript;
using tarvel_test::ScriptRun;

// A prefix of this process's own for files in the temporary folder: another process may run
// the same tests at the same time (the tests under valgrind beside the plain ones).
const std::string kTemp = testing::TempDir() + std::to_string(getpid()) + " ";

struct TextSink final : ReplaySink {
    void Write(std::string_view text) override {
        EXPECT_TRUE(text.empty() || text.back() == '\n');
        ++pieces;
        all += text;
    }
    std::string all;
    int pieces = 0;
};

// Taps the open pop-up menu `sixths` sixths of the way down: 1, 3 and 5 are its three items.
void TapPopupAt(HeadlessProgram& game, int sixths) {
    RECT r{};
    GetWindowRect(FindWindowW(u"PopupMenu", nullptr), &r);
    game.backend().Tap((r.left + r.right) / 2, r.top + (r.bottom - r.top) * sixths / 6);
}

// A match of 3 s on a 240 x 320 screen: strokes of the stylus that hit the ball, the difficulty
// toggled by its menu, and a quit; recorded from the first message on.
std::string RecordMatch(MatchState* end) {
    HeadlessProgram game{{240, 320}};
    TextSink sink;
    MatchRecorder recorder(sink, game.match(), "tarvel 1.2", "linux");
    recorder.Attach();
    // A stroke up the middle that sends the ball to the computer, who scores; then wider ones.
    game.At(60, [&] { game.backend().PointerDown(120, 290); });
    for (int step = 0; step < 40; ++step) {
        game.At(75 + step * 40, [&, step] {
            if (step < 5) {
                game.backend().PointerMove(step < 4 ? 120 : 150, 180);
            } else {
                game.backend().PointerMove(60 + (step * 53) % 120, 170 + (step * 29) % 120);
            }
        });
    }
    game.At(1800, [&] { game.backend().PointerUp(100, 250); });
    game.At(2000, [&] { game.backend().PressKey(VK_F2); });
    game.At(2010, [&] { TapPopupAt(game, 5); });  // "Dificil"
    game.At(3000, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Run(), 0);
    recorder.Finish();
    recorder.Detach();
    *end = game.match();
    EXPECT_EQ(sink.pieces, 3) << "a piece a second (ticks 20 and 40) and one at the end";
    return sink.all;
}

}  // namespace

TEST(Replay, TheRecorderCollapsesTicksAndPaintsWritesStepsAndChecksAfterThe20thTicksPaint) {
    MatchState match{};
    match.initialised = 1;  // past the first paint, which needs a window
    TextSink sink;
    MatchRecorder recorder(sink, match, "tarvel 1.2", "linux");
    const auto send = [&](UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        recorder.Observe(nullptr, message, wParam, lParam);
    };
    const auto played = [&](int ticks) {
        for (int i = 0; i < ticks; ++i) {
            send(WM_TIMER, GAME_TIMER_ID);
            send(WM_PAINT);
        }
    };
    send(WM_PAINT);
    played(3);
    send(WM_TIMER);
    send(WM_TIMER);
    send(WM_PAINT);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 200));
    send(WM_MOUSEMOVE, 0, MAKELPARAM(100, 199));
    send(WM_MOUSEMOVE, 0, MAKELPARAM(0, 199));
    send(WM_COMMAND, IDM_NEW);
    send(WM_COMMAND, IDM_ABOUT);
    send(WM_COMMAND, IDM_HARD);
    send(WM_TIMER);
    send(WM_MOUSEMOVE, 0, MAKELPARAM(99, 199));
    send(WM_MOUSEMOVE, 0, MAKELPARAM(98, 199));
    played(14);  // the 20th tick's paint comes before its check
    send(WM_MOUSEMOVE, 0, MAKELPARAM(99, 199));
    send(WM_TIMER);
    played(19);
    send(WM_COMMAND, IDM_HARD);  // a command after the 40th tick's paint comes after its check
    played(20);
    send(WM_PAINT);  // and so does a paint
    played(19);
    send(WM_TIMER);
    send(WM_TIMER);  // and the tick after an unpainted 80th
    recorder.Finish();
    recorder.Finish();  // which has nothing more to check
    const std::string digest = DigestText(MatchDigest(match));
    EXPECT_EQ(sink.all,
              "# tarvel-replay 1 tarvel 1.2 linux\nframe\nplay 3\ntick\nplay\nmove 100 200\n"
              "move +0 -1\nmove -100 +0\nnew\nhard\ntick\nmove +99 +0\nmove -1 +0\nplay 14\n"
              "check 20 " +
                  digest + "\nmove +1 +0\ntick\nplay 19\ncheck 40 " + digest +
                  "\nhard\nplay 20\ncheck 60 " + digest + "\nframe\nplay 19\ntick\ncheck 80 " +
                  digest + "\ntick\ncheck 81 " + digest + "\n");
    EXPECT_EQ(sink.pieces, 5);
}

namespace {

// The program on the screen the recording was made on, replaying `text` from its first
// message, with what the player tells the window kept.
struct Replaying : HeadlessProgram {
    explicit Replaying(const std::string& text)
        : HeadlessProgram({240, 320}),
          player(Read(text), [this](const std::string& status, bool last) {
              statuses.push_back(status);
              final = last;
          }) {
        player.Attach();
    }
    static Replay Read(const std::string& text) {
        ReplayReading reading = ReadReplay(text);
        EXPECT_TRUE(reading.ok) << reading.line << ": " << reading.reason;
        return std::move(reading.replay);
    }
    // Runs the program to its end and takes the player off it.
    int Play() {
        const int status = Run();
        player.Detach();
        return status;
    }

    std::vector<std::string> statuses;
    bool final = false;
    ReplayPlayer player;
};

}  // namespace

TEST(Replay, TheProgramPlaysARecordingAtItsPaceWithTheLivePointerAndCommandsIgnored) {
    MatchState end{};
    const std::string replay = RecordMatch(&end);
    Replaying game(replay);
    // A stroke of the live pointer and a new game from the menu would change the match.
    game.At(100, [&] { game.backend().PointerDown(30, 250); });
    for (int t = 110; t < 600; t += 30) {
        game.At(t, [&, t] { game.backend().PointerMove(t / 3, 280 - t / 4); });
    }
    game.At(700, [&] {
        game.backend().PointerUp(200, 200);
        game.backend().PressKey(VK_F2);
    });
    game.At(710, [&] { TapPopupAt(game, 3); });  // "Nuevo"
    game.At(2000, [&] {
        EXPECT_FALSE(game.player.ended()) << "the recorded pace: 59 ticks, 3 s";
        // Held back from the match, a command still answers as handled.
        EXPECT_EQ(SendMessageW(FindWindowW(u"TARVEL", nullptr), WM_COMMAND, IDM_NEW, 0), 0);
    });
    game.At(3200, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Play(), 0);
    EXPECT_TRUE(game.player.ended());
    EXPECT_EQ(MatchDigest(game.match()), MatchDigest(end));
    EXPECT_TRUE(game.final);
    EXPECT_EQ(game.statuses.back(), "end of replay (tick 59)");
}

TEST(Replay, SpacePausesRightStepsPlusAndMinusSetTheSpeedAndAFailedCheckStops) {
    // Stepped to its end while paused, from a first step that is not a frame.
    {
        Replaying stepped("# tarvel-replay 1 x\n# screen 240 320\nstart 240 294\nplay 2\n");
        stepped.At(10, [&] {
            for (const auto key : {VK_SPACE, VK_RIGHT, VK_RIGHT}) {
                stepped.backend().PressKey(key);
            }
        });
        stepped.At(300, [&] { stepped.backend().PressControlKey('Q'); });
        EXPECT_EQ(stepped.Play(), 0);
        EXPECT_EQ(stepped.statuses,
                  (std::vector<std::string>{"replay x1, tick 0", "replay paused at tick 0",
                                            "replay paused at tick 1", "end of replay (tick 2)"}));
    }
    MatchState end{};
    std::string replay = RecordMatch(&end);
    // The last check altered: the replay stops there.
    replay[replay.size() - 2] = replay[replay.size() - 2] == '0' ? '1' : '0';
    Replaying game(replay);
    std::int64_t paused = 0;
    game.At(40, [&] { game.backend().PressKey(VK_SUBTRACT); });  // x1 is the slowest
    game.At(300, [&] {
        EXPECT_GE(game.player.ticks(), 4);
        EXPECT_LE(game.player.ticks(), 6);
        game.backend().PressKey(VK_SPACE);
    });
    game.At(310, [&] { paused = game.player.ticks(); });
    game.At(600, [&] {
        EXPECT_EQ(game.player.ticks(), paused);
        game.backend().PressKey(VK_RIGHT);
    });
    game.At(610, [&] {
        EXPECT_EQ(game.player.ticks(), paused + 1);
        EXPECT_EQ(game.statuses.back(), "replay paused at tick " + std::to_string(paused + 1));
        for (const auto key :
             {VK_OEM_PLUS, VK_SPACE, VK_OEM_PLUS, VK_OEM_PLUS, VK_OEM_PLUS, VK_OEM_MINUS}) {
            game.backend().PressKey(key);
        }
    });
    game.At(620, [&] {
        EXPECT_EQ(game.statuses[game.statuses.size() - 5],
                  "replay x2, tick " + std::to_string(paused + 1));
        paused = game.player.ticks();
    });
    game.At(820, [&] { EXPECT_EQ(game.player.ticks(), paused + 4 * 4) << "x4 after x8 and back"; });
    game.At(2000, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Play(), 0);
    EXPECT_TRUE(game.player.failed());
    EXPECT_TRUE(game.final);
    EXPECT_EQ(
        game.statuses.back().rfind("the match differs from the recording at tick 59 (line ", 0), 0u)
        << game.statuses.back();
}

TEST(ReplayFiles, AnUnwritableFileIsRefusedAtOnceAndAFullDiskIsKeptToBeToldAtTheEnd) {
    std::string error;
    EXPECT_EQ(FileSink::Open("/nonexistent/folder/m.tarvel", false, &error), nullptr);
    EXPECT_EQ(error, "cannot record to /nonexistent/folder/m.tarvel: No such file or directory");

    // Opened when first written: the failure waits for the write.
    error.clear();
    const std::unique_ptr<FileSink> later = FileSink::Open("/nonexistent/m.tarvel", true, &error);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(error, "");
    later->Write("# tarvel-replay 1\n");
    EXPECT_EQ(later->failure(),
              "cannot record to /nonexistent/m.tarvel: No such file or directory");

    const std::unique_ptr<FileSink> full = FileSink::Open("/dev/full", false, &error);
    ASSERT_NE(full, nullptr);
    full->Write("check 20 0123456789abcdef\n");
    EXPECT_EQ(full->failure(), "the recording to /dev/full stopped: No space left on device");
}

TEST(ReplayFiles, TheLastMatchIsKeptInTheStateFolderMadeWithTheFoldersMissingAboveIt) {
    const std::string top = kTemp + "tarvel-state";
    std::filesystem::remove_all(top);
    const std::string state = top + "/a/b";
    const std::string folder = state + "/tarvel";
    platform::sdl::testing::ScopedEnvironment environment;
    environment.Set("XDG_STATE_HOME", state.c_str());
    environment.Set("HOME", nullptr);
    std::string why;
    EXPECT_EQ(LastMatchPath(&why), folder + "/last-match.tarvel") << why;
    const mode_t mask = umask(022);
    umask(mask);
    struct stat made {};
    ASSERT_EQ(stat(folder.c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 07777, 0777 & ~mask);
    EXPECT_EQ(LastMatchPath(&why), folder + "/last-match.tarvel") << "once it is there";

    std::filesystem::remove(folder);
    std::ofstream(folder) << "in the way";
    EXPECT_EQ(LastMatchPath(&why), std::nullopt);
    EXPECT_EQ(why, "cannot make " + folder + ": Not a directory");

    // A relative XDG_STATE_HOME is not used; HOME may be relative, to a folder of one letter.
    std::filesystem::create_directories(top + "/cwd");
    const std::filesystem::path was = std::filesystem::current_path();
    std::filesystem::current_path(top + "/cwd");
    environment.Set("XDG_STATE_HOME", "x");
    environment.Set("HOME", "h");
    EXPECT_EQ(LastMatchPath(&why), "h/.local/state/tarvel/last-match.tarvel") << why;
    std::filesystem::current_path(was);
    environment.Set("HOME", "");
    EXPECT_EQ(LastMatchPath(&why), std::nullopt);
    EXPECT_EQ(why, "neither XDG_STATE_HOME nor HOME is set");
    std::filesystem::remove_all(top);
}

TEST(ReplayFiles, AFileIsReadWholeButNotPastTheLongestScript) {
    const std::string path = kTemp + "tarvel long.tarvel";
    std::string text = "# tarvel-replay 1 x\n# screen 240 320\nstart 240 294\n";
    while (text.size() < 100'000) {
        text += "play 1\n";
    }
    std::ofstream(path) << text;
    std::string message;
    const std::optional<Replay> replay = LoadReplay(path, &message);
    ASSERT_TRUE(replay) << message;
    EXPECT_EQ(replay->ticks, static_cast<std::int64_t>(replay->steps.size()));
    EXPECT_GT(replay->ticks, 14'000);

    // Lines up to the limit exactly, then one more.
    const std::string comment = "#" + std::string(1022, '.') + "\n";
    text = "# tarvel-replay 1 x\n# screen 240 320\nstart 240 294\n";
    while (text.size() + comment.size() <= kMaxScriptBytes) {
        text += comment;
    }
    text += std::string(kMaxScriptBytes - text.size() - 1, '#') + "\n";
    ASSERT_EQ(text.size(), kMaxScriptBytes);
    std::ofstream(path) << text << "play 1\n";
    EXPECT_EQ(LoadReplay(path, &message), std::nullopt);
    EXPECT_NE(message.find("longer than 16777216 bytes"), std::string::npos) << message;
    std::remove(path.c_str());
}

TEST(ReplayFiles, ARunRecordsToItsFileAndAnotherReplaysIt) {
    const std::string path = kTemp + "tarvel run.tarvel";
    const auto OpenFiles = [] {
        const std::filesystem::directory_iterator fds("/proc/self/fd");
        return std::distance(begin(fds), end(fds));
    };
    const auto filesBefore = OpenFiles();
    std::string end;
    std::string error;
    std::string warning;
    {
        CommandLine options;
        options.recordPath = path;
        RunRecording recording;
        ASSERT_TRUE(recording.Prepare(options, &error, &warning)) << error;
        EXPECT_EQ(recording.replay(), nullptr);
        HeadlessProgram game{{240, 320}};
        recording.Attach("linux", {});
        game.At(100, [&] { game.backend().PointerMove(120, 200); });
        game.At(1150, [&] { game.backend().PointerMove(150, 250); });  // after the last check
        game.At(1200, [&] { game.backend().PressControlKey('Q'); });
        warning = "what Prepare said";
        EXPECT_EQ(recording.Finish(game.Run(), &warning), 0);
        end = MatchStateToJson(game.match()) + "\n";
        EXPECT_EQ(warning, "");
        EXPECT_EQ(Program().messageHook, nullptr);
    }
    EXPECT_EQ(OpenFiles(), filesBefore) << "the recording's file is closed";
    std::ifstream file(path);
    const std::string recorded((std::istreambuf_iterator<char>(file)), {});
    const ScriptRun sim = RunScript(recorded + "dump\n");
    EXPECT_EQ(sim.status, kScriptOk);
    EXPECT_EQ(sim.out, end) << "the recording goes on to the last tick";

    // A failed check makes the status 2.
    std::ofstream(path) << "# tarvel-replay 1 x\n# screen 240 320\nstart 240 294\nframe\nhard\n"
                           "play 3\ncheck 3 0000000000000000\n";
    CommandLine options;
    options.replayPath = path;
    RunRecording replay;
    ASSERT_TRUE(replay.Prepare(options, &error, &warning)) << error;
    ASSERT_NE(replay.replay(), nullptr);
    EXPECT_EQ(replay.replay()->screenHeight, 320);
    HeadlessProgram game{{240, 320}};
    std::string last;
    replay.Attach("linux", [&](const std::string& status, bool) { last = status; });
    game.At(1000, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(replay.Finish(game.Run(), &warning), 2);
    EXPECT_TRUE(replay.failed());
    EXPECT_EQ(Program().messageHook, nullptr);
    EXPECT_EQ(game.match().hardMode, 1);
    EXPECT_EQ(last, "the match differs from the recording at tick 3 (line 7)");
    std::remove(path.c_str());
}

TEST(Replay, TheProgramEndsAReplayInTheStateTarvelSimDoesAndRefusesAnotherPitch) {
    // The difficulty, a goal, a new game, another goal, then paints that lower the flash: no
    // checks, so the end state is compared whole with tarvel-sim's.
    const std::string stroke =
        "move 120 180\nmove +0 +0\nmove +0 +0\nmove +0 +0\nmove 150 180\ntick 40\nframe\n";
    const std::string script = "start 240 294\nframe\nhard\ntick 3\n" + stroke + "new\n" + stroke +
                               "play 2\nframe\nmove 30 250\nplay 4\n";
    const ScriptRun sim = RunScript(script + "dump\n");
    ASSERT_EQ(sim.status, kScriptOk) << sim.err;
    const std::string head = "# tarvel-replay 1 x\n# screen 240 320\n";
    {
        Replaying game(head + script);
        // A paint lowers the flash: a pixel of the computer's score shows which paint is on the
        // screen: the recorded one while it plays (tick 88 here), one afresh at its end.
        const auto scoreShows = [&](std::int32_t flash) {
            const COLORREF colour = ScoreColour(flash);  // the screen's pixels are 0xRRGGBB
            return game.ScreenPixel(28, 96) ==
                   RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour));
        };
        game.At(4440, [&] { EXPECT_TRUE(scoreShows(game.match().scoreFlash + 2)); });
        game.At(5000, [&] {  // 89 ticks
            EXPECT_EQ(game.match().players[kComputerPlayer].score, 1);
            EXPECT_TRUE(game.player.ended());
            EXPECT_TRUE(scoreShows(game.match().scoreFlash));
            EXPECT_EQ(MatchStateToJson(game.match()) + "\n", sim.out);
            game.backend().PressControlKey('Q');
        });
        EXPECT_EQ(game.Play(), 0);
    }
    Replaying game(head + "start 240 300\nplay\n");
    game.At(200, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Play(), 0);
    EXPECT_TRUE(game.player.failed());
    EXPECT_EQ(game.statuses.back(), "the window's pitch is 240 x 294, not the recorded 240 x 300");
}

TEST(ReplayFiles, AReplayThatNeverReachesAWindowSaysSoAndFails) {
    // What a start finds when a game is running already: WinMain brings that one to the front
    // and returns 0 without a window of its own.
    const std::string path = kTemp + "tarvel unshown.tarvel";
    std::ofstream(path) << "# tarvel-replay 1 x\n# screen 240 320\nstart 240 294\nplay 3\n";
    CommandLine options;
    options.replayPath = path;
    RunRecording replay;
    std::string error;
    std::string warning;
    ASSERT_TRUE(replay.Prepare(options, &error, &warning)) << error;
    replay.Attach("linux", {});
    EXPECT_FALSE(replay.failed());
    EXPECT_EQ(replay.Finish(0, &warning), 1);  // as the manual page says
    EXPECT_EQ(warning,
              "the replay was not shown: a game is running already, and it was brought to the "
              "front; close it to watch the replay");
    std::remove(path.c_str());
}
