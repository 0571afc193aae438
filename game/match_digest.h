// A fingerprint of the whole match: every field of MatchState in declaration order, integers as
// four little-endian bytes, colours as their three bytes, doubles by the bits of their IEEE 754
// form (little-endian), hashed with XXH64 (seed 0). Two machines that played the same match get
// the same digest; a single flipped bit anywhere gives another.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "game/match_state.h"

inline constexpr std::size_t kMatchStateBytes = 165;

// The canonical bytes the digest is taken over.
std::array<std::uint8_t, kMatchStateBytes> SerialiseMatchState(const MatchState& state);

std::uint64_t MatchDigest(const MatchState& state);
