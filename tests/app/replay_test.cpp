// A match played on the real program is recorded as it goes; tarvel-sim and the program's own
// player play the recording back with every check holding, and one altered move fails at the
// first check after it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/match_recorder.h"
#include "app/replay_files.h"
#include "app/replay_player.h"
#include "game/match_digest.h"
#include "replay/replay_reader.h"
#include "replay/script_line.h"
#include "tests/app/headless_program.h"
#include "tools/script_runner.h"

namespace {

struct TextSink final : ReplaySink {
    void Write(std::string_view text) override {
        EXPECT_TRUE(text.empty() || text.back() == '\n');
        ++pieces;
        all += text;
    }
    std::string all;
    int pieces = 0;
};

struct SimRun {
    int status;
    std::string err;
};

SimRun Simulate(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunSimulatorScript(in, out, err);
    return {status, err.str()};
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
    game.At(2010, [&] {
        const HWND popup = FindWindowW(u"PopupMenu", nullptr);
        RECT r{};
        GetWindowRect(popup, &r);
        game.backend().Tap((r.left + r.right) / 2, r.top + (r.bottom - r.top) * 5 / 6);
    });
    game.At(3000, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Run(), 0);
    recorder.Finish();
    recorder.Detach();
    *end = game.match();
    EXPECT_EQ(sink.pieces, 3) << "a piece a second (ticks 20 and 40) and one at the end";
    return sink.all;
}

}  // namespace

TEST(Replay, ARecordedMatchPlaysBackWithEveryCheckHoldingAndAnAlteredMoveFailsAtTheNextCheck) {
    MatchState end{};
    const std::string replay = RecordMatch(&end);
    EXPECT_EQ(end.hardMode, 1);
    EXPECT_GT(end.players[0].score + end.players[1].score, 0) << "a goal, so paints matter";
    EXPECT_EQ(replay.rfind("# tarvel-replay 1 tarvel 1.2 linux\n# screen 240 320\nstart 240 ", 0),
              0u)
        << replay;
    EXPECT_NE(replay.find("\nhard\n"), std::string::npos);
    EXPECT_NE(replay.find("\ncheck 20 "), std::string::npos) << replay;
    EXPECT_NE(replay.find("\ncheck 40 "), std::string::npos);
    // The last check is of the state the program ended with.
    const std::string lastCheck = replay.substr(replay.rfind("check "));
    EXPECT_EQ(lastCheck.substr(lastCheck.size() - 17), DigestText(MatchDigest(end)) + "\n");

    const SimRun played = Simulate(replay);
    EXPECT_EQ(played.status, kScriptOk) << played.err;

    // The first move one pixel to the right: the match differs at the first check after it.
    const std::size_t move = replay.find("\nmove ") + 6;
    ASSERT_NE(move, std::string::npos + 6);
    std::string altered = replay;
    altered[move] = altered[move] == '9' ? '8' : static_cast<char>(altered[move] + 1);
    const std::size_t check = altered.find("\ncheck ", move) + 7;
    const std::string tick = altered.substr(check, altered.find(' ', check) - check);
    const auto lineOfCheck = std::count(altered.begin(), altered.begin() + check, '\n') + 1;
    const SimRun failed = Simulate(altered);
    EXPECT_EQ(failed.status, kScriptRefused);
    EXPECT_EQ(failed.err, "tarvel-sim: line " + std::to_string(lineOfCheck) +
                              ": the match differs from the recording at tick " + tick + "\n");
}

namespace {

struct Shown {
    std::vector<std::string> statuses;
    bool final = false;
};

// Replays `text` in the program on the screen it was recorded on; `steps` adds what a person does.
ReplayPlayer PlayerOf(const std::string& text, Shown& shown) {
    std::istringstream in(text);
    ReplayReading reading = ReadReplay(in);
    EXPECT_TRUE(reading.ok) << reading.line << ": " << reading.reason;
    return ReplayPlayer(std::move(reading.replay), [&shown](const std::string& status, bool final) {
        shown.statuses.push_back(status);
        shown.final = final;
    });
}

}  // namespace

TEST(Replay, TheProgramPlaysARecordingAtItsPaceWithTheLivePointerAndCommandsIgnored) {
    MatchState end{};
    const std::string replay = RecordMatch(&end);
    HeadlessProgram game{{240, 320}};
    Shown shown;
    ReplayPlayer player = PlayerOf(replay, shown);
    player.Attach();
    // A stroke of the live pointer and a new game from the menu would change the match.
    game.At(100, [&] { game.backend().PointerDown(30, 250); });
    for (int t = 110; t < 600; t += 30) {
        game.At(t, [&, t] { game.backend().PointerMove(t / 3, 280 - t / 4); });
    }
    game.At(700, [&] {
        game.backend().PointerUp(200, 200);
        game.backend().PressKey(VK_F2);
    });
    game.At(710, [&] {
        const HWND popup = FindWindowW(u"PopupMenu", nullptr);
        RECT r{};
        GetWindowRect(popup, &r);
        game.backend().Tap((r.left + r.right) / 2, r.top + (r.bottom - r.top) / 2);
    });
    game.At(2000, [&] { EXPECT_FALSE(player.ended()) << "the recorded pace: 59 ticks, 3 s"; });
    game.At(3200, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Run(), 0);
    player.Detach();
    EXPECT_TRUE(player.ended());
    EXPECT_EQ(MatchDigest(game.match()), MatchDigest(end));
    EXPECT_TRUE(shown.final);
    EXPECT_EQ(shown.statuses.back(), "end of replay (tick 59)");
}

TEST(Replay, SpacePausesRightStepsPlusAndMinusSetTheSpeedAndAFailedCheckStops) {
    MatchState end{};
    std::string replay = RecordMatch(&end);
    // The last check altered: the replay stops there.
    replay[replay.size() - 2] = replay[replay.size() - 2] == '0' ? '1' : '0';
    HeadlessProgram game{{240, 320}};
    Shown shown;
    ReplayPlayer player = PlayerOf(replay, shown);
    player.Attach();
    std::int64_t paused = 0;
    game.At(300, [&] { game.backend().PressKey(VK_SPACE); });
    game.At(310, [&] { paused = player.ticks(); });
    game.At(600, [&] {
        EXPECT_EQ(player.ticks(), paused);
        game.backend().PressKey(VK_RIGHT);
    });
    game.At(610, [&] {
        EXPECT_EQ(player.ticks(), paused + 1);
        EXPECT_EQ(shown.statuses.back(), "replay paused at tick " + std::to_string(paused + 1));
        game.backend().PressKey(VK_OEM_PLUS);
        game.backend().PressKey(VK_OEM_PLUS);
        game.backend().PressKey(VK_OEM_PLUS);
        game.backend().PressKey(VK_OEM_PLUS);
        game.backend().PressKey(VK_OEM_MINUS);
        game.backend().PressKey(VK_SPACE);
    });
    game.At(620, [&] { paused = player.ticks(); });
    game.At(820, [&] { EXPECT_EQ(player.ticks(), paused + 4 * 4) << "x4 after x8 and back"; });
    game.At(2000, [&] { game.backend().PressControlKey('Q'); });
    EXPECT_EQ(game.Run(), 0);
    player.Detach();
    EXPECT_TRUE(player.failed());
    EXPECT_TRUE(shown.final);
    EXPECT_EQ(
        shown.statuses.back().rfind("the match differs from the recording at tick 59 (line ", 0),
        0u)
        << shown.statuses.back();
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
