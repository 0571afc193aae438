// The web page's address options, the query after '?': what the command line is to the desktop
// program. `screen=WxH` fixes the device screen (otherwise the page's viewport sets it);
// `replay=URL` names a replay for the page to fetch and play (web/tarvel-replay.js). A link
// shared on the web picks up parameters of others (a social site's click id, a mail's campaign
// tags): names the page does not use are passed over and listed, while a bad value of one it
// uses is refused with the reason.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/display/screen_limits.h"

struct PageQuery {
    std::optional<platform::ScreenSize> screen;
    std::optional<std::string> replay;
};

struct PageQueryResult {
    bool ok = true;
    std::string error;  // one sentence for the page, when not ok
    PageQuery options;
    // The names passed over, in order, each quoted as in the messages: decoded where it can be.
    std::vector<std::string> ignored;
};

// `query` is the address's search part, with or without its leading '?': name=value pairs
// joined by '&', percent-encoded, '+' for a space.
PageQueryResult ParsePageQuery(std::string_view query);
