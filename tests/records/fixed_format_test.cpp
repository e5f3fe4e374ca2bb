#include "records/fixed_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "records/exact_decimal_reference.h"
#include "records/sample_floats.h"

namespace korvenal {
namespace {

using writer_test::SampleRandom;
using writer_test::SweepScale;

std::string textOf(const FieldText& text) { return {text.bytes, static_cast<std::size_t>(text.length)}; }

struct FieldCase {
  const char* expected;
  float value;
  int width;
  int decimals;
};

void expectFields(const std::vector<FieldCase>& cases) {
  for (const FieldCase& c : cases) {
    EXPECT_EQ(c.expected, textOf(editFixed(c.value, c.width, c.decimals)))
        << c.value << " " << c.width << "/" << c.decimals;
  }
}

// Values in the table's three field shapes: no '0' before the point, right
// alignment, 7 significant digits then zeros, a carry into a new digit.
TEST(FixedFormatTest, TableFieldShapes) {
  expectFields({
      {"    .500", 0.5f, 8, 3},          {"  25.000", 25.0f, 8, 3},
      {" 275.500", 275.5f, 8, 3},        {" 1.00", 1.0f, 5, 2},
      {"  .50", 0.5f, 5, 2},             {"  .05", 0.05f, 5, 2},
      {"  .00", 0.0f, 5, 2},             {"-1.00", -1.0f, 5, 2},
      {"-9.99", -9.99f, 5, 2},           {"1234567.000", 1234567.0f, 11, 3},
      {"  12345.680", 12345.678f, 11, 3}, {" 123456.800", 123456.789f, 11, 3},
      {"  10.000", 9.9996f, 8, 3},       {"      -.123", -0.123f, 11, 3},
      {"     -3.142", -3.14159f, 11, 3},
  });
}

// A text wider than its field becomes asterisks, also when only the
// rounding makes it too wide.
TEST(FixedFormatTest, TooWideGivesAsterisks) {
  expectFields({
      {"*****", 99.995f, 5, 2},  // rounds to 100.00, six characters
      {"*****", 100.0f, 5, 2},
      {"*****", -10.0f, 5, 2},
      {"***********", 12345678.0f, 11, 3},
      {"***********", 3.4028235e38f, 11, 3},
  });
}

// Zeros and values below half a unit of the last place never show a minus
// sign; from half a unit on they round to one unit (-0.0005f lies just above
// 0.0005 in magnitude).
TEST(FixedFormatTest, ZeroAndTinyValues) {
  expectFields({
      {"       .000", 0.0f, 11, 3},     {"       .000", -0.0f, 11, 3},
      {"       .000", 0.00001f, 11, 3}, {"       .000", -0.00001f, 11, 3},
      {"       .000", -0.0004f, 11, 3}, {"      -.001", -0.0005f, 11, 3},
      {"       .001", 0.0006f, 11, 3},  {"       .000", 1.4e-45f, 11, 3},
      {"  .00", -0.004f, 5, 2},         {"  .00", 0.005f, 5, 2},  // 0.004999999888...
      {"  .01", 0.0051f, 5, 2},
  });
}

// Infinities and NaNs: the special text, filled with '.' or cut, unsigned.
TEST(FixedFormatTest, SpecialValues) {
  const float infinity = std::numeric_limits<float>::infinity();
  expectFields({
      {"1#INF......", infinity, 11, 3},
      {"1#INF......", -infinity, 11, 3},
      {"1#IND...", std::bit_cast<float>(0xFFC00000u), 8, 3},
      {"1#QNAN.....", std::bit_cast<float>(0x7FC00000u), 11, 3},
      {"1#S", std::bit_cast<float>(0x7F800001u), 3, 2},
  });
}

// The text alone: no decimal places keeps the point ("5."), a value that
// rounds to nothing is "0.", and many places show zeros after the seventh
// significant digit.
TEST(FixedFormatTest, ComposeFixedText) {
  struct Case {
    const char* expected;
    float value;
    int decimals;
  };
  const Case cases[] = {
      {"5.", 5.0f, 0},
      {"0.", 0.4f, 0},
      {"0.", -0.4f, 0},
      {"1.", 0.6f, 0},
      {"0.", 0.0f, 0},
      {".1000000000", 0.1f, 10},
      {"-1.0000000000", -1.0f, 10},
      {"340282300000000000000000000000000000000.000", 3.4028235e38f, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, textOf(composeFixed(c.value, c.decimals))) << c.value;
}

// The fields the table uses, at values next to their rounding boundaries:
// halves of the last place or of the seventh digit (x.xx5, x.xxx5, 1234567.5),
// halves that carry through nines (9.995, 999.9995), and values around half
// a unit of the last place (0.0005, 0.005). For each boundary, the float
// nearest to it and its neighbours, against the exact reference's rounding.
TEST(FixedFormatTest, AgreesWithExactReferenceNearRoundingBoundaries) {
  struct Shape {
    int width;
    int decimals;
  };
  const Shape shapes[] = {{5, 2}, {8, 3}, {11, 3}};
  SampleRandom random{77};
  const int boundaries = 2000 * SweepScale;
  int failures = 0;
  for (const Shape shape : shapes) {
    for (int i = 0; i < boundaries && failures < 10; ++i) {
      // boundary = (digits + 0.5) x 10^place
      const int digitCount = 1 + static_cast<int>(random.below(8));
      const int place = -shape.decimals - 1 + static_cast<int>(random.below(10));
      const double top = std::pow(10.0, digitCount);
      const double digits = random.below(4) == 0 ? top - 1 : std::floor(static_cast<double>(random.below(1u << 30)) /
                                                                        (1u << 30) * top);
      const double sign = random.below(2) == 0 ? 1.0 : -1.0;
      const double boundary = sign * (digits + 0.5) * std::pow(10.0, place);
      float value = static_cast<float>(boundary);
      const float outwards = std::copysign(std::numeric_limits<float>::infinity(), value);
      for (int step = 0; step < 3; ++step) value = std::nextafter(value, 0.0f);
      for (int step = 0; step < 7; ++step, value = std::nextafter(value, outwards)) {
        const std::string expected = reference::fixedField(value, shape.width, shape.decimals);
        const std::string got = textOf(editFixed(value, shape.width, shape.decimals));
        if (got != expected) {
          ++failures;
          ADD_FAILURE() << std::hexfloat << value << " " << shape.width << "/" << shape.decimals << ": got \""
                        << got << "\", expected \"" << expected << "\"";
        }
      }
    }
  }
}

// Random floats of every exponent, in the table's field shapes and with more
// places, against the reference: asterisks, tiny values and subnormals.
TEST(FixedFormatTest, AgreesWithExactReferenceOnEveryExponent) {
  struct Shape {
    int width;
    int decimals;
  };
  const Shape shapes[] = {{5, 2}, {8, 3}, {11, 3}, {20, 8}, {50, 0}};
  SampleRandom random{4242};
  int failures = 0;
  for (int i = 0; i < 5000 * SweepScale && failures < 10; ++i) {
    // Finite patterns only: the exponent field below 255.
    const std::uint32_t bits = (random.below(2) << 31) | (random.below(255) << 23) | random.below(1u << 23);
    const float value = std::bit_cast<float>(bits);
    for (const Shape shape : shapes) {
      const std::string expected = reference::fixedField(value, shape.width, shape.decimals);
      const std::string got = textOf(editFixed(value, shape.width, shape.decimals));
      if (got != expected) {
        ++failures;
        ADD_FAILURE() << std::hexfloat << value << " " << shape.width << "/" << shape.decimals << ": got \"" << got
                      << "\", expected \"" << expected << "\"";
      }
    }
  }
}

}  // namespace
}  // namespace korvenal
