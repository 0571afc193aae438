// The desktop program's command line: the device screen to emulate and how to show it.
#pragma once

#include <string>
#include <vector>

struct CommandLine {
    int screenWidth = 480;
    int screenHeight = 640;
    int scale = 1;
    bool scaleGiven = false;  // --scale was on the command line
    bool fullscreen = false;
    bool help = false;
    bool version = false;
    std::string recordPath;  // --record: where this run's match goes
    bool noRecord = false;   // --no-record: this run's match is not kept
    std::string replayPath;  // --replay: the recording to show
};

struct CommandLineResult {
    bool ok = true;
    std::string error;  // one line, without the program name, when not ok
    CommandLine options;
};

// Accepts --screen WxH (or --screen=WxH), --scale N, --fullscreen, --record FILE, --no-record,
// --replay FILE (one of these three), --help, --version.
CommandLineResult ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help and --version.
std::string UsageText();
std::string VersionText();
