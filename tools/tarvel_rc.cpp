// tarvel-rc: writes the Windows build's resource script, its icon and the canonical dump of both
// from the game's resources as C++ data, into a folder (platform/win32/resources in the
// checkout). Their output is checked in; a test fails when it drifts from what this writes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "resources/tarvel_resources.h"
#include "tools/windows_resource_files.h"

namespace {

struct OutputFile {
    std::string name;
    std::string_view bytes;
};

// Writes beside the target and renames, so a failed run leaves the old file whole.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes, std::string* error) {
    const std::filesystem::path partial = path.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            *error = "cannot write " + partial.string();
            std::filesystem::remove(partial);
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (failure) {
        *error = "cannot replace " + path.string() + ": " + failure.message();
        std::filesystem::remove(partial);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view first = argc > 1 ? argv[1] : "";
    if (argc != 2 || first == "--help" || first == "-h") {
        std::fputs(
            "Usage: tarvel-rc FOLDER\n"
            "Writes tarvel.rc, tarvel.ico and expected_resources.txt into FOLDER (an existing\n"
            "folder) from the game's resources: run from the checkout as\n"
            "  build/release/tools/tarvel-rc platform/win32/resources\n",
            argc == 2 ? stdout : stderr);
        return argc == 2 ? 0 : 2;
    }
    const std::filesystem::path folder = argv[1];
    if (!std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "tarvel-rc: %s is not a folder\n", argv[1]);
        return 2;
    }
    std::string error;
    const auto files = windows_resources::WriteFiles(resources::TarvelResourceModule(), &error);
    if (!files) {
        std::fprintf(stderr, "tarvel-rc: %s\n", error.c_str());
        return 1;
    }
    const OutputFile outputs[] = {
        {"tarvel.rc", files->script},
        {files->iconFileName,
         {reinterpret_cast<const char*>(files->icon.data()), files->icon.size()}},
        {"expected_resources.txt", files->dump},
    };
    for (const OutputFile& output : outputs) {
        if (!WriteFile(folder / output.name, output.bytes, &error)) {
            std::fprintf(stderr, "tarvel-rc: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
