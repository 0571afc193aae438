// UTF-16 to UTF-8, for handing the platform's wide strings to fontconfig and cairo.
#pragma once

#include <cstddef>
#include <string>

namespace platform::gdi_detail {

// Converts `length` UTF-16 code units. An unpaired surrogate becomes U+FFFD, so the result is
// always valid UTF-8.
std::string Utf8FromUtf16(const char16_t* text, std::size_t length);

}  // namespace platform::gdi_detail
