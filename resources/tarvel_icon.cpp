// The game's icon: a small window with a blue title bar over a green field on which a red
// figure runs. One character per pixel; edit the picture here, the palette says what each
// character is. '.' is transparent (the icon's mask).
#include "resources/tarvel_resources.h"

namespace resources {
namespace {

constexpr platform::IconPaletteEntry kPalette[] = {
    {'.', RGB(0, 0, 0), true},  // transparent
    {'k', RGB(0, 0, 0)},        // outlines
    {'d', RGB(96, 96, 96)},     // shadow
    {'B', RGB(0, 64, 192)},     // title bar
    {'b', RGB(80, 136, 232)},   // title bar highlight
    {'w', RGB(255, 255, 255)},  // title text and close box
    {'G', RGB(0, 140, 60)},     // field
    {'g', RGB(0, 116, 48)},     // mown stripes
    {'l', RGB(232, 240, 232)},  // pitch lines
    {'R', RGB(220, 24, 32)},    // shirt, arms and legs
    {'r', RGB(136, 12, 20)},    // hair and shorts
    {'s', RGB(244, 196, 156)},  // skin
    {'o', RGB(255, 255, 255)},  // ball
};

constexpr std::string_view kRows[] = {
    "................................................",
    "................................................",
    "................................................",
    "................................................",
    "................................................",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "..kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbk...",
    "..kbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbkdd.",
    "..kBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBwwwwwBBkdd.",
    "..kBBBwwwwwwwwwwwwwBBBBBBBBBBBBBBBBBBwBwBwBBkdd.",
    "..kBBBwwwwwwwwwwwwwBBBBBBBBBBBBBBBBBBwwBwwBBkdd.",
    "..kBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBwwwwwBBkdd.",
    "..kBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBkdd.",
    "..kGGGGGGGGGGGGlllllllllllllllllGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGlGGGGGGGGGGGGGGGlGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGlGGGGGGGGGGGGGGGlGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGlGGGGGGGGGGGGGGGlGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGlllllllllllllllllGGGGGGGGGGGGkdd.",
    "..kggggggggggggggggggrrrggggggggggggggggggggkdd.",
    "..kgggggggggggggggggrsssrgggggggggggggggggggkdd.",
    "..kgggggggggggggggggsssssgggggggggggggggggggkdd.",
    "..kgggggggggggggggggsssssgggggggggggggggggggkdd.",
    "..kggggggggggggggggggsssggggggggggggggggggggkdd.",
    "..kGGGGGGGGGGGGGGGGGGRRRRRRGGGGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGGGGRRRRRRRRGGGGsGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGGGRRGRRRRRRRGGRGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGGRRGGRRRRRRRRRRGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGRRGGRRRRRRGGRRGGGGGGGGGGGGGGGkdd.",
    "..kggggggggggggRRggRRRRRRgggggggggggggggggggkdd.",
    "..kgggggggggggsggggRRRRRRgggggggggggggggggggkdd.",
    "..kllllllllllllllllrrrrrrlllllllllllllllllllkdd.",
    "..kggggggggggggggggrrrrrrgggggggggggggggggggkdd.",
    "..kggggggggggggggggrrrrrrgggggggggggggggggggkdd.",
    "..kGGGGGGGGGGGGGGGGRRGGGRRGGGGGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGGGGRRGGGGGRRGGGGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGGGRRGGGGGGGRRGGGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGGRRRGGGGGGGGGRRGGGGGGGGGGGGGGGkdd.",
    "..kGGGGGGGGGGGRRGGGGGGGGGGGGRRGGGGkkkGGGGGGGkdd.",
    "..kgggggggggkkkkggggggggggggkkkkgkoookggggggkdd.",
    "..kggggggggggggggggggggggggggggggkokokggggggkdd.",
    "..kggggggggggggggggggggggggggggggkoookggggggkdd.",
    "..kgggggggggggggggggggggggggggggggkkkgggggggkdd.",
    "..kgggggggggggggggggggggggggggggggggggggggggkdd.",
    "..kGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGkdd.",
    "..kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkkdd.",
    "....ddddddddddddddddddddddddddddddddddddddddddd.",
    "....ddddddddddddddddddddddddddddddddddddddddddd.",
    "................................................",
};

}  // namespace

const platform::IconResource& TarvelIcon() {
    static const platform::IconResource icon{IDI_TARVEL, 48, 48, kPalette, kRows};
    return icon;
}

}  // namespace resources
