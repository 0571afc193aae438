#include "tools/shortest_double.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

namespace {

std::string ToChars(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

// The simulator's output must not change where std::to_chars exists: the two spell every double
// alike, at the edges of each form and over a spread of bit patterns.
TEST(ShortestDouble, SpellsEveryDoubleAsToCharsDoes) {
    for (const double value :
         {0.0, -0.0, 1.0, -1.0, 0.1, 100.0, 1e21, 1e22, 123456.0, 1e-4, 1.5e-5}) {
        EXPECT_EQ(ShortestDouble(value), ToChars(value)) << ToChars(value);
    }
    for (const double value : {0.001, 5e-324, 2.5, 1e16, 1e15, 12345678901234567.0, DBL_MAX,
                               DBL_MIN, 9.5367431640625e-07, 240.5}) {
        EXPECT_EQ(ShortestDouble(value), ToChars(value)) << ToChars(value);
    }
    std::mt19937_64 bits(20261206);
    int compared = 0;
    while (compared < 20000) {
        const std::uint64_t pattern = bits();
        double value;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        ASSERT_EQ(ShortestDouble(value), ToChars(value));
        // And values of the sizes a match has: pixels and velocities.
        const double pixels = static_cast<double>(pattern % 1000000) / 997.0;
        ASSERT_EQ(ShortestDouble(pixels), ToChars(pixels));
        ++compared;
    }
}
