// The decimal form of a single-precision value, from which every number the
// tool writes is made, and its rounding to fewer significant digits.
#pragma once

#include <cstdint>

namespace korvenal {

inline constexpr int MaxDecimalDigits = 17;

struct DecimalDigits {
  char sign = ' ';            // '-' for a negative value, ' ' otherwise and for zero
  std::int32_t exponent = 0;  // value = 0.d1d2d3... x 10^exponent; 0 for zero
  std::int32_t count = 1;     // number of characters in digits
  char digits[MaxDecimalDigits + 2] = {'0'};  // significant digits, or the special text
  bool finite = true;         // false for infinity and NaN: digits holds "1#INF" etc.
};

// The first 17 significant digits of the exact value, rounded half away from
// zero on the 18th, trailing zeros removed. Zero of either sign is " ", 0, "0".
DecimalDigits toDecimalDigits(float value);

// Rounds `form` in place to `keep` significant digits, half away from zero.
// Returns true when the rounding carried into a new leading digit.
bool roundDigits(DecimalDigits& form, int keep);

}  // namespace korvenal
