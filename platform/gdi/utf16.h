// UTF-16 to UTF-8, for handing the platform's wide strings to fontconfig and cairo (and to the
// resource tools' listings).
#pragma once

#include <cstddef>
#include <string>

namespace platform::gdi_detail {

// Converts `length` UTF-16 code units. An unpaired surrogate becomes U+FFFD, so the result is
// always valid UTF-8.
std::string Utf8FromUtf16(const char16_t* text, std::size_t length);

// Appends the code point `c` (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t c);

}  // namespace platform::gdi_detail
