#include "tools/shortest_double.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The double's bits, to compare exactly (-0 apart from 0). (Not std::bit_cast: the C++ library
// of the WebAssembly build has none.)
std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

std::string ShortestDouble(double value) {
    // The shortest scientific form that reads back exactly: C's printf rounds correctly, so the
    // first precision that round-trips gives the digits nearest the value.
    char scientific[40];
    for (int precision = 0; precision <= 17; ++precision) {
        std::snprintf(scientific, sizeof scientific, "%.*e", precision, value);
        const double back = std::strtod(scientific, nullptr);
        if (Bits(back) == Bits(value)) {
            break;
        }
    }
    // Split "-d.ddde+XX" into sign, digits and exponent, and lay the digits out in fixed form.
    const char* text = scientific;
    std::string sign;
    if (*text == '-') {
        sign = "-";
        ++text;
    }
    const char* e = std::strchr(text, 'e');
    std::string digits;
    for (const char* c = text; c < e; ++c) {
        if (*c != '.') {
            digits += *c;
        }
    }
    const int exponent = static_cast<int>(std::strtol(e + 1, nullptr, 10));
    const int count = static_cast<int>(digits.size());
    std::string fixed = sign;
    if (exponent >= count - 1) {
        // A whole number: of the spellings as short, the exact one (a double this large is an
        // integer, and its shortest digits padded with zeros may not be its value).
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", value);
        fixed = whole;
    } else if (exponent >= 0) {
        fixed += digits.substr(0, static_cast<std::size_t>(exponent) + 1);
        fixed += '.';
        fixed += digits.substr(static_cast<std::size_t>(exponent) + 1);
    } else {
        fixed += "0.";
        fixed.append(static_cast<std::size_t>(-exponent - 1), '0');
        fixed += digits;
    }
    return fixed.size() <= std::strlen(scientific) ? fixed : std::string(scientific);
}
