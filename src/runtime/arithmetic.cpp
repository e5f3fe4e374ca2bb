// Checked stores and divisions; see arithmetic.h.
#include "runtime/arithmetic.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <limits>

#include "runtime/failure.h"

namespace korvenal {
namespace {

// The smallest magnitude that rounds to infinity as a float: halfway between
// the largest float (24 one bits) and 2^128. The tie goes to the even
// neighbour, which is infinity.
constexpr double SingleOverflowLimit = 0x1.ffffffp127;

}  // namespace

float storeSingle(double value) {
  if (std::isfinite(value) && std::fabs(value) >= SingleOverflowLimit) failArithmetic(ArithmeticFault::Overflow);
  return static_cast<float>(value);
}

// 0 / 0 -> M6101; 5 / 0 or 5 / -0 -> M6103; 1e300 / 1e-300 -> M6104.
double divideChecked(double numerator, double denominator) {
  if (denominator == 0.0) {
    failArithmetic(numerator == 0.0 || std::isnan(numerator) ? ArithmeticFault::Invalid
                                                             : ArithmeticFault::DivideByZero);
  }
  const double quotient = numerator / denominator;
  if (std::isinf(quotient) && std::isfinite(numerator) && std::isfinite(denominator)) {
    failArithmetic(ArithmeticFault::Overflow);
  }
  return quotient;
}

void setUpArithmetic() {
  static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<float>::digits == 24,
                "float must be IEEE single precision");
  static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<double>::digits == 53,
                "double must be IEEE double precision");
  static_assert(FLT_EVAL_METHOD == 0, "intermediates must not carry extended precision");
  // Round to nearest, ties to even; faults are found by the checks above, so
  // no exception is unmasked.
  std::fesetround(FE_TONEAREST);
}

}  // namespace korvenal
