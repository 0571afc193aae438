// A double in the fewest decimal digits that read back to the same bits, spelled as
// std::to_chars spells it (fixed or scientific, whichever is shorter; fixed on a tie). The
// simulator prints with it on every target, including those whose C++ library has no
// floating-point to_chars, so its output is the same text everywhere.
#pragma once

#include <string>

// `value` must be finite.
std::string ShortestDouble(double value);
