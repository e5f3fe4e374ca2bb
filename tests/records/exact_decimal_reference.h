// A slow, obviously correct reference for the decimal form of a float and
// for its fixed-point field, built on the exact decimal expansion of the
// value (every digit, however many). Used by the digit and field tests only.
#pragma once

#include <cstdint>
#include <string>

namespace korvenal::reference {

// value = 0.digits x 10^exponent exactly; digits has no leading or trailing
// zeros and is empty for zero.
struct ExactDecimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// The exact decimal expansion of a finite float.
ExactDecimal exactDecimal(float value);

// The 17-digit form of a finite float: the first 18 digits of the exact
// value, rounded to 17 half away from zero, trailing zeros dropped; zero is
// sign ' ', digits "0", exponent 0.
struct Form17 {
  char sign = ' ';
  std::string digits;
  int exponent = 0;
};
Form17 form17(float value);

// The fixed-point field of a finite float: the 17-digit form rounded half
// away from zero to the coarser of the last decimal place and the seventh
// significant digit, shown without a '0' before the point and without a
// negative zero, right-aligned in `width`, or asterisks when too wide.
std::string fixedField(float value, int width, int decimals);

}  // namespace korvenal::reference
