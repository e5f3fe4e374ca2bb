// The short-decimal path of the real conversion: it must give exactly what
// the general conversion gives, or step aside.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <string>

#include "records/real_conversion.h"

namespace korvenal {
namespace {

// The general conversion alone: the text summarised character by character.
RealResult throughSummary(std::string_view text, std::int32_t impliedDecimals) {
  RealForm form;
  for (const char c : text) addRealCharacter(form, static_cast<unsigned char>(c));
  return convertReal(form, impliedDecimals);
}

// The texts of the data rows and the forms around them: what the short path
// takes, with how many characters, and what it leaves to the general path.
TEST(ShortDecimal, TakesShortFormsWhole) {
  struct Case {
    float value;
    std::string_view text;
    std::int32_t length;  // characters taken by readShortDecimal of text + ","
  };
  const Case cases[] = {
      {300.0337f, "300.0337", 8},
      {0.0170308399f, "1.70308399e-02", 14},
      {100000.0f, "100000.000", 10},
      {-50.0f, "-50.0", 5},
      {0.5f, ".5", 2},
      {5.0f, "5.", 2},
      {12.5f, "0012.50", 7},
      {-0.005f, "-.005", 5},
      {0.0015f, "1.5-3", 5},  // a sign alone starts the exponent
      {20000.0f, "2+4", 3},
      {1500.0f, "1.5d+3", 6},
      {1e22f, "1e22", 4},
      {1e-22f, "1e-22", 5},
      {123456789012345.0f, "123456789012345", 15},  // 15 significant digits
  };
  for (const Case& c : cases) {
    const RealResult got = convertShortDecimal(c.text, 0);
    EXPECT_EQ(0, got.failure) << c.text;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(c.value), std::bit_cast<std::uint32_t>(got.value)) << c.text;
    const std::string followed = std::string(c.text) + ",7";
    RealResult start;
    EXPECT_EQ(c.length, readShortDecimal(followed, 0, start)) << c.text;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(c.value), std::bit_cast<std::uint32_t>(start.value)) << c.text;
  }
  // The largest short decimal is still inside the single range.
  const RealResult largest = convertShortDecimal("999999999999999e22", 0);
  EXPECT_EQ(0, largest.failure);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(throughSummary("999999999999999e22", 0).value),
            std::bit_cast<std::uint32_t>(largest.value));
  // Zero keeps its sign.
  EXPECT_EQ(0x80000000u, std::bit_cast<std::uint32_t>(convertShortDecimal("-0.00000000e+00", 0).value));
  EXPECT_EQ(0u, std::bit_cast<std::uint32_t>(convertShortDecimal("0", 0).value));
  // Without a point, implied decimals place it: 12345 with 7 is 0.0012345.
  EXPECT_EQ(0.0012345f, convertShortDecimal("12345", 7).value);
  EXPECT_EQ(12.345f, convertShortDecimal("12.345", 7).value);
}

TEST(ShortDecimal, LeavesEverythingElseToTheGeneralPath) {
  for (const std::string_view text : {
           "1234567890123456",      // 16 significant digits
           "1.000000000000000",     // trailing zeros count as digits
           "1e23", "1e-23",         // powers of ten a double does not hold
           "1e00001",               // five exponent digits
           "1.5E", "1.5E+", "2-",   // an exponent without digits
           "1.5-+3", ".", "-", "+.", "", "E3",
           "1.5Q3", "abc", "12x",   // characters after the form
       }) {
    EXPECT_EQ(NotShortDecimal, convertShortDecimal(text, 0).failure) << text;
  }
}

#ifdef __SANITIZE_ADDRESS__
constexpr int Samples = 30000;
#else
constexpr int Samples = 400000;
#endif

// Random texts in and around the short form: whenever the short path gives a
// result it is the general path's, bit for bit and failure for failure, and
// it takes most plain decimals.
TEST(ShortDecimal, AgreesWithTheGeneralPath) {
  std::mt19937_64 random(6);
  const std::string_view pieces[] = {"0", "1", "5", "9", "00", "0000", ".", "-", "+", "e", "E", "d", "D", "x"};
  int taken = 0;
  int plain = 0;
  for (int n = 0; n < Samples; ++n) {
    std::string text;
    const bool mixture = random() % 4 == 0;
    if (mixture) {
      // Any mixture of the characters that matter.
      const auto count = random() % 9;
      for (std::uint64_t i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
    } else {
      // [sign] digits [. digits] [exponent]
      if (random() % 3 == 0) text += random() % 2 ? "-" : "+";
      const auto whole = random() % 10;
      for (std::uint64_t i = 0; i < whole; ++i) text += static_cast<char>('0' + random() % 10);
      if (random() % 4 != 0) {
        text += '.';
        const auto fraction = random() % 12;
        for (std::uint64_t i = 0; i < fraction; ++i) text += static_cast<char>('0' + random() % 10);
      }
      if (random() % 2 == 0) {
        const char* const starts[] = {"e", "E-", "d+", "D", "-", "+", "e-0"};
        text += starts[random() % std::size(starts)];
        text += std::to_string(random() % 40);
      }
      ++plain;
    }
    const std::int32_t implied = random() % 3 == 0 ? 7 : 0;
    const RealResult quick = convertShortDecimal(text, implied);
    if (quick.failure == NotShortDecimal) continue;
    if (!mixture) ++taken;
    const RealResult want = throughSummary(text, implied);
    ASSERT_EQ(want.failure, quick.failure) << text;
    ASSERT_EQ(std::bit_cast<std::uint32_t>(want.value), std::bit_cast<std::uint32_t>(quick.value)) << text;
  }
  EXPECT_GT(taken, plain / 3) << "the short path should take most plain decimals";
}

}  // namespace
}  // namespace korvenal
