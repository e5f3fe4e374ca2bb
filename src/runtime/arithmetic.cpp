// Stub: replaced by the checked arithmetic implementation.
#include "runtime/arithmetic.h"

namespace korvenal {
float storeSingle(double value) { return static_cast<float>(value); }
double divideChecked(double numerator, double denominator) { return numerator / denominator; }
void setUpArithmetic() {}
}  // namespace korvenal
