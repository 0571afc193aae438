// tarvel-rc: writes the Windows build's resource script, its icon and the canonical dump of both
// from the game's resources as C++ data, into a folder (platform/win32/resources in the
// checkout). Their output is checked in; a test fails when it drifts from what this writes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "resources/tarvel_resources.h"
#include "tools/tarvel_icon_png.h"
#include "tools/windows_resource_files.h"

namespace {

struct OutputFile {
    std::string name;
    std::string_view bytes;
};

std::filesystem::path Partial(const std::filesystem::path& path) {
    return path.string() + ".partial";
}

// Writes every file beside its target first and renames them only when all are written, so a
// failed run leaves the old files whole.
bool WriteFiles(const std::filesystem::path& folder, std::span<const OutputFile> outputs,
                std::string* error) {
    auto removePartials = [&] {
        std::error_code ignored;
        for (const OutputFile& output : outputs) {
            std::filesystem::remove(Partial(folder / output.name), ignored);
        }
    };
    for (const OutputFile& output : outputs) {
        const std::filesystem::path partial = Partial(folder / output.name);
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(output.bytes.data(), static_cast<std::streamsize>(output.bytes.size()));
        out.close();
        if (!out) {
            *error = "cannot write " + partial.string();
            removePartials();
            return false;
        }
    }
    for (const OutputFile& output : outputs) {
        std::error_code failure;
        std::filesystem::rename(Partial(folder / output.name), folder / output.name, failure);
        if (failure) {
            *error = "cannot replace " + (folder / output.name).string() + ": " + failure.message();
            removePartials();
            return false;
        }
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
    // The sizes Windows shows a program's icon at: title bar and lists, task bar, Explorer's
    // icon views up to the largest. Windows' standard size first: what loads an icon "at its own
    // size" (the About box's picture, drawn by today's common controls) gets the first image.
    std::string error;
    std::vector<platform::WindowIcon> iconImages;
    for (const int size : {32, 16, 24, 48, 256}) {
        std::optional<platform::WindowIcon> image = TarvelIconAt(size, &error);
        if (!image) {
            std::fprintf(stderr, "tarvel-rc: the %d px icon: %s\n", size, error.c_str());
            return 1;
        }
        iconImages.push_back(std::move(*image));
    }
    const auto files =
        windows_resources::WriteFiles(resources::TarvelResourceModule(), iconImages, &error);
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
    if (!WriteFiles(folder, outputs, &error)) {
        std::fprintf(stderr, "tarvel-rc: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
