// A tarvel-sim script run in memory: its exit status and what it wrote.
#pragma once

#include <sstream>
#include <string>

#include "tools/script_runner.h"

namespace tarvel_test {

struct ScriptRun {
    int status;
    std::string out;
    std::string err;
};

inline ScriptRun RunScript(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunSimulatorScript(in, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace tarvel_test
