// Text to a single-precision real, in two steps: the characters are summarised
// one by one as they arrive (sign, at most 24 significant digits, where the
// decimal point stands, exponent, whether the text keeps the form of a real),
// then the summary becomes the nearest double and that the nearest float.
// Pure: no input or output, no allocation, any text length.
//
// The form: [sign] mantissa [exponent], where the mantissa is digits with an
// optional point ("5", "5.", ".5", "5.25") and the exponent is a letter
// E e D d with an optional sign and digits ("1.5E3", "1.5d+3"), or a sign
// directly followed by digits ("1.5-3" is 0.0015, "2+4" is 20000).
#pragma once

#include <cstdint>
#include <string_view>

namespace korvenal {

inline constexpr std::int32_t MaxSignificantDigits = 24;
// An exponent read above this counts as one more; so does a combined
// decimal exponent, which is then beyond the double range.
inline constexpr std::int32_t ExponentCap = 5200;

enum class RealState : std::uint8_t {
  Start,      // nothing yet
  Sign,       // a leading sign
  Integer,    // mantissa digits before any point
  Point,      // a point with no mantissa digit yet
  Fraction,   // after the point, with a mantissa digit somewhere
  ExpLetter,  // E, e, D or d after the mantissa
  ExpSign,    // the exponent's sign (after a letter, or alone)
  ExpDigits,  // the exponent's digits
  Stopped,    // a character broke the form; the rest is ignored
};

struct RealForm {
  RealState state = RealState::Start;
  bool negative = false;
  bool pointSeen = false;  // the mantissa holds a decimal point
  bool exponentNegative = false;
  std::int32_t digitCount = 0;  // significant digits kept (at most 24)
  std::int32_t exponent = 0;    // the exponent's digits, capped at 5201
  // Decimal exponent of the kept digits read as 0.ddd: +1 per significant
  // digit before the point, -1 per zero between the point and the first
  // significant digit.
  std::int64_t pointShift = 0;
  char digits[MaxSignificantDigits] = {};
};

// Takes one more character of the text into the summary.
inline void addRealCharacter(RealForm& form, unsigned char c) {
  const bool isDigit = c >= '0' && c <= '9';
  const bool isSign = c == '+' || c == '-';
  switch (form.state) {
    case RealState::Start:
      if (isSign) {
        form.negative = c == '-';
        form.state = RealState::Sign;
        return;
      }
      [[fallthrough]];
    case RealState::Sign:
    case RealState::Integer:
      if (isDigit) {
        form.state = RealState::Integer;
        if (form.digitCount == 0 && c == '0') return;  // leading zero
        if (form.digitCount < MaxSignificantDigits) form.digits[form.digitCount++] = static_cast<char>(c);
        ++form.pointShift;
        return;
      }
      if (c == '.') {
        form.pointSeen = true;
        form.state = form.state == RealState::Integer ? RealState::Fraction : RealState::Point;
        return;
      }
      break;
    case RealState::Point:
    case RealState::Fraction:
      if (isDigit) {
        form.state = RealState::Fraction;
        if (form.digitCount == 0) {
          if (c == '0') --form.pointShift;
          else form.digits[form.digitCount++] = static_cast<char>(c);
        } else if (form.digitCount < MaxSignificantDigits) {
          form.digits[form.digitCount++] = static_cast<char>(c);
        }
        return;
      }
      break;
    case RealState::ExpLetter:
    case RealState::ExpSign:
    case RealState::ExpDigits:
      if (isDigit) {
        form.state = RealState::ExpDigits;
        if (form.exponent <= ExponentCap) {
          form.exponent = form.exponent * 10 + (c - '0');
          if (form.exponent > ExponentCap) form.exponent = ExponentCap + 1;
        }
        return;
      }
      if (isSign && form.state == RealState::ExpLetter) {
        form.exponentNegative = c == '-';
        form.state = RealState::ExpSign;
        return;
      }
      form.state = RealState::Stopped;
      return;
    case RealState::Stopped:
      return;
  }
  // After a mantissa digit: an exponent letter or a sign starts the exponent.
  if (form.state == RealState::Integer || form.state == RealState::Fraction) {
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
      form.state = RealState::ExpLetter;
      return;
    }
    if (isSign) {
      form.exponentNegative = c == '-';
      form.state = RealState::ExpSign;
      return;
    }
  }
  form.state = RealState::Stopped;
}

struct RealResult {
  float value = 0.0f;
  int failure = 0;  // 0, or 6102, 6103, 6104
};

// The summary's value as a float, with the checks in order: beyond the
// double range (6102), characters left after the form (6103), beyond the
// single range (6104). Without a decimal point the value is divided by ten to
// the power `impliedDecimals` ("12345" with 7 gives 0.0012345). Tiny values
// become subnormal or zero without a failure; zero keeps its sign.
RealResult convertReal(const RealForm& form, std::int32_t impliedDecimals = 0);

// The whole text summarised and converted.
RealResult realFromText(std::string_view text, std::int32_t impliedDecimals = 0);

// The common short value in one pass, without the summary: a text of the
// form above with at most 15 significant digits whose value is those digits
// times an exactly held power of ten (10^-22 to 10^22), so that one
// multiplication or division rounds it correctly. "300.0337",
// "1.70308399e-02" and "-0" are such texts. The failure NotShortDecimal
// stands for any other text (a longer mantissa, a far exponent,
// characters outside the form); convertReal then decides. Any other result
// is what convertReal gives for the same text.
inline constexpr int NotShortDecimal = -1;
RealResult convertShortDecimal(std::string_view text, std::int32_t impliedDecimals);

// The same for the longest start of `text` that has the form of a short
// decimal, for a reader that finds where a value ends as it converts it:
// "12.5,3" gives 12.5 and takes 4 characters. Returns how many characters it
// took and sets `result`; returns 0 and leaves `result` alone when that start
// is not a short decimal (a mantissa of more than 15 significant digits, an
// exponent of five digits or more, a letter or sign that does not go on into
// an exponent, no mantissa digit).
std::int32_t readShortDecimal(std::string_view text, std::int32_t impliedDecimals, RealResult& result);

}  // namespace korvenal
