// Text between the program, which keeps paths and messages in UTF-8, and Windows' own functions,
// which take UTF-16: the C library's narrow ones read the system's ANSI code page, in which a
// user's name or a file's may not be spelt at all.
#pragma once

#include <string>

std::string Utf8(const wchar_t* text);
std::wstring Wide(const std::string& text);
