#include "records/decimal_digits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "records/exact_decimal_reference.h"
#include "records/sample_floats.h"

namespace korvenal {
namespace {

using writer_test::SampleRandom;
using writer_test::SweepScale;

float fromBits(std::uint32_t bits) { return std::bit_cast<float>(bits); }

std::string digitsOf(const DecimalDigits& form) { return {form.digits, static_cast<std::size_t>(form.count)}; }

// Describes how the form of `bits` differs from the exact reference, or "".
std::string mismatch(std::uint32_t bits) {
  const float value = fromBits(bits);
  const DecimalDigits form = toDecimalDigits(value);
  const reference::Form17 expected = reference::form17(value);
  if (form.finite && form.sign == expected.sign && form.exponent == expected.exponent &&
      digitsOf(form) == expected.digits) {
    return "";
  }
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", bits);
  return std::string(hex) + ": got " + form.sign + digitsOf(form) + " e" + std::to_string(form.exponent) +
         ", expected " + expected.sign + expected.digits + " e" + std::to_string(expected.exponent);
}

// Compares a batch of bit patterns with the reference; the first failures.
std::vector<std::string> compareAll(const std::vector<std::uint32_t>& patterns) {
  std::vector<std::string> failures;
  for (const std::uint32_t bits : patterns) {
    std::string failure = mismatch(bits);
    if (!failure.empty() && failures.size() < 10) failures.push_back(std::move(failure));
  }
  return failures;
}

// Values whose digits are known by hand: exact ones, the extremes of the
// range, a half in the 18th place rounded up (never to even), and carries
// through nines in the 17th place.
TEST(DecimalDigitsTest, KnownValues) {
  struct Case {
    const char* digits;
    int exponent;
    char sign;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"0", 0, ' ', 0x00000000},                   // +0
      {"0", 0, ' ', 0x80000000},                   // -0 is unsigned
      {"5", 0, ' ', 0x3F000000},                   // 0.5
      {"5", 0, '-', 0xBF000000},                   // -0.5
      {"25", 2, ' ', 0x41C80000},                  // 25.0
      {"1", 1, ' ', 0x3F800000},                   // 1.0
      {"10000000149011612", 0, ' ', 0x3DCCCCCD},   // 0.1f = 0.100000001490116119...
      {"45600000768899918", -1, ' ', 0x3D3AC711},  // 0.0456f
      {"34028234663852886", 39, ' ', 0x7F7FFFFF},  // largest finite
      {"14012984643248171", -44, ' ', 0x00000001}, // smallest subnormal
      {"11754942106924411", -37, ' ', 0x007FFFFF}, // largest subnormal
      {"11754943508222875", -37, ' ', 0x00800000}, // smallest normal
      {"10000003576278687", 1, ' ', 0x3F800003},   // ...8686|5: half goes up
      {"10000008344650269", 1, ' ', 0x3F800007},   // ...0268|5: half goes up, not to even
      {"7804939741618", -5, ' ', 0x3702F1F6},      // 78049397416179999|7: carry over four nines
      {"140963912339", 27, '-', 0xEAE9348A},       // 14096391233899999|5: carry over five nines
  };
  for (const Case& c : cases) {
    const DecimalDigits form = toDecimalDigits(fromBits(c.bits));
    EXPECT_TRUE(form.finite) << std::hex << c.bits;
    EXPECT_EQ(c.digits, digitsOf(form)) << std::hex << c.bits;
    EXPECT_EQ(c.exponent, form.exponent) << std::hex << c.bits;
    EXPECT_EQ(c.sign, form.sign) << std::hex << c.bits;
  }
}

// Infinities and NaNs give their text, never signed. Only the processor's
// default NaN (sign set, only the quiet bit) is "1#IND".
TEST(DecimalDigitsTest, SpecialValues) {
  struct Case {
    const char* text;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {"1#INF", 0x7F800000},  {"1#INF", 0xFF800000},  {"1#IND", 0xFFC00000},
      {"1#QNAN", 0x7FC00000}, {"1#QNAN", 0xFFC00001}, {"1#QNAN", 0x7FFFFFFF},
      {"1#SNAN", 0x7F800001}, {"1#SNAN", 0xFFBFFFFF}, {"1#SNAN", 0xFF800001},
  };
  for (const Case& c : cases) {
    const DecimalDigits form = toDecimalDigits(fromBits(c.bits));
    EXPECT_FALSE(form.finite) << std::hex << c.bits;
    EXPECT_EQ(c.text, digitsOf(form)) << std::hex << c.bits;
    EXPECT_EQ(' ', form.sign) << std::hex << c.bits;
  }
}

// Every binary exponent of both signs, subnormals included: the first and
// last fractions of each (where the digit count and the carries change) and
// random ones, against the exact expansion.
TEST(DecimalDigitsTest, AgreesWithExactExpansionOnEveryExponent) {
  const std::uint32_t perExponent = 200u * SweepScale;  // ~100 000 per scale step
  SampleRandom random{20240611};
  std::vector<std::uint32_t> patterns;
  for (std::uint32_t sign = 0; sign < 2; ++sign) {
    for (std::uint32_t exponent = 0; exponent < 255; ++exponent) {
      const std::uint32_t base = (sign << 31) | (exponent << 23);
      for (std::uint32_t f = 0; f < 16; ++f) {
        patterns.push_back(base | f);
        patterns.push_back(base | (0x7FFFFF - f));
      }
      for (std::uint32_t i = 0; i < perExponent; ++i) patterns.push_back(base | random.below(0x800000));
    }
  }
  const auto failures = compareAll(patterns);
  EXPECT_TRUE(failures.empty()) << "values differ (up to 10 kept), first: " << failures.front();
}

#ifdef KORVENAL_SLOW_SWEEPS
// Every one of the 2^32 bit patterns: finite ones against the exact
// expansion, the others must be special.
TEST(DecimalDigitsTest, AgreesWithExactExpansionForEveryFloat) {
  const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
  std::vector<std::vector<std::string>> failures(workers);
  std::vector<std::thread> threads;
  for (unsigned w = 0; w < workers; ++w) {
    threads.emplace_back([w, workers, &failures] {
      for (std::uint64_t bits = w; bits <= 0xFFFFFFFFu; bits += workers) {
        const auto pattern = static_cast<std::uint32_t>(bits);
        std::string failure;
        if (((pattern >> 23) & 0xFF) == 0xFF) {
          if (toDecimalDigits(fromBits(pattern)).finite) failure = "special " + std::to_string(pattern);
        } else {
          failure = mismatch(pattern);
        }
        if (!failure.empty() && failures[w].size() < 10) failures[w].push_back(failure);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& found : failures) EXPECT_TRUE(found.empty()) << found.front();
}
#endif

// roundDigits on hand-made forms: nothing to do, cut, round up, carry over
// nines into a new digit (exponent rises) and rounding to no digits at all
// (a carry with "1" and the exponent unchanged, or an empty, unsigned form).
TEST(DecimalDigitsTest, RoundDigits) {
  struct Case {
    const char* expectedDigits;
    int expectedExponent;
    char expectedSign;
    bool expectedCarry;
    const char* digits;
    int exponent;
    char sign;
    int keep;
  };
  const Case cases[] = {
      {"1234", 2, '-', false, "1234", 2, '-', 4},        // fewer digits than kept
      {"1234", 2, '-', false, "1234", 2, '-', 9},
      {"123", 2, ' ', false, "1234", 2, ' ', 3},         // 4 cuts
      {"124", 2, '-', false, "1235", 2, '-', 3},         // 5 goes up, also when negative
      {"130", 2, ' ', false, "12999", 2, ' ', 3},        // carry stops at the 2
      {"1000", 3, ' ', true, "99951", 2, ' ', 3},        // all nines: "1" and 3 zeros
      {"10", 1, '-', true, "96", 0, '-', 1},             // one nine
      {"1", -3, ' ', true, "6", -3, ' ', 0},             // keep none, round up
      {"1", -3, '-', true, "5000001", -3, '-', 0},
      {"", -3, ' ', false, "4999999", -3, '-', 0},       // keep none, cut: no negative zero
      {"1234568", 5, ' ', false, "12345677734375", 5, ' ', 7},
  };
  for (const Case& c : cases) {
    DecimalDigits form;
    form.count = 0;
    for (const char* p = c.digits; *p != '\0'; ++p) form.digits[form.count++] = *p;
    form.exponent = c.exponent;
    form.sign = c.sign;
    const bool carry = roundDigits(form, c.keep);
    EXPECT_EQ(c.expectedDigits, digitsOf(form)) << c.digits << " keep " << c.keep;
    EXPECT_EQ(c.expectedExponent, form.exponent) << c.digits << " keep " << c.keep;
    EXPECT_EQ(c.expectedSign, form.sign) << c.digits << " keep " << c.keep;
    EXPECT_EQ(c.expectedCarry, carry) << c.digits << " keep " << c.keep;
  }
}

}  // namespace
}  // namespace korvenal
