// Stub: replaced by the fixed-point editing implementation.
#include "records/fixed_format.h"

namespace korvenal {
FieldText composeFixed(float, int) { return {}; }
FieldText editFixed(float, int, int) { return {}; }
}  // namespace korvenal
