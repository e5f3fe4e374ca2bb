// The summary of a real's text to a double, correctly rounded, then to float.
#include "records/real_conversion.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

namespace korvenal {

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559,
              "float and double must be IEEE binary32 and binary64");
static_assert(FLT_EVAL_METHOD == 0, "arithmetic must round to the declared type");

namespace {

constexpr int BeyondDouble = 6102;
constexpr int Invalid = 6103;
constexpr int BeyondSingle = 6104;

bool complete(const RealForm& form) {
  return form.state == RealState::Integer || form.state == RealState::Fraction ||
         form.state == RealState::ExpDigits;
}

// The powers of ten that a double holds exactly.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::int64_t ExactPowerLimit = 22;
constexpr std::int32_t ExactDigitLimit = 15;  // 10^15 < 2^53: the digits are an exact double

// Writes `value` in decimal at `out`; returns the end.
char* writeExponent(char* out, std::int64_t value) {
  return std::to_chars(out, out + 24, value).ptr;
}

}  // namespace

RealResult convertReal(const RealForm& form, std::int32_t impliedDecimals) {
  double magnitude = 0.0;
  if (form.digitCount > 0) {
    const std::int64_t exponent = form.exponentNegative ? -std::int64_t{form.exponent} : form.exponent;
    std::int64_t scale = form.pointShift + exponent;  // value = 0.ddd x 10^scale
    if (!form.pointSeen) scale -= impliedDecimals;
    // 1.0 has scale 1: the decimal exponent of the leading digit is scale - 1.
    if (scale - 1 > ExponentCap) return {0.0f, BeyondDouble};
    if (scale - 1 > 400) return {0.0f, BeyondDouble};
    const std::int64_t power = scale - form.digitCount;  // value = ddd x 10^power
    if (form.digitCount <= ExactDigitLimit && power >= -ExactPowerLimit && power <= ExactPowerLimit) {
      // Exact digits and an exact power: one correctly rounded operation.
      std::uint64_t digits = 0;
      for (std::int32_t i = 0; i < form.digitCount; ++i) digits = digits * 10 + static_cast<std::uint64_t>(form.digits[i] - '0');
      const auto exactDigits = static_cast<double>(digits);
      magnitude = power < 0 ? exactDigits / ExactPowersOfTen[-power] : exactDigits * ExactPowersOfTen[power];
    } else if (scale - 1 >= -400) {
      // "ddd" "e" exponent: at most 24 digits, so a short fixed text.
      char text[MaxSignificantDigits + 32];
      char* end = text;
      for (std::int32_t i = 0; i < form.digitCount; ++i) *end++ = form.digits[i];
      *end++ = 'e';
      end = writeExponent(end, power);
      const auto parsed = std::from_chars(text, end, magnitude);
      if (parsed.ec == std::errc::result_out_of_range) {
        if (scale > 0) return {0.0f, BeyondDouble};
        magnitude = 0.0;  // below the smallest subnormal
      }
      if (std::isinf(magnitude)) return {0.0f, BeyondDouble};
    }
  }
  if (!complete(form)) return {0.0f, Invalid};
  if (magnitude > static_cast<double>(FLT_MAX)) return {0.0f, BeyondSingle};
  const double value = form.negative ? -magnitude : magnitude;
  return {static_cast<float>(value), 0};
}

namespace {

bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Skips the digits from `at`, adding them to `digits` (which wraps silently
// past 19 digits; the caller rejects that many). Returns where they end.
const char* addDigits(const char* at, const char* end, std::uint64_t& digits) {
  for (; at != end && isDigit(*at); ++at) digits = digits * 10 + static_cast<std::uint64_t>(*at - '0');
  return at;
}

}  // namespace

std::int32_t readShortDecimal(std::string_view text, std::int32_t impliedDecimals, RealResult& result) {
  constexpr std::int32_t NotShort = 0;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* at = begin;
  bool negative = false;
  if (at != end && (*at == '+' || *at == '-')) negative = *at++ == '-';
  // The significant digits as an integer, and the decimal exponent of 0.ddd
  // as the summary counts it: +1 per significant integer digit, -1 per zero
  // between the point and the first significant digit. "0012.50" gives
  // 1250 and 2, "-.005" gives 5 and -2.
  const char* const mantissa = at;
  while (at != end && *at == '0') ++at;
  std::uint64_t digits = 0;
  const char* const integerDigits = at;
  at = addDigits(at, end, digits);
  std::int64_t digitCount = at - integerDigits;
  std::int64_t pointShift = digitCount;
  const bool pointSeen = at != end && *at == '.';
  if (pointSeen) {
    ++at;
    if (digitCount == 0) {
      const char* const zeros = at;
      while (at != end && *at == '0') ++at;
      pointShift = zeros - at;
    }
    const char* const fractionDigits = at;
    at = addDigits(at, end, digits);
    digitCount += at - fractionDigits;
  }
  if (at - mantissa == (pointSeen ? 1 : 0)) return NotShort;  // no mantissa digit
  if (digitCount > ExactDigitLimit) return NotShort;
  // The exponent: a letter with an optional sign, or a sign alone; then at
  // most four digits here.
  std::int64_t exponent = 0;
  if (at != end) {
    const char c = *at;
    const bool letter = c == 'E' || c == 'e' || c == 'D' || c == 'd';
    if (letter || c == '+' || c == '-') {
      ++at;
      bool exponentNegative = c == '-';
      if (letter && at != end && (*at == '+' || *at == '-')) exponentNegative = *at++ == '-';
      const char* const exponentDigits = at;
      for (; at != end && isDigit(*at); ++at) {
        if (at - exponentDigits == 4) return NotShort;
        exponent = exponent * 10 + (*at - '0');
      }
      if (at == exponentDigits) return NotShort;  // "1.5E": not a complete real
      if (exponentNegative) exponent = -exponent;
    }
  }
  const auto length = static_cast<std::int32_t>(at - begin);
  double magnitude = 0.0;
  if (digitCount > 0) {
    std::int64_t power = pointShift + exponent - digitCount;  // value = digits x 10^power
    if (!pointSeen) power -= impliedDecimals;
    if (power < -ExactPowerLimit || power > ExactPowerLimit) return NotShort;
    const auto exactDigits = static_cast<double>(digits);
    magnitude = power < 0 ? exactDigits / ExactPowersOfTen[-power] : exactDigits * ExactPowersOfTen[power];
  }
  // At most 15 digits times at most 10^22 stays below 10^37, inside the
  // single-precision range: a short decimal never fails.
  result = {static_cast<float>(negative ? -magnitude : magnitude), 0};
  return length;
}

RealResult convertShortDecimal(std::string_view text, std::int32_t impliedDecimals) {
  RealResult result{0.0f, NotShortDecimal};
  const std::int32_t length = readShortDecimal(text, impliedDecimals, result);
  if (length == 0 || static_cast<std::size_t>(length) != text.size()) return {0.0f, NotShortDecimal};
  return result;
}

RealResult realFromText(std::string_view text, std::int32_t impliedDecimals) {
  if (const RealResult quick = convertShortDecimal(text, impliedDecimals); quick.failure != NotShortDecimal) {
    return quick;
  }
  RealForm form;
  for (const char c : text) addRealCharacter(form, static_cast<unsigned char>(c));
  return convertReal(form, impliedDecimals);
}

}  // namespace korvenal
