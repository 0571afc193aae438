// The game's icon at the sizes a desktop wants. From 48 pixels up it is drawn from the one
// 48 x 48 picture: each pixel becomes a square block (the largest whole factor that fits, so
// edges stay crisp) in the middle of a transparent square of the size asked for. Smaller, it has
// drawings of its own at 16, 24 and 32 pixels.
#pragma once

#include <optional>
#include <string>

#include "platform/window/resource_module.h"
#include "platform/window/window_icon.h"

// The icon drawn for `size` pixels when it has a drawing of its own at that size (16, 24, 32),
// else null.
const platform::IconResource* SmallTarvelIcon(int size);

// The game's icon at `size` pixels: its own drawing, or the 48-pixel one enlarged. Nothing, with
// the reason, for a size with neither.
std::optional<platform::WindowIcon> TarvelIconAt(int size, std::string* error);

// `icon` enlarged onto a size x size square. Nothing, with the reason, when the picture does not
// fit or its pixels do not match its size.
std::optional<platform::WindowIcon> IconOnSquare(const platform::WindowIcon& icon, int size,
                                                 std::string* error);

// Writes RGBA pixels as a PNG with an alpha channel. False, with the reason, on failure.
bool WriteIconPng(const platform::WindowIcon& icon, const std::string& path, std::string* error);
