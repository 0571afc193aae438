// The game's icon redrawn for the small sizes a desktop shows it at (title bars, task bars,
// lists), where the 48-pixel picture scaled down would blur: the same window, pitch, player and
// ball with fewer pixels, in the same palette. One character per pixel, as in
// resources/tarvel_icon.cpp.
#include "tools/tarvel_icon_png.h"

#include <string_view>

#include "resources/tarvel_resources.h"

namespace {

constexpr std::string_view kRows16[] = {
    "................", "kkkkkkkkkkkkkkk.", "kBwwwwBBBBBwwBk.", "kBBBBBBBBBBBBBkd",
    "kGGGGGGGGGGGGGkd", "kGGGGGsGGGGGGGkd", "kggggRRRsgggggkd", "kgggggRRggggggkd",
    "kGGGGGrrGGGGGGkd", "kllllRllRlllllkd", "kgggggggggggggkd", "kggggggggoogggkd",
    "kGGGGGGGGooGGGkd", "kGGGGGGGGGGGGGkd", "kkkkkkkkkkkkkkkd", "..dddddddddddddd",
};

constexpr std::string_view kRows24[] = {
    "........................", "........................", ".kkkkkkkkkkkkkkkkkkkkk..",
    ".kbbbbbbbbbbbbbbbwwbbk..", ".kBwwwwwBBBBBBBBBwwBBkd.", ".kBBBBBBBBBBBBBBBBBBBkd.",
    ".kGGGGGllllllllGGGGGGkd.", ".kGGGGGlGGGGGGlGGGGGGkd.", ".kGGGGGllllllllGGGGGGkd.",
    ".kggggggggrggggggggggkd.", ".kgggggggsssgggggggggkd.", ".kggggggggsggggggggggkd.",
    ".kGGGGGGGRRRRsGGGGGGGkd.", ".kGGGGGGGRRRGGGGGGGGGkd.", ".kllllllllrrlllllllllkd.",
    ".kggggggggrrgggggggggkd.", ".kgggggggRggRgggkggggkd.", ".kgggggggkggkggkokgggkd.",
    ".kGGGGGGGGGGGGGGkGGGGkd.", ".kGGGGGGGGGGGGGGGGGGGkd.", ".kGGGGGGGGGGGGGGGGGGGkd.",
    ".kkkkkkkkkkkkkkkkkkkkkd.", "...dddddddddddddddddddd.", "........................",
};

constexpr std::string_view kRows32[] = {
    "................................", "................................",
    "................................", ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkk..",
    ".kbbbbbbbbbbbbbbbbbbbbbbwwwbbk..", ".kBBwwwwwwwwBBBBBBBBBBBBwBwBBkd.",
    ".kBBBBBBBBBBBBBBBBBBBBBBwwwBBkd.", ".kBBBBBBBBBBBBBBBBBBBBBBBBBBBkd.",
    ".kGGGGGGGGlllllllllllGGGGGGGGkd.", ".kGGGGGGGGlGGGGGGGGGlGGGGGGGGkd.",
    ".kGGGGGGGGlGGGGGGGGGlGGGGGGGGkd.", ".kGGGGGGGGlllllllllllGGGGGGGGkd.",
    ".kgggggggggggrrggggggggggggggkd.", ".kggggggggggrssrgggggggggggggkd.",
    ".kggggggggggssssgggggggggggggkd.", ".kgggggggggggssggggggggggggggkd.",
    ".kGGGGGGGGGGGRRRRGGGGGGGGGGGGkd.", ".kGGGGGGGGGGRRRRRRsGGGGGGGGGGkd.",
    ".kGGGGGGGGGGRGRRRGGGGGGGGGGGGkd.", ".kGGGGGGGGGGsGRRRGGGGGGGGGGGGkd.",
    ".kllllllllllllrrrllllllllllllkd.", ".kggggggggggggrgrggggggggggggkd.",
    ".kgggggggggggRRgRRgggggggggggkd.", ".kgggggggggggRgggRgggggkkggggkd.",
    ".kGGGGGGGGGGkkGGGkkGGGkookGGGkd.", ".kGGGGGGGGGGGGGGGGGGGGkookGGGkd.",
    ".kGGGGGGGGGGGGGGGGGGGGGkkGGGGkd.", ".kGGGGGGGGGGGGGGGGGGGGGGGGGGGkd.",
    ".kgggggggggggggggggggggggggggkd.", ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkd.",
    "...dddddddddddddddddddddddddddd.", "................................",
};

}  // namespace

const platform::IconResource* SmallTarvelIcon(int size) {
    const auto& palette = resources::TarvelIcon().palette;
    const WORD id = resources::TarvelIcon().id;
    static const platform::IconResource icons[] = {
        {id, 16, 16, palette, kRows16},
        {id, 24, 24, palette, kRows24},
        {id, 32, 32, palette, kRows32},
    };
    for (const platform::IconResource& icon : icons) {
        if (icon.width == size) {
            return &icon;
        }
    }
    return nullptr;
}
