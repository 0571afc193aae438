#include "tools/headless_display.h"
#include "tools/script_runner.h"

int RunSimulatorScript(std::istream& script, std::ostream& out, std::ostream& err) {
    HeadlessDisplay display;
    return RunMatchScript(script, display, "tarvel-sim", out, err);
}
