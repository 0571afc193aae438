#include "app/command_line.h"

#include <charconv>
#include <optional>
#include <string_view>

#include "app/screen_size.h"
#include "platform/display/screen_limits.h"

// Where a run's match goes when --record does not say.
#ifdef _WIN32
#define TARVEL_LAST_MATCH "%LOCALAPPDATA%\\Tarvel\\last-match.tarvel"
#else
#define TARVEL_LAST_MATCH "$XDG_STATE_HOME/tarvel/last-match.tarvel"
#endif

namespace {

bool ParseInt(std::string_view text, int* value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Splits "--name=value" so both spellings of an option with a value are accepted.
struct Option {
    std::string_view name;
    std::string_view inlineValue;
    bool hasInlineValue;
};

Option Split(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (argument.rfind("--", 0) == 0 && equals != std::string_view::npos) {
        return {argument.substr(0, equals), argument.substr(equals + 1), true};
    }
    return {argument, {}, false};
}

}  // namespace

CommandLineResult ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineResult result;
    CommandLine& options = result.options;
    const auto fail = [&](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const Option option = Split(arguments[i]);
        const bool takesValue = option.name == "--screen" || option.name == "--scale" ||
                                option.name == "--record" || option.name == "--replay";
        std::string_view value = option.inlineValue;
        if (takesValue && !option.hasInlineValue) {
            if (i + 1 >= arguments.size()) {
                return fail("option '" + std::string(option.name) + "' needs a value");
            }
            value = arguments[++i];
        } else if (!takesValue && option.hasInlineValue) {
            return fail("option '" + std::string(option.name) + "' takes no value");
        }

        if (option.name == "--help" || option.name == "-h" || option.name == "/?") {
            options.help = true;
        } else if (option.name == "--version") {
            options.version = true;
        } else if (option.name == "--fullscreen") {
            options.fullscreen = true;
        } else if (option.name == "--no-record") {
            options.noRecord = true;
        } else if (option.name == "--screen") {
            std::string why;
            const std::optional<platform::ScreenSize> size = ParseScreenSize(value, &why);
            if (!size) {
                return fail("bad --screen value '" + std::string(value) + "': " + why);
            }
            options.screenWidth = size->width;
            options.screenHeight = size->height;
        } else if (option.name == "--scale") {
            int scale = 0;
            if (!ParseInt(value, &scale) || scale < 1 || scale > platform::kMaxWindowScale) {
                return fail("bad --scale value '" + std::string(value) + "': expected 1 to " +
                            std::to_string(platform::kMaxWindowScale));
            }
            options.scale = scale;
            options.scaleGiven = true;
        } else if (option.name == "--record" || option.name == "--replay") {
            if (value.empty()) {
                return fail("option '" + std::string(option.name) + "' needs a file name");
            }
            (option.name == "--record" ? options.recordPath : options.replayPath) = value;
        } else {
            return fail("unknown option '" + std::string(arguments[i]) + "'");
        }
    }
    if (int{!options.recordPath.empty()} + int{!options.replayPath.empty()} +
            int{options.noRecord} >
        1) {
        return fail("--record, --no-record and --replay cannot be used together");
    }
    return result;
}

std::string UsageText() {
    return "Usage: tarvel [OPTION]...\n"
           "Play Tarvel, one-screen football against the computer, on an emulated pocket\n"
           "computer screen.\n"
           "\n"
           "  --screen WxH   the device screen in pixels (default 480x640; 32 to 4096 a side)\n"
           "  --scale N      the window's first size, in device screens (default 1; on\n"
           "                 Windows, the monitor's whole scaling: 2 at 200%, 1 at 150%)\n"
           "  --fullscreen   start in desktop full screen (F11 or Alt+Enter toggles it)\n"
           "  --record FILE  record the match to FILE as it is played (by default it goes to\n"
           "                 the state folder as the last match: " TARVEL_LAST_MATCH
           ")\n"
           "  --replay FILE  show a recorded match, on the screen it was played on; Space\n"
           "                 pauses, Right or '.' steps a tick, '+' and '-' set the speed\n"
           "  -h, --help     show this help and exit\n"
           "      --version  show the version and exit\n"
           "\n"
           "Move the pointer (or a finger) over the pitch to steer the lower disc. F1 or the\n"
           "left soft key quits; F2 or the right soft key opens the menu (About, New game,\n"
           "Hard); Ctrl+A shows About, Ctrl+Q quits. Only one game runs at a time: starting\n"
           "another brings the running one to the front.\n";
}

std::string VersionText() {
    return "tarvel " TARVEL_VERSION "\n";
}
