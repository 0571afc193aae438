#include "app/screen_size.h"

#include <charconv>

namespace {

bool ParseSide(std::string_view text, int* value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

std::optional<platform::ScreenSize> ParseScreenSize(std::string_view text, std::string* error) {
    const auto fail = [error](std::string why) -> std::optional<platform::ScreenSize> {
        if (error != nullptr) {
            *error = std::move(why);
        }
        return std::nullopt;
    };
    const std::size_t x = text.find_first_of("xX");
    platform::ScreenSize size{};
    if (x == std::string_view::npos || !ParseSide(text.substr(0, x), &size.width) ||
        !ParseSide(text.substr(x + 1), &size.height)) {
        return fail("expected WIDTHxHEIGHT, e.g. 240x320");
    }
    if (size.width < platform::kMinScreenSide || size.width > platform::kMaxScreenSide ||
        size.height < platform::kMinScreenSide || size.height > platform::kMaxScreenSide) {
        return fail("each side must be " + std::to_string(platform::kMinScreenSide) + " to " +
                    std::to_string(platform::kMaxScreenSide) + " pixels");
    }
    return size;
}
