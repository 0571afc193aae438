// The game's icon at the sizes a desktop theme wants, drawn from the one 48 x 48 picture: each
// pixel becomes a square block (the largest whole factor that fits, so edges stay crisp) in the
// middle of a transparent square of the size asked for.
#pragma once

#include <optional>
#include <string>

#include "platform/window/window_icon.h"

// `icon` enlarged onto a size x size square. Nothing, with the reason, when the picture does not
// fit or its pixels do not match its size.
std::optional<platform::WindowIcon> IconOnSquare(const platform::WindowIcon& icon, int size,
                                                 std::string* error);

// Writes RGBA pixels as a PNG with an alpha channel. False, with the reason, on failure.
bool WriteIconPng(const platform::WindowIcon& icon, const std::string& path, std::string* error);
