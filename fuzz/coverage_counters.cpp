// Where the coverage counters of this executable lie, for the whole-run
// target's child to hand them back. Built without coverage instrumentation:
// an instrumented file that names these linker symbols itself would disturb
// the instrumentation's own references to them.
#include "coverage_counters.h"

extern "C" {
extern std::uint8_t __start___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
extern std::uint8_t __stop___sancov_cntrs[] __attribute__((weak, visibility("hidden")));
}

namespace korvenal::fuzz {

std::uint8_t* coverageCounters() { return __start___sancov_cntrs; }

std::size_t coverageCounterCount() {
  if (__start___sancov_cntrs == nullptr || __stop___sancov_cntrs == nullptr) return 0;
  return static_cast<std::size_t>(__stop___sancov_cntrs - __start___sancov_cntrs);
}

}  // namespace korvenal::fuzz
