// Conversions from double to integer that are defined for every input.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Truncates toward zero like a plain cast, but saturates out-of-range values at the int32 limits
// and maps NaN to 0 instead of invoking undefined behaviour.
constexpr std::int32_t TruncateToInt32(double value) {
    constexpr double kUpper = 2147483648.0;   // 2^31: the first value that does not fit
    constexpr double kLower = -2147483649.0;  // -2^31 - 1: the first value below that does not fit
    if (value != value) {
        return 0;
    }
    if (value >= kUpper) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= kLower) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}
