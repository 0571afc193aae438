// windows_gdi_frames: runs simulator scripts with the frames painted by the system's drawing
// interface, for comparison with tarvel-sim's frames of the same scripts.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "tests/windows/gdi_display.h"
#include "tools/script_runner.h"

int main(int argc, char** argv) {
    if (argc < 2 || std::string_view(argv[1]) == "--help") {
        std::cerr << "Usage: windows_gdi_frames [--text-cells FILE] SCRIPT...\n"
                     "Runs each tarvel-sim script on its own match, painted through GDI into a "
                     "32-bit DIB section;\n'frame FILE' writes the window as FILE.ppm (relative to "
                     "the current folder).\n"
                     "--text-cells FILE: a line for each frame saved: its name, then left, top, "
                     "width and height\nof each score's text as this GDI measures it.\n";
        return argc < 2 ? kScriptRefused : 0;
    }
    int first = 1;
    std::ofstream textCells;
    if (std::string_view(argv[1]) == "--text-cells") {
        if (argc < 4) {
            std::cerr << "windows_gdi_frames: --text-cells needs a file and then the scripts\n";
            return kScriptRefused;
        }
        textCells.open(argv[2], std::ios::binary);
        if (!textCells) {
            std::cerr << "windows_gdi_frames: cannot write '" << argv[2] << "'\n";
            return kScriptRefused;
        }
        first = 3;
    }
    for (int i = first; i < argc; ++i) {
        const std::string path = argv[i];
        const std::string program = "windows_gdi_frames: " + path;
        std::ifstream script(path, std::ios::binary);
        if (!script) {
            std::cerr << program << ": cannot open the script\n";
            return kScriptRefused;
        }
        GdiDisplay display(textCells.is_open() ? &textCells : nullptr);
        const int status = RunMatchScript(script, display, program, std::cout, std::cerr);
        if (status != kScriptOk) {
            return status;
        }
    }
    if (textCells.is_open() && !textCells.flush()) {
        std::cerr << "windows_gdi_frames: cannot write the text cells\n";
        return kScriptRefused;
    }
    return kScriptOk;
}
