#include "records/integer_conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace korvenal {
namespace {

// Decimal and base notation, their limits, and the first fault from the left.
TEST(IntegerConversion, ValuesAndFailures) {
  struct Case {
    std::int32_t value;
    int failure;
    std::string_view text;
  };
  const Case cases[] = {
      {2147483647, 0, "2147483647"},
      {0, 6100, "2147483648"},
      {INT32_MIN, 0, "-2147483648"},
      {0, 6100, "-02147483648"},  // only the exact text gives the lowest value
      {0, 6100, "-2147483649"},
      {-17, 0, "-17"},
      {17, 0, "+0017"},
      {0, 0, "+"},
      {0, 0, "-"},
      {0, 0, ""},
      {12, 0, std::string_view("12\x1a" "abc", 6)},  // byte 26 ends the number
      {12, 0, std::string_view("12\0" "9", 4)},      // and so does byte 0
      {255, 0, "16#FF"},
      {255, 0, "#ff"},
      {255, 0, "0#fF"},
      {15, 0, "2#1111"},
      {-3, 0, "-2#11"},
      {35, 0, "36#z"},
      {-1, 0, "16#FFFFFFFF"},  // the 32-bit pattern, read as signed
      {INT32_MIN, 0, "2#10000000000000000000000000000000"},
      {0, 6100, "16#100000000"},
      {2147483647, 0, "10#2147483647"},
      {0, 6100, "10#2147483648"},  // base 10 keeps the decimal limit
      {0, 6303, "1#1"},
      {0, 6303, "37#1"},
      {0, 6302, "16#1#2"},
      {0, 6101, "2#2"},
      {0, 6101, "1.5"},
      {0, 6101, "1e3"},
      {0, 6101, "12-"},
      {0, 6101, "abc"},
      {0, 6101, "16#F.F"},
      {0, 6101, "1x99999999999"},  // the first fault decides
      {0, 6100, "99999999999x"},
  };
  for (const Case& c : cases) {
    const IntegerResult got = integerFromText(c.text);
    EXPECT_EQ(c.failure, got.failure) << c.text;
    if (c.failure == 0) {
      EXPECT_EQ(c.value, got.value) << c.text;
    }
  }
}

TEST(IntegerConversion, HundredThousandDigitsAreTakenWhole) {
  EXPECT_EQ(42, integerFromText(std::string(99998, '0') + "42").value);
  EXPECT_EQ(6100, integerFromText("1" + std::string(99999, '0')).failure);
}

}  // namespace
}  // namespace korvenal
