#include "records/real_conversion.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace korvenal {
namespace {

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

// The forms of a real and the checks in their order. Values are exact floats.
TEST(RealConversion, FormsAndFailures) {
  struct Case {
    float value;
    int failure;
    std::string_view text;
  };
  const Case cases[] = {
      {1500.0f, 0, "1.5E3"},        {1500.0f, 0, "1.5e3"},      {1500.0f, 0, "1.5D3"},
      {1500.0f, 0, "1.5d+3"},       {1500.0f, 0, "1.5+3"},      {1500.0f, 0, "1500"},
      {0.0015f, 0, "1.5-3"},        {20000.0f, 0, "2+4"},       {0.5f, 0, ".5"},
      {5.0f, 0, "5."},              {-0.25f, 0, "-.25"},        {7.0f, 0, "+0007.000"},
      {1.0f, 0, "0.001E+3"},        {0.0f, 0, "1E-50"},         {0.0f, 0, "0E999999"},
      {-0.0f, 0, "-0"},             {0.0f, 6103, "1.5Q3"},      {0.0f, 6103, "1.5E"},
      {0.0f, 6103, "1.5E+"},        {0.0f, 6103, "1.5-"},       {0.0f, 6103, "E3"},
      {0.0f, 6103, "+"},            {0.0f, 6103, "-"},          {0.0f, 6103, "."},
      {0.0f, 6103, "+.E3"},         {0.0f, 6103, "1..5"},       {0.0f, 6103, "1.5E3.0"},
      {0.0f, 6103, "Temperature"},  {0.0f, 6103, "1 5"},        {0.0f, 6103, "--1"},
      {0.0f, 6104, "1E39"},         {0.0f, 6104, "-3.5E38"},    {0.0f, 6102, "1E400"},
      {0.0f, 6102, "-1D309"},       {0.0f, 6102, "1.8E308"},
      // The range check comes before the form check, the form before the single range.
      {0.0f, 6102, "1E400xyz"},     {0.0f, 6103, "1E39xyz"},
      // An exponent above 5200 counts as 5201, whatever its length.
      {0.0f, 6102, "1E99999999999999999999"}, {0.0f, 0, "1E-99999999999999999999"},
  };
  for (const Case& c : cases) {
    const RealResult got = realFromText(c.text);
    EXPECT_EQ(c.failure, got.failure) << c.text;
    if (c.failure == 0) {
      EXPECT_EQ(bitsOf(c.value), bitsOf(got.value)) << c.text;
    }
  }
}

// Tiny values become subnormal or zero silently; zero keeps its sign.
TEST(RealConversion, TinyValuesAndSignedZero) {
  EXPECT_EQ(bitsOf(-0.0f), bitsOf(realFromText("-0").value));
  EXPECT_EQ(bitsOf(-0.0f), bitsOf(realFromText("-0.000E5").value));
  EXPECT_EQ(bitsOf(-0.0f), bitsOf(realFromText("-1E-60").value));
  EXPECT_EQ(bitsOf(0.0f), bitsOf(realFromText("1E-330").value));  // below the double range too
  EXPECT_EQ(0x00000001u, bitsOf(realFromText("1.4E-45").value));   // smallest subnormal
  EXPECT_EQ(0x00800000u, bitsOf(realFromText("1.17549435E-38").value));
  EXPECT_EQ(0x80000001u, bitsOf(realFromText("-1D-45").value));
}

// The largest float is accepted; anything whose double exceeds it is 6104,
// even where rounding to float would have given the largest float again.
TEST(RealConversion, SingleRangeLimit) {
  EXPECT_EQ(bitsOf(FLT_MAX), bitsOf(realFromText("340282346638528859811704183484516925440").value));
  EXPECT_EQ(6104, realFromText("3.4028235E38").failure);
  EXPECT_EQ(bitsOf(FLT_MAX), bitsOf(realFromText("3.4028234E38").value));
}

// Implied decimals apply only without a point, also with an exponent.
TEST(RealConversion, ImpliedDecimals) {
  EXPECT_EQ(bitsOf(0.0012345f), bitsOf(realFromText("12345", 7).value));
  EXPECT_EQ(bitsOf(0.12345f), bitsOf(realFromText("12345E2", 7).value));
  EXPECT_EQ(bitsOf(12.5f), bitsOf(realFromText("12.5", 7).value));
  EXPECT_EQ(bitsOf(-0.0f), bitsOf(realFromText("-0", 7).value));
}

// The reference: the C library's correctly rounded decimal-to-double, then
// rounding to float; with 6102 for a double overflow and 6104 beyond FLT_MAX.
RealResult reference(const std::string& canonical) {
  errno = 0;
  const double wide = std::strtod(canonical.c_str(), nullptr);
  if (std::isinf(wide)) return {0.0f, 6102};
  if (std::fabs(wide) > static_cast<double>(FLT_MAX)) return {0.0f, 6104};
  return {static_cast<float>(wide), 0};
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int Samples = 20000;
#else
constexpr int Samples = 300000;
#endif

// Random decimal texts of 1 to 17 significant digits in every written form
// agree with the reference bit for bit.
TEST(RealConversion, AgreesWithCorrectRoundingUpTo17Digits) {
  std::mt19937_64 random(20240517);
  const char letters[] = {'E', 'e', 'D', 'd'};
  for (int n = 0; n < Samples; ++n) {
    const int digits = 1 + static_cast<int>(random() % 17);
    std::string mantissa;
    for (int i = 0; i < digits; ++i) mantissa += static_cast<char>('0' + random() % 10);
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    std::string text = random() % 2 ? "-" : "";
    text += mantissa.substr(0, static_cast<std::size_t>(point)) + "." + mantissa.substr(static_cast<std::size_t>(point));
    if (text.back() == '.' && random() % 2) text.pop_back();
    const int exponent = static_cast<int>(random() % 700) - 360;
    std::string canonical = text + "e" + std::to_string(exponent);
    switch (random() % 3) {
      case 0: text += letters[random() % 4] + std::to_string(exponent); break;
      case 1: text += (exponent < 0 ? "" : "+") + std::to_string(exponent); break;  // sign only
      default: text += std::string(1, letters[random() % 4]) + (exponent < 0 ? "-" : "+") +
                       std::to_string(std::abs(exponent)); break;
    }
    if (text == "." || text == "-.") continue;
    const RealResult want = reference(canonical);
    const RealResult got = realFromText(text);
    ASSERT_EQ(want.failure, got.failure) << text;
    ASSERT_EQ(bitsOf(want.value), bitsOf(got.value)) << text;
  }
}

// Beyond 24 significant digits the rest only places the point: the value is
// that of the text cut after its 24th significant digit.
TEST(RealConversion, OnlyTwentyFourSignificantDigitsCount) {
  std::mt19937_64 random(99);
  for (int n = 0; n < Samples / 10; ++n) {
    const int digits = 25 + static_cast<int>(random() % 30);
    std::string mantissa(1, static_cast<char>('1' + random() % 9));
    for (int i = 1; i < digits; ++i) mantissa += static_cast<char>('0' + random() % 10);
    const int point = static_cast<int>(random() % static_cast<unsigned>(digits + 1));
    const int exponent = static_cast<int>(random() % 100) - 50;
    const std::string text = "000" + mantissa.substr(0, static_cast<std::size_t>(point)) + "." +
                             mantissa.substr(static_cast<std::size_t>(point)) + "E" + std::to_string(exponent);
    const std::string cut = mantissa.substr(0, 24) + "e" + std::to_string(exponent + point - 24);
    ASSERT_EQ(bitsOf(reference(cut).value), bitsOf(realFromText(text).value)) << text;
  }
  // A value just above a double halfway that decides a float tie: cut after 24
  // digits it lies below the halfway, so the double is one step lower and the
  // float rounds down, where the whole text would round up to 1 + 2^-22.
  const std::string text = "1.000000178813934215149572537484345957636833190917968750001";
  EXPECT_EQ(bitsOf(0x1.000004p+0f), bitsOf(static_cast<float>(std::strtod(text.c_str(), nullptr))));
  EXPECT_EQ(bitsOf(0x1.000002p+0f), bitsOf(realFromText(text).value));
}

// A text of any length is taken whole, in fixed storage.
TEST(RealConversion, HundredThousandDigitTextsAreConvertedWhole) {
  std::string pi = "3.";
  while (pi.size() < 100000) pi += "14159265358979323846";
  EXPECT_EQ(bitsOf(3.14159265358979f), bitsOf(realFromText(pi).value));
  const std::string leadingZeros = std::string(99990, '0') + "1.5E-2";
  EXPECT_EQ(bitsOf(0.015f), bitsOf(realFromText(leadingZeros).value));
  const std::string small = "0." + std::string(5000, '0') + "7E+4990";
  EXPECT_EQ(bitsOf(7e-11f), bitsOf(realFromText(small).value));
  // The exponent 99980 counts as 5201, so the point is not brought back.
  const std::string tiny = "0." + std::string(99990, '0') + "7E+99980";
  EXPECT_EQ(bitsOf(0.0f), bitsOf(realFromText(tiny).value));
  EXPECT_EQ(6102, realFromText("1" + std::string(99999, '0')).failure);
  EXPECT_EQ(6102, realFromText(std::string(99999, '9') + "x").failure);
  EXPECT_EQ(6103, realFromText("0." + std::string(99999, '9') + "x").failure);
}

}  // namespace
}  // namespace korvenal
