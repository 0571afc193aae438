// tarvel-sim: runs a match without a display, driven by a script, and prints the state as JSON.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "tools/script_runner.h"

namespace {

void PrintUsage(std::ostream& out) {
    out << "Usage: tarvel-sim [SCRIPT]\n"
           "Runs a Tarvel match headless. Reads commands from SCRIPT, or from standard input when\n"
           "SCRIPT is absent or '-', and writes one JSON line per 'dump' to standard output.\n"
           "A bad line stops the run with 'tarvel-sim: line N: reason' and exit status 2.\n\n"
        << kScriptLanguageHelp;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const char* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(std::cout);
            return 0;
        }
        if (arg.size() > 1 && arg.front() == '-') {
            std::cerr << "tarvel-sim: unknown option '" << arg << "'\n"
                      << "Try 'tarvel-sim --help'.\n";
            return kScriptRefused;
        }
        if (scriptPath != nullptr) {
            std::cerr << "tarvel-sim: only one script may be given\n"
                      << "Try 'tarvel-sim --help'.\n";
            return kScriptRefused;
        }
        scriptPath = argv[i];
    }

    if (scriptPath == nullptr || std::string_view(scriptPath) == "-") {
        return RunSimulatorScript(std::cin, std::cout, std::cerr);
    }
    std::ifstream script(scriptPath, std::ios::binary);
    if (!script) {
        std::cerr << "tarvel-sim: cannot open '" << scriptPath << "': " << std::strerror(errno)
                  << '\n';
        return kScriptRefused;
    }
    return RunSimulatorScript(script, std::cout, std::cerr);
}
