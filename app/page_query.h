// The web page's address options, the query after '?': what the command line is to the desktop
// program. `screen=WxH` fixes the device screen (otherwise the page's viewport sets it);
// `replay=URL` names a replay for the page to fetch and play (web/tarvel-replay.js); nothing else
// is accepted, so a mistyped name is said rather than ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/display/screen_limits.h"

struct PageQuery {
    std::optional<platform::ScreenSize> screen;
    std::optional<std::string> replay;
};

struct PageQueryResult {
    bool ok = true;
    std::string error;  // one sentence for the page, when not ok
    PageQuery options;
};

// `query` is the address's search part, with or without its leading '?': name=value pairs
// joined by '&', percent-encoded, '+' for a space.
PageQueryResult ParsePageQuery(std::string_view query);
