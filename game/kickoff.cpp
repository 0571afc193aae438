#include "game/match.h"

void ResetKickoff(MatchState& state) {
    const std::int32_t width = state.geometry.width;
    const std::int32_t height = state.geometry.height;
    Ball& ball = state.ball;

    state.recoilTicks = 0;
    ball.size = BallSizeForWidth(width);
    state.lastStylusX = -10;
    state.lastStylusY = -10;
    ball.x = width / 2 - ball.size / 2;
    // The ball's top edge, not its centre, sits on the halfway level.
    ball.y = height / 2;
    ball.vx = 0;
    ball.vy = 0;
    ball.active = 1;
    ball.colour = kBallColour;

    for (Player& player : state.players) {
        player.size = DiscSizeForWidth(width);
        player.vx = 0;
        player.vy = 0;
        player.x = width / 2 - player.size / 2;
    }
    // Each disc touches the inner edge of its own goal band (the pitch edge before the first
    // background paint has stored the goal depth).
    Player& user = state.players[kUserPlayer];
    Player& computer = state.players[kComputerPlayer];
    user.y = height - state.geometry.goalDepth - user.size;
    computer.y = state.geometry.goalDepth;
    user.colour = kUserDiscColour;
    computer.colour = kComputerDiscColour;
}

void StartMatch(MatchState& state, std::int32_t width, std::int32_t height) {
    state.geometry.width = width;
    state.geometry.height = height;
    ResetKickoff(state);
    state.players[kUserPlayer].score = 0;
    state.players[kComputerPlayer].score = 0;
    state.scoreFlash = 0;
    state.hardMode = 0;
}

void NewGame(MatchState& state) {
    ResetKickoff(state);
    state.players[kUserPlayer].score = 0;
    state.scoreFlash = 0;
    state.players[kComputerPlayer].score = 0;
}
