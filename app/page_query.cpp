#include "app/page_query.h"

#include <algorithm>

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

// Reads the value of an option into `options`; the sentence saying what is wrong with it when
// it is bad.
using OptionReader = std::optional<std::string> (*)(const std::string& value, PageQuery& options);

std::optional<std::string> ReadScreen(const std::string& value, PageQuery& options) {
    std::string why;
    options.screen = ParseScreenSize(value, &why);
    if (!options.screen) {
        return "Bad screen size " + Quoted(value) + ": " + why + ".";
    }
    return std::nullopt;
}

// A replay for the page to fetch and play: any text, its fetch tells what is wrong with it.
std::optional<std::string> ReadReplay(const std::string& value, PageQuery& options) {
    options.replay = value;
    return std::nullopt;
}

struct Option {
    std::string_view name;
    OptionReader read;
};

// The options the page uses.
constexpr Option kOptions[] = {
    {"screen", ReadScreen},
    {"replay", ReadReplay},
};

const Option* FindOption(std::string_view name) {
    for (const Option& option : kOptions) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

PageQueryResult ParsePageQuery(std::string_view query) {
    PageQueryResult result;
    const auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        result.options = {};
        result.ignored.clear();
        return result;
    };
    if (!query.empty() && query.front() == '?') {
        query.remove_prefix(1);
    }
    std::vector<std::string_view> seen;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t equals = pair.find('=');
        const std::optional<std::string> name = Decode(pair.substr(0, equals));
        const Option* option = name ? FindOption(*name) : nullptr;
        if (option == nullptr) {
            result.ignored.push_back(name ? Quoted(*name) : Quoted(pair.substr(0, equals)));
            continue;
        }
        const std::optional<std::string> value =
            Decode(equals == std::string_view::npos ? std::string_view() : pair.substr(equals + 1));
        if (!value) {
            return fail("The address has a malformed part: " + Quoted(pair) + ".");
        }
        if (std::find(seen.begin(), seen.end(), option->name) != seen.end()) {
            return fail("The address gives " + Quoted(option->name) + " more than once.");
        }
        seen.push_back(option->name);
        if (std::optional<std::string> why = option->read(*value, result.options)) {
            return fail(std::move(*why));
        }
    }
    return result;
}
