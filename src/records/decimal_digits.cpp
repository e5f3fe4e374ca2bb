// Stub: replaced by the decimal digits implementation.
#include "records/decimal_digits.h"

namespace korvenal {
DecimalDigits toDecimalDigits(float) { return {}; }
bool roundDigits(DecimalDigits&, int) { return false; }
}  // namespace korvenal
