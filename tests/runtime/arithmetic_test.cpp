// Checked stores and divisions: the boundary of single-precision overflow,
// silent underflow, and the three arithmetic reports.
#include "runtime/arithmetic.h"

#include <cfloat>
#include <functional>

#include "support.h"

namespace korvenal {
namespace {

using testing::report;

// Values at and just below the rounding boundary of the largest float, and
// values that underflow, are stored without a report.
TEST(Arithmetic, StoresWithoutFault) {
  struct Case {
    float expected;
    double value;
  };
  const Case cases[] = {
      {FLT_MAX, 0x1.fffffep127},
      {FLT_MAX, 0x1.fffffefffffffp127},  // just below the halfway point
      {-FLT_MAX, -0x1.fffffefffffffp127},
      {0x1p-149f, 0x1p-149},              // smallest subnormal
      {0.0f, 1e-50},                      // underflow to zero passes silently
      {0.1f, 0.1},
  };
  for (const Case& c : cases) EXPECT_EQ(storeSingle(c.value), c.expected) << c.value;
  EXPECT_EQ(divideChecked(1.0, 4.0), 0.25);
  EXPECT_EQ(divideChecked(1e-300, 1e100), 0.0);  // underflow
}

// Each fault ends the run at once with its fixed report and status 1.
TEST(Arithmetic, FaultsEndTheRunWithTheirReport) {
  const std::string overflow = report('M', "6104", ": MATH\r\n- ", "", "floating-point error: overflow");
  const std::string divide = report('M', "6103", ": MATH\r\n- ", "", "floating-point error: divide by zero");
  const std::string invalid = report('M', "6101", ": MATH\r\n- ", "", "floating-point error: invalid");
  struct Case {
    const std::string& expected;
    std::function<void()> fault;
  };
  const Case cases[] = {
      {overflow, [] { storeSingle(0x1.ffffffp127); }},  // halfway rounds to infinity
      {overflow, [] { storeSingle(-1e39); }},
      {overflow, [] { divideChecked(1e300, 1e-300); }},
      {divide, [] { divideChecked(1.0, 0.0); }},
      {divide, [] { divideChecked(-2.0, -0.0); }},
      {invalid, [] { divideChecked(0.0, 0.0); }},
      {invalid, [] { divideChecked(-0.0, 0.0); }},
  };
  for (const Case& c : cases) {
    const testing::ChildRun run = testing::runInChild(c.fault);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.expected);
    EXPECT_EQ(run.out, "");
  }
}

}  // namespace
}  // namespace korvenal
