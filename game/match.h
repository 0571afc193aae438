// The rules of the match: kick-off, contact between the ball and the discs, the tick, and the
// stylus. Free functions over the one MatchState; deterministic, no platform, no I/O.
#pragma once

#include <cstdint>

#include "game/match_state.h"

// Kick-off placement of the ball and both discs; scores, flash, difficulty stay as they are.
void ResetKickoff(MatchState& state);
// The first match of the run, on a pitch of the given client size.
void StartMatch(MatchState& state, std::int32_t width, std::int32_t height);
// The "new game" command: kick-off and zero scores, keeping the difficulty.
void NewGame(MatchState& state);

// Pushes the ball out of disc `playerIndex` in half-pixel steps and returns the distance between
// the centres afterwards. For the user's disc it also starts the recoil.
double SeparateBallFromPlayer(MatchState& state, int playerIndex);
// The computer's disc kicks the ball downwards.
void CollideBallWithComputer(MatchState& state);
// The user's disc and the ball exchange their normal velocities; the disc recoils.
void CollideBallWithUser(MatchState& state);

// One step of the match rules: chase, ball move, recoil drift, walls, goals, user contact, speed
// limit.
void StepMatch(MatchState& state);
// One whole game tick as the game timer runs it: recoil countdown, StepMatch, then the contact
// with the computer's disc.
void RunGameTick(MatchState& state);

// A stylus move to client position (px, py).
void OnStylusMove(MatchState& state, std::uint16_t px, std::uint16_t py);
