#include "game/match_digest.h"

#include <cstring>

#include <xxhash.h>

namespace {

class ByteWriter {
  public:
    explicit ByteWriter(std::array<std::uint8_t, kMatchStateBytes>& out) : out_(out) {}

    void Int(std::int32_t value) { Unsigned(static_cast<std::uint32_t>(value), 4); }
    void Double(double value) {
        // The bits of the double (the page's C++ library has no std::bit_cast).
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Unsigned(bits, 8);
    }
    void Colour(Rgb colour) {
        out_[at_++] = colour.r;
        out_[at_++] = colour.g;
        out_[at_++] = colour.b;
    }
    void Corner(double x, double y, double vx, double vy) {
        Double(x);
        Double(y);
        Double(vx);
        Double(vy);
    }

  private:
    void Unsigned(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out_[at_++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    std::array<std::uint8_t, kMatchStateBytes>& out_;
    std::size_t at_ = 0;
};

}  // namespace

std::array<std::uint8_t, kMatchStateBytes> SerialiseMatchState(const MatchState& state) {
    std::array<std::uint8_t, kMatchStateBytes> bytes{};
    ByteWriter out(bytes);
    out.Int(state.geometry.width);
    out.Int(state.geometry.height);
    out.Int(state.geometry.goalDepth);
    for (const Player& player : state.players) {
        out.Corner(player.x, player.y, player.vx, player.vy);
        out.Int(player.size);
        out.Int(player.score);
        out.Colour(player.colour);
    }
    out.Corner(state.ball.x, state.ball.y, state.ball.vx, state.ball.vy);
    out.Int(state.ball.active);
    out.Int(state.ball.size);
    out.Colour(state.ball.colour);
    out.Int(state.scoreFlash);
    out.Int(state.recoilTicks);
    out.Int(state.lastStylusX);
    out.Int(state.lastStylusY);
    out.Int(state.hardMode);
    out.Int(state.initialised);
    return bytes;
}

std::uint64_t MatchDigest(const MatchState& state) {
    const std::array<std::uint8_t, kMatchStateBytes> bytes = SerialiseMatchState(state);
    return XXH64(bytes.data(), bytes.size(), 0);
}
