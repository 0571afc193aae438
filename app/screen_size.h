// The device screen a person asks for, as text: "WIDTHxHEIGHT", each side within the sizes every
// back end can show. Shared by the desktop's --screen option and the web page's ?screen=.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/display/screen_limits.h"

// The size `text` names, or nothing with `error` (when not null) saying what is wrong with it,
// in words that follow "bad screen size 'TEXT': ".
std::optional<platform::ScreenSize> ParseScreenSize(std::string_view text, std::string* error);
