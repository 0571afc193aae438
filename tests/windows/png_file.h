// A PNG writer with no compression library: the pixels in stored (uncompressed) deflate blocks.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height pixels, top-down rows of 0x00RRGGBB, as an 8-bit RGB PNG. False, with
// the reason, when the file cannot be written.
bool WriteRgbPng(const std::string& path, std::int32_t width, std::int32_t height,
                 const std::uint32_t* pixels, std::string* error);
