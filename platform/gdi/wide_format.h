// The platform's wide-string formatting.
#pragma once

#include <cstdarg>

#include "platform/win32_types.h"

// Conversions: %d %i %u %x %X %c %s %%, with flags '-' '0' '#', a width, a precision, and the
// size prefixes h and l (both read 32-bit values; %hs and %S take a narrow string, %s and %ls a
// wide one; %hc and %C a narrow character). As on the platform, at most 1024 characters are
// written, the terminator included. Returns the characters written without the terminator, or -1
// (with an empty string in `out`) when the format holds a conversion this function does not
// know.
int wsprintfW(LPWSTR out, LPCWSTR format, ...);
int wvsprintfW(LPWSTR out, LPCWSTR format, std::va_list args);
