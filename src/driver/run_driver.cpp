#include "driver/run_driver.h"

namespace korvenal {
int run() { return 0; }
}  // namespace korvenal
