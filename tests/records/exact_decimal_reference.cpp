#include "records/exact_decimal_reference.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace korvenal::reference {
namespace {

// A binary big integer, least significant 32-bit word first.
using Words = std::vector<std::uint32_t>;

void multiplyByFive(Words& n) {
  std::uint64_t carry = 0;
  for (auto& word : n) {
    const std::uint64_t product = std::uint64_t{word} * 5 + carry;
    word = static_cast<std::uint32_t>(product);
    carry = product >> 32;
  }
  if (carry != 0) n.push_back(static_cast<std::uint32_t>(carry));
}

void shiftLeft(Words& n, int bits) {
  for (; bits > 0; --bits) {
    std::uint32_t carry = 0;
    for (auto& word : n) {
      const std::uint32_t out = word >> 31;
      word = (word << 1) | carry;
      carry = out;
    }
    if (carry != 0) n.push_back(carry);
  }
}

// Divides n by `divisor` in place and returns the remainder.
std::uint32_t divide(Words& n, std::uint32_t divisor) {
  std::uint64_t remainder = 0;
  for (std::size_t i = n.size(); i-- > 0;) {
    const std::uint64_t current = (remainder << 32) | n[i];
    n[i] = static_cast<std::uint32_t>(current / divisor);
    remainder = current % divisor;
  }
  while (!n.empty() && n.back() == 0) n.pop_back();
  return static_cast<std::uint32_t>(remainder);
}

std::string decimalString(Words n) {
  std::string reversed;
  while (!n.empty()) {
    std::uint32_t chunk = divide(n, 1000000000);
    for (int i = 0; i < 9; ++i) {
      reversed.push_back(static_cast<char>('0' + chunk % 10));
      chunk /= 10;
    }
  }
  // The last chunk may end in zeros that lead the number.
  while (!reversed.empty() && reversed.back() == '0') reversed.pop_back();
  return {reversed.rbegin(), reversed.rend()};
}

// Adds one to the decimal integer `digits` ("999" -> "1000").
std::string increment(std::string digits) {
  for (std::size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return digits;
    }
    digits[i] = '0';
  }
  return "1" + digits;
}

std::string stripLeadingZeros(const std::string& digits) {
  const auto first = digits.find_first_not_of('0');
  return first == std::string::npos ? "0" : digits.substr(first);
}

}  // namespace

ExactDecimal exactDecimal(float value) {
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const auto biased = static_cast<int>((bits >> 23) & 0xFF);
  const std::uint32_t fraction = bits & 0x7FFFFF;
  ExactDecimal exact;
  exact.negative = (bits >> 31) != 0;
  // value = significand x 2^power
  const std::uint32_t significand = biased == 0 ? fraction : fraction + (1u << 23);
  const int power = std::max(biased, 1) - 127 - 23;
  Words n{significand};
  int fractionDigits = 0;  // value = n / 10^fractionDigits
  if (power >= 0) {
    shiftLeft(n, power);
  } else {
    // m / 2^k = m x 5^k / 10^k
    for (int i = 0; i < -power; ++i) multiplyByFive(n);
    fractionDigits = -power;
  }
  std::string all = decimalString(n);  // no leading zeros
  if (all.empty()) return exact;
  exact.exponent = static_cast<int>(all.size()) - fractionDigits;
  while (all.back() == '0') all.pop_back();
  exact.digits = all;
  return exact;
}

Form17 form17(float value) {
  const ExactDecimal exact = exactDecimal(value);
  Form17 form;
  if (exact.digits.empty()) {
    form.digits = "0";
    return form;
  }
  form.sign = exact.negative ? '-' : ' ';
  form.exponent = exact.exponent;
  // (first 18 digits + 5) / 10 is the 17-digit value rounded half up.
  const std::string first18 = (exact.digits + std::string(18, '0')).substr(0, 18);
  const std::uint64_t rounded = (std::stoull(first18) + 5) / 10;
  std::string digits = std::to_string(rounded);
  if (digits.size() == 18) ++form.exponent;  // 99...9 became 100...0
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  form.digits = digits;
  return form;
}

std::string fixedField(float value, int width, int decimals) {
  const Form17 form = form17(value);
  const bool zero = form.digits == "0";
  // Round at place 10^unit, unit = max(-decimals, exponent - 7): digit i (from
  // 1) of the form stands at 10^(exponent - i), so `kept` digits stay.
  const int unit = std::max(-decimals, form.exponent - 7);
  const int kept = form.exponent - unit;
  std::string units = "0";  // the rounded value in units of 10^unit
  if (!zero && kept >= 0) {
    const std::string padded = form.digits + std::string(static_cast<std::size_t>(kept) + 1, '0');
    std::string head = padded.substr(0, static_cast<std::size_t>(kept));
    if (padded[static_cast<std::size_t>(kept)] >= '5') head = increment(head);
    units = stripLeadingZeros(head.empty() ? "0" : head);
  }
  // The same value in units of the last decimal place.
  std::string scaled = units == "0" ? "0" : units + std::string(static_cast<std::size_t>(unit + decimals), '0');
  const bool negative = form.sign == '-' && scaled != "0";
  const auto places = static_cast<std::size_t>(decimals);
  if (scaled.size() < places) scaled = std::string(places - scaled.size(), '0') + scaled;
  std::string integerPart = scaled.substr(0, scaled.size() - places);
  if (integerPart == "0") integerPart.clear();  // no '0' before the point
  if (integerPart.empty() && decimals == 0) integerPart = "0";
  std::string text = (negative ? "-" : "") + integerPart + "." + scaled.substr(scaled.size() - places);
  const auto w = static_cast<std::size_t>(width);
  if (text.size() > w) return std::string(w, '*');
  return std::string(w - text.size(), ' ') + text;
}

}  // namespace korvenal::reference
