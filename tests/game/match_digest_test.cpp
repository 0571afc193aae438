#include "game/match_digest.h"

#include <cmath>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "match_builders.h"

namespace {

std::vector<std::uint8_t> BytesAt(const MatchState& state, std::size_t offset, std::size_t n) {
    const auto bytes = SerialiseMatchState(state);
    return {bytes.begin() + static_cast<std::ptrdiff_t>(offset),
            bytes.begin() + static_cast<std::ptrdiff_t>(offset + n)};
}

}  // namespace

TEST(MatchDigest, FieldsInOrderLittleEndianDoublesByTheirBits) {
    MatchState state{};
    state.geometry.width = 0x01020304;
    state.players[kUserPlayer].x = 1.0;
    state.players[kComputerPlayer].colour = {7, 8, 9};
    state.ball.vy = -0.0;
    state.ball.colour = {200, 50, 100};
    state.scoreFlash = 3;
    state.lastStylusX = 5;
    state.initialised = -2;
    EXPECT_EQ(BytesAt(state, 0, 4), (std::vector<std::uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(BytesAt(state, 12, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_EQ(BytesAt(state, 12 + 43 + 40, 3), (std::vector<std::uint8_t>{7, 8, 9}));
    EXPECT_EQ(BytesAt(state, 98 + 24, 8), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(BytesAt(state, 98 + 40, 3), (std::vector<std::uint8_t>{200, 50, 100}));
    EXPECT_EQ(BytesAt(state, 141, 4), (std::vector<std::uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(BytesAt(state, 149, 4), (std::vector<std::uint8_t>{5, 0, 0, 0}));
    EXPECT_EQ(BytesAt(state, 161, 4), (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(MatchDigest, EveryFieldCounts) {
    const MatchState base = MatchInPlay();
    const std::vector<std::function<void(MatchState&)>> changes = {
        [](MatchState& s) { s.geometry.width += 1; },
        [](MatchState& s) { s.geometry.height += 1; },
        [](MatchState& s) { s.geometry.goalDepth += 1; },
        [](MatchState& s) { s.players[1].x = std::nextafter(s.players[1].x, 1e9); },
        [](MatchState& s) { s.players[0].y += 1; },
        [](MatchState& s) { s.players[1].vx = -0.0; },
        [](MatchState& s) { s.players[0].vy += 1; },
        [](MatchState& s) { s.players[1].size += 1; },
        [](MatchState& s) { s.players[0].score += 1; },
        [](MatchState& s) { s.players[1].colour.b ^= 1; },
        [](MatchState& s) { s.ball.x += 1; },
        [](MatchState& s) { s.ball.y += 1; },
        [](MatchState& s) { s.ball.vx += 1; },
        [](MatchState& s) { s.ball.vy += 1; },
        [](MatchState& s) { s.ball.active = 0; },
        [](MatchState& s) { s.ball.size += 1; },
        [](MatchState& s) { s.ball.colour.r ^= 1; },
        [](MatchState& s) { s.scoreFlash += 1; },
        [](MatchState& s) { s.recoilTicks += 1; },
        [](MatchState& s) { s.lastStylusX += 1; },
        [](MatchState& s) { s.lastStylusY += 1; },
        [](MatchState& s) { s.hardMode = 1; },
        [](MatchState& s) { s.initialised = 0; },
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        MatchState changed = base;
        changes[i](changed);
        EXPECT_NE(MatchDigest(changed), MatchDigest(base)) << "change " << i;
    }
    // The value every build must agree on: a replay written on one is checked on the others.
    EXPECT_EQ(MatchDigest(base), 0xe2cede19a82fc18bu);
}
