// The simulator's one-line JSON picture of a MatchState.
#pragma once

#include <string>

#include "game/match_state.h"

// One JSON object, no newline. Doubles in their shortest round-trip form, so a reader gets back
// exactly the bits the model holds.
std::string MatchStateToJson(const MatchState& state);
