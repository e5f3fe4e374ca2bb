// The number-to-text functions against an independent reference: random
// single-precision bit patterns, widths and decimal places. The reference
// expands the float exactly (big-integer arithmetic on its binary form), then
// applies the writing rules on plain strings: 17 digits rounded on the 18th,
// rounding half away from zero to at most 7 significant digits, the fixed
// form without a '0' before the point, asterisks for a field too narrow, the
// special texts of infinities and NaNs, and the console's free form.
// Properties: the decimal form, the rounding, the fixed text, the field (of
// exactly its width) and the free form all agree with the reference.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "records/console_writer.h"
#include "records/decimal_digits.h"
#include "records/fixed_format.h"

namespace korvenal::fuzz {
namespace {

// ---- Exact expansion ------------------------------------------------------

// A non-negative big integer in base 10^9, least significant limb first.
using Big = std::vector<std::uint32_t>;
constexpr std::uint32_t LimbBase = 1000000000;

void multiply(Big& n, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : n) {
    const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
    limb = static_cast<std::uint32_t>(product % LimbBase);
    carry = product / LimbBase;
  }
  while (carry != 0) {
    n.push_back(static_cast<std::uint32_t>(carry % LimbBase));
    carry /= LimbBase;
  }
}

std::string decimalOf(const Big& n) {
  std::string text = std::to_string(n.back());
  for (std::size_t i = n.size() - 1; i-- > 0;) {
    const std::string limb = std::to_string(n[i]);
    text += std::string(9 - limb.size(), '0') + limb;
  }
  return text;
}

// The exact decimal digits of a finite non-zero magnitude m x 2^e, as all its
// significant digits and the position of the point (value = 0.digits x 10^point).
struct Exact {
  std::string digits;
  int point = 0;
};

Exact expand(std::uint32_t mantissa, int binaryExponent) {
  Big n{mantissa % LimbBase, mantissa / LimbBase};
  if (n.back() == 0) n.pop_back();
  // m x 2^e for e >= 0; m x 5^-e / 10^-e otherwise.
  for (int i = 0; i < binaryExponent; ++i) multiply(n, 2);
  for (int i = 0; i < -binaryExponent; ++i) multiply(n, 5);
  Exact exact;
  exact.digits = decimalOf(n);
  exact.point = static_cast<int>(exact.digits.size()) + (binaryExponent < 0 ? binaryExponent : 0);
  while (exact.digits.back() == '0') exact.digits.pop_back();
  return exact;
}

// ---- The writing rules on strings -------------------------------------------

struct Form {
  bool negative = false;
  bool finite = true;
  int exponent = 0;
  std::string digits;  // or the special text
};

std::string specialText(std::uint32_t bits) {
  const std::uint32_t fraction = bits & 0x7fffff;
  if (fraction == 0) return "1#INF";
  if (bits == 0xffc00000u) return "1#IND";
  return (fraction & 0x400000) != 0 ? "1#QNAN" : "1#SNAN";
}

// Adds one to the last digit of `digits`, carrying left; true when the carry
// ran out of the first digit (the digits are then "1" and zeros).
bool addOne(std::string& digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

void dropTrailingZeros(std::string& digits) {
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
}

Form referenceForm(std::uint32_t bits) {
  Form form;
  const int biased = static_cast<int>(bits >> 23 & 0xff);
  const std::uint32_t fraction = bits & 0x7fffff;
  if (biased == 0xff) {
    form.finite = false;
    form.digits = specialText(bits);
    return form;
  }
  if (biased == 0 && fraction == 0) {
    form.digits = "0";
    return form;
  }
  form.negative = (bits >> 31) != 0;
  const std::uint32_t mantissa = biased == 0 ? fraction : fraction | 0x800000;
  const int binaryExponent = (biased == 0 ? 1 : biased) - 150;
  const Exact exact = expand(mantissa, binaryExponent);
  // The first 18 digits; 17 kept, one added when the 18th is 5 or more.
  std::string eighteen = exact.digits.substr(0, 18);
  eighteen.resize(18, '0');
  std::string digits = eighteen.substr(0, 17);
  form.exponent = exact.point;
  if (eighteen[17] >= '5' && addOne(digits)) {
    digits.resize(17);
    ++form.exponent;
  }
  dropTrailingZeros(digits);
  form.digits = digits;
  return form;
}

// Rounds to `keep` digits, half away from zero; true on a carry into a new digit.
bool referenceRound(Form& form, int keep) {
  if (static_cast<int>(form.digits.size()) <= keep) return false;
  const char next = form.digits[static_cast<std::size_t>(keep)];
  if (next < '5') {
    form.digits.resize(static_cast<std::size_t>(keep));
    if (form.digits.find_first_not_of('0') == std::string::npos) form.negative = false;
    return false;
  }
  if (keep == 0) {
    form.digits = "1";
    return true;
  }
  form.digits.resize(static_cast<std::size_t>(keep));
  if (addOne(form.digits)) {
    ++form.exponent;
    return true;
  }
  return false;
}

std::string referenceFixed(Form form, int decimals) {
  int integerDigits = 0;
  int shown = decimals;
  if (form.digits != "0") {
    integerDigits = form.exponent;
    shown = form.exponent + decimals;
  }
  if (integerDigits < -decimals) {
    integerDigits = -decimals;
    shown = 0;
    form.negative = false;
  } else if (referenceRound(form, std::min(7, shown))) {
    ++integerDigits;
    ++shown;
  }
  std::string text = form.negative ? "-" : "";
  std::size_t next = 0;
  const auto digit = [&] { return next < form.digits.size() ? form.digits[next++] : '0'; };
  if (integerDigits == 0 && shown == 0) text += '0';
  if (integerDigits > 0) {
    for (int i = 0; i < integerDigits; ++i) text += digit();
    shown -= integerDigits;
  }
  text += '.';
  for (int i = 0; i < -integerDigits; ++i) text += '0';
  for (int i = 0; i < shown; ++i) text += digit();
  return text;
}

std::string fitted(const std::string& special, int width) {
  std::string text = special.substr(0, static_cast<std::size_t>(width));
  text.resize(static_cast<std::size_t>(width), '.');
  return text;
}

std::string referenceField(const Form& form, int width, int decimals) {
  if (!form.finite) return fitted(form.digits, width);
  const std::string text = referenceFixed(form, decimals);
  if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
  return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

std::string referenceFree(Form form) {
  if (!form.finite) return fitted(form.digits, 13);
  if (form.exponent >= 1 && form.exponent <= 7 && form.digits != "0") return referenceFixed(form, 6);
  const bool zero = form.digits == "0";
  referenceRound(form, 7);
  std::string text = form.negative ? "-" : "";
  std::string digits = form.digits;
  digits.resize(7, '0');
  text += digits.substr(0, 1) + "." + digits.substr(1);
  const int x = zero ? 0 : form.exponent - 1;
  const int magnitude = x < 0 ? -x : x;
  text += x < 0 ? "E-" : "E+";
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  return text;
}

// ---- Comparison ---------------------------------------------------------------

std::string textOf(const FieldText& field) {
  require(field.length >= 0 && field.length <= MaxFieldText, "a field text of impossible length");
  return {field.bytes, static_cast<std::size_t>(field.length)};
}

void checkForm(const DecimalDigits& got, const Form& expected) {
  require(got.finite == expected.finite, "finite flag");
  require(got.count >= 0 && got.count <= MaxDecimalDigits + 2, "digit count out of range");
  require(std::string(got.digits, static_cast<std::size_t>(got.count)) == expected.digits, "digits");
  if (!expected.finite) return;
  require(got.sign == (expected.negative ? '-' : ' '), "sign");
  require(got.exponent == expected.exponent, "exponent");
}

}  // namespace
}  // namespace korvenal::fuzz

// Settings: the float's bits (4 bytes), width, decimals, rounding keep.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvenal;
  using namespace korvenal::fuzz;
  Settings settings(data, size);
  const std::uint32_t bits = settings.quad();
  const int width = 1 + settings.byte() % (MaxFieldText - 1);
  const int decimals = settings.byte() % 21;
  const int keep = settings.byte() % 20;
  float value;
  std::memcpy(&value, &bits, sizeof value);

  const Form expected = referenceForm(bits);
  const DecimalDigits form = toDecimalDigits(value);
  checkForm(form, expected);

  if (expected.finite) {
    DecimalDigits rounded = form;
    Form expectedRounded = expected;
    const bool carried = roundDigits(rounded, keep);
    require(carried == referenceRound(expectedRounded, keep), "rounding carry");
    checkForm(rounded, expectedRounded);
    require(textOf(composeFixed(value, decimals)) == referenceFixed(expected, decimals), "fixed text");
  }
  const std::string field = textOf(editFixed(value, width, decimals));
  require(static_cast<int>(field.size()) == width, "the field is not exactly its width");
  require(field == referenceField(expected, width, decimals), "fixed field");
  require(textOf(composeFree(value)) == referenceFree(expected), "free form");
  return 0;
}
