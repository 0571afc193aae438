// tarvel-icon: writes the game's icon as a PNG of a given size, for the desktop's icon theme.
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/tarvel_icon_png.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs(
            "Usage: tarvel-icon SIZE FILE.png\n"
            "Writes the game's icon on a SIZE x SIZE transparent square (16, 24, 32, or 48 to\n"
            "4096).\n",
            stderr);
        return 2;
    }
    const std::string_view sizeText = argv[1];
    int size = 0;
    const auto [end, parsed] =
        std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
    if (parsed != std::errc() || end != sizeText.data() + sizeText.size() || size > 4096) {
        std::fprintf(stderr, "tarvel-icon: bad size '%s'\n", argv[1]);
        return 2;
    }
    std::string error;
    const std::optional<platform::WindowIcon> square = TarvelIconAt(size, &error);
    if (!square || !WriteIconPng(*square, argv[2], &error)) {
        std::fprintf(stderr, "tarvel-icon: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
