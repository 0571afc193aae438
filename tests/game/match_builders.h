// Small builders for match states in the tests: a pitch whose goal depth is stored and whose
// ball and discs stand at a later kick-off, as after the first goal.
#pragma once

#include "game/match.h"

inline MatchState MatchInPlay(int width = 240, int height = 320) {
    MatchState state{};
    state.initialised = 1;
    StartMatch(state, width, height);
    state.geometry.goalDepth = GoalDepthForWidth(width);
    ResetKickoff(state);
    return state;
}

inline void PlaceBall(MatchState& state, double x, double y, double vx = 0, double vy = 0) {
    state.ball.x = x;
    state.ball.y = y;
    state.ball.vx = vx;
    state.ball.vy = vy;
}

inline void PlaceDisc(MatchState& state, int player, double x, double y, double vx = 0,
                      double vy = 0) {
    state.players[player].x = x;
    state.players[player].y = y;
    state.players[player].vx = vx;
    state.players[player].vy = vy;
}
