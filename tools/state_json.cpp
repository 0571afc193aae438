#include "tools/state_json.h"

#include <charconv>
#include <cmath>
#include <cstdint>

#include "tools/shortest_double.h"

namespace {

class JsonWriter {
  public:
    void Raw(std::string_view text) { out_.append(text); }

    void Number(double value) {
        // JSON has no spelling for infinities or NaN; the model never produces them, and a null
        // makes a reader fail loudly rather than misread.
        if (!std::isfinite(value)) {
            out_.append("null");
            return;
        }
        out_.append(ShortestDouble(value));
    }

    void Number(std::int32_t value) {
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        out_.append(buffer, result.ptr);
    }

    void Key(std::string_view name) {
        out_.push_back('"');
        out_.append(name);
        out_.append("\":");
    }

    void Colour(Rgb colour) {
        Raw("[");
        Number(std::int32_t{colour.r});
        Raw(",");
        Number(std::int32_t{colour.g});
        Raw(",");
        Number(std::int32_t{colour.b});
        Raw("]");
    }

    template <typename T>
    void Field(std::string_view name, T value, bool last = false) {
        Key(name);
        Number(value);
        if (!last) {
            Raw(",");
        }
    }

    std::string Take() { return std::move(out_); }

  private:
    std::string out_;
};

void WritePlayer(JsonWriter& json, const Player& player) {
    json.Raw("{");
    json.Field("x", player.x);
    json.Field("y", player.y);
    json.Field("vx", player.vx);
    json.Field("vy", player.vy);
    json.Field("size", player.size);
    json.Field("score", player.score);
    json.Key("colour");
    json.Colour(player.colour);
    json.Raw("}");
}

}  // namespace

std::string MatchStateToJson(const MatchState& state) {
    JsonWriter json;
    json.Raw("{");
    json.Key("geometry");
    json.Raw("{");
    json.Field("width", state.geometry.width);
    json.Field("height", state.geometry.height);
    json.Field("goalDepth", state.geometry.goalDepth, true);
    json.Raw("},");

    json.Key("players");
    json.Raw("[");
    WritePlayer(json, state.players[kUserPlayer]);
    json.Raw(",");
    WritePlayer(json, state.players[kComputerPlayer]);
    json.Raw("],");

    const Ball& ball = state.ball;
    json.Key("ball");
    json.Raw("{");
    json.Field("x", ball.x);
    json.Field("y", ball.y);
    json.Field("vx", ball.vx);
    json.Field("vy", ball.vy);
    json.Field("active", ball.active);
    json.Field("size", ball.size);
    json.Key("colour");
    json.Colour(ball.colour);
    json.Raw("},");

    json.Field("scoreFlash", state.scoreFlash);
    json.Field("recoilTicks", state.recoilTicks);
    json.Field("lastStylusX", state.lastStylusX);
    json.Field("lastStylusY", state.lastStylusY);
    json.Field("hardMode", state.hardMode);
    json.Field("initialised", state.initialised, true);
    json.Raw("}");
    return json.Take();
}
