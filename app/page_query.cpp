#include "app/page_query.h"

#include "app/screen_size.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Undoes the form encoding of one name or value; nothing when a '%' is not followed by two hex
// digits or the result holds a control character.
std::optional<std::string> Decode(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int high = HexDigit(text[i + 1]);
            const int low = HexDigit(text[i + 2]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return std::nullopt;
        }
        decoded += c;
    }
    return decoded;
}

// A piece of the address quoted back in a message, kept short.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kLongest = 40;
    std::string quoted = "'";
    quoted += text.substr(0, kLongest);
    if (text.size() > kLongest) {
        quoted += "...";
    }
    return quoted + "'";
}

}  // namespace

PageQueryResult ParsePageQuery(std::string_view query) {
    PageQueryResult result;
    const auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        result.options = {};
        return result;
    };
    if (!query.empty() && query.front() == '?') {
        query.remove_prefix(1);
    }
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        const std::optional<std::string> name = Decode(pair.substr(0, equals));
        const std::optional<std::string> value =
            Decode(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
        if (!name || !value) {
            return fail("The address has a malformed part: " + Quoted(pair) + ".");
        }
        if (*name == "replay") {
            if (result.options.replay) {
                return fail("The address gives 'replay' more than once.");
            }
            result.options.replay = *value;
            continue;
        }
        if (*name != "screen") {
            return fail("The address names an unknown option " + Quoted(*name) +
                        "; the options are 'screen=WIDTHxHEIGHT' and 'replay=URL'.");
        }
        if (result.options.screen) {
            return fail("The address gives 'screen' more than once.");
        }
        std::string why;
        result.options.screen = ParseScreenSize(*value, &why);
        if (!result.options.screen) {
            return fail("Bad screen size " + Quoted(*value) + ": " + why + ".");
        }
    }
    return result;
}
