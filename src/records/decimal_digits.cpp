// The decimal form of a single-precision value.
//
// A finite float is m x 2^e with m below 2^24 and e from -149 to 104. Its
// exact decimal value is an integer scaled by a power of ten: m x 2^e for
// e >= 0, and m x 5^-e / 10^-e for e < 0. That integer is built in base 10^9
// limbs (at most 112 decimal digits, for the smallest subnormals), and its
// leading digits are read off directly, so every digit is exact.
#include "records/decimal_digits.h"

#include <bit>
#include <cassert>
#include <cstdint>

namespace korvenal {
namespace {

constexpr std::uint32_t LimbBase = 1000000000;  // 9 decimal digits per limb
constexpr int LimbDigits = 9;
constexpr int MaxLimbs = 16;          // 2^24 x 5^149 has 112 digits: 13 limbs
constexpr std::uint32_t FiveTo13 = 1220703125;  // largest power of 5 below 2^32
constexpr std::uint32_t TwoTo30 = 1073741824;
constexpr int GeneratedDigits = 18;   // 17 kept, the 18th decides the rounding

// An unsigned integer in base 10^9, least significant limb first.
struct DecimalInteger {
  std::uint32_t limbs[MaxLimbs] = {};
  int used = 0;
};

// Multiplies `n` by `factor` (below 2^32) in place.
void multiplyBy(DecimalInteger& n, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (int i = 0; i < n.used; ++i) {
    const std::uint64_t product = std::uint64_t{n.limbs[i]} * factor + carry;
    n.limbs[i] = static_cast<std::uint32_t>(product % LimbBase);
    carry = product / LimbBase;
  }
  while (carry != 0) {
    assert(n.used < MaxLimbs);
    n.limbs[n.used++] = static_cast<std::uint32_t>(carry % LimbBase);
    carry /= LimbBase;
  }
}

// Multiplies `n` by base^power, where `chunk` = base^chunkPower fits 32 bits.
void multiplyByPower(DecimalInteger& n, int power, std::uint32_t base, std::uint32_t chunk,
                     int chunkPower) {
  for (; power >= chunkPower; power -= chunkPower) multiplyBy(n, chunk);
  std::uint32_t rest = 1;
  for (; power > 0; --power) rest *= base;
  if (rest != 1) multiplyBy(n, rest);
}

int digitCount(std::uint32_t limb) {
  int count = 1;
  while (limb >= 10) {
    limb /= 10;
    ++count;
  }
  return count;
}

// Writes the `width` decimal digits of `limb` (zero-filled) to `out`.
void putLimb(std::uint32_t limb, int width, char* out) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + limb % 10);
    limb /= 10;
  }
}

// The first 18 digits of the non-zero `n` (zeros after its last digit),
// and the total count of its digits.
int leadingDigits(const DecimalInteger& n, char (&out)[GeneratedDigits]) {
  assert(n.used > 0 && n.limbs[n.used - 1] != 0);
  const int topDigits = digitCount(n.limbs[n.used - 1]);
  char scratch[LimbDigits * 3] = {};
  int filled = 0;
  for (int i = n.used - 1; i >= 0 && filled < GeneratedDigits; --i) {
    const int width = (i == n.used - 1) ? topDigits : LimbDigits;
    putLimb(n.limbs[i], width, scratch + filled);
    filled += width;
  }
  for (int i = 0; i < GeneratedDigits; ++i) out[i] = i < filled ? scratch[i] : '0';
  return topDigits + LimbDigits * (n.used - 1);
}

DecimalDigits specialForm(const char* text) {
  DecimalDigits form;
  form.finite = false;
  form.count = 0;
  while (text[form.count] != '\0') {
    form.digits[form.count] = text[form.count];
    ++form.count;
  }
  return form;
}

// The special text of an infinity or NaN, from its bits. The processor's
// default NaN has the sign bit and only the quiet bit of the fraction set.
DecimalDigits specialValue(std::uint32_t bits) {
  constexpr std::uint32_t Fraction = 0x007FFFFF;
  constexpr std::uint32_t QuietBit = 0x00400000;
  constexpr std::uint32_t DefaultNaN = 0xFFC00000;
  if ((bits & Fraction) == 0) return specialForm("1#INF");
  if (bits == DefaultNaN) return specialForm("1#IND");
  if ((bits & QuietBit) != 0) return specialForm("1#QNAN");
  return specialForm("1#SNAN");
}

// Keeps 17 of the 18 digits in `generated`, adding one in the 17th place
// when the 18th is 5 or more, and drops trailing zeros.
void keepSeventeen(const char (&generated)[GeneratedDigits], DecimalDigits& form) {
  for (int i = 0; i < MaxDecimalDigits; ++i) form.digits[i] = generated[i];
  form.count = MaxDecimalDigits;
  if (generated[MaxDecimalDigits] >= '5') {
    int i = MaxDecimalDigits - 1;
    while (i >= 0 && form.digits[i] == '9') form.digits[i--] = '0';
    if (i >= 0) {
      ++form.digits[i];
    } else {  // 99...9 became 100...0: one digit more before the point
      form.digits[0] = '1';
      ++form.exponent;
    }
  }
  while (form.count > 1 && form.digits[form.count - 1] == '0') --form.count;
}

}  // namespace

DecimalDigits toDecimalDigits(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const bool negative = (bits >> 31) != 0;
  const auto biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x007FFFFF;
  if (biased == 0xFF) return specialValue(bits);
  if (biased == 0 && fraction == 0) return DecimalDigits{};  // " ", 0, "0"

  // value = mantissa x 2^binaryExponent, exactly.
  const std::uint32_t mantissa = biased == 0 ? fraction : (fraction | 0x00800000);
  const int binaryExponent = (biased == 0 ? 1 : biased) - 150;

  DecimalInteger n;
  n.limbs[0] = mantissa % LimbBase;
  n.limbs[1] = mantissa / LimbBase;
  n.used = n.limbs[1] != 0 ? 2 : 1;
  int scale = 0;  // value = n / 10^scale
  if (binaryExponent >= 0) {
    multiplyByPower(n, binaryExponent, 2, TwoTo30, 30);
  } else {
    scale = -binaryExponent;
    multiplyByPower(n, scale, 5, FiveTo13, 13);
  }

  char generated[GeneratedDigits];
  DecimalDigits form;
  form.sign = negative ? '-' : ' ';
  form.exponent = leadingDigits(n, generated) - scale;
  keepSeventeen(generated, form);
  return form;
}

bool roundDigits(DecimalDigits& form, int keep) {
  assert(form.finite && keep >= 0);
  if (form.count <= keep) return false;
  const char next = form.digits[keep];
  form.count = keep;
  if (next < '5') {
    bool allZero = true;
    for (int i = 0; i < keep; ++i) allZero = allZero && form.digits[i] == '0';
    if (allZero) form.sign = ' ';
    return false;
  }
  if (keep == 0) {  // the caller accounts for the new digit
    form.digits[0] = '1';
    form.count = 1;
    return true;
  }
  int i = keep - 1;
  while (i >= 0 && form.digits[i] == '9') form.digits[i--] = '0';
  if (i >= 0) {
    ++form.digits[i];
    return false;
  }
  // 99.9 kept to 3 digits -> 100: "1" and K zeros, one more integer digit.
  form.digits[0] = '1';
  form.digits[keep] = '0';
  form.count = keep + 1;
  ++form.exponent;
  return true;
}

}  // namespace korvenal
