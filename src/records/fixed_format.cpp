// Fixed-point text and fields.
//
// The text is built from the decimal form in three counts: I, the digits
// before the point (0 or less for a value below 1); N, the digits from the
// first significant one to the last decimal place; and the digits of the form
// rounded to at most 7 significant digits, with zeros once they are used up:
//   12345.678, 3 places: I = 5, N = 8, 7 digits "1234568" -> "12345.680"
//   0.0456,    3 places: I = -1, N = 2, 2 digits "46"      -> ".046"
#include "records/fixed_format.h"

#include <algorithm>
#include <cassert>

namespace korvenal {
namespace {

void put(FieldText& text, char c) {
  assert(text.length < MaxFieldText);
  text.bytes[text.length++] = c;
}

// Hands out the digits of a form in order, then zeros.
struct DigitFeed {
  const DecimalDigits& form;
  int next = 0;
  char take() { return next < form.count ? form.digits[next++] : '0'; }
};

}  // namespace

FieldText composeFixed(DecimalDigits form, int decimals) {
  assert(form.finite && decimals >= 0 && decimals <= MaxFixedDecimals);
  const bool zero = form.count == 1 && form.digits[0] == '0';
  int integerDigits = zero ? 0 : form.exponent;
  int shownDigits = integerDigits + decimals;
  if (integerDigits < -decimals) {
    // Below a tenth of the last place: 0.00001, 3 places -> ".000", unsigned.
    integerDigits = -decimals;
    shownDigits = 0;
    form.sign = ' ';
  } else if (roundDigits(form, std::min(MaxSignificantDigits, shownDigits))) {
    // 9.9996, 3 places -> "10.000"; 0.0006, 3 places -> ".001".
    ++integerDigits;
    ++shownDigits;
  }

  FieldText text;
  DigitFeed feed{form};
  if (form.sign == '-') put(text, '-');
  if (integerDigits == 0 && shownDigits == 0) put(text, '0');  // 0.4, no places -> "0."
  if (integerDigits > 0) {
    for (int i = 0; i < integerDigits; ++i) put(text, feed.take());
    shownDigits -= integerDigits;
  }
  put(text, '.');
  for (int i = integerDigits; i < 0; ++i) put(text, '0');
  for (int i = 0; i < shownDigits; ++i) put(text, feed.take());
  return text;
}

FieldText composeFixed(float value, int decimals) {
  return composeFixed(toDecimalDigits(value), decimals);
}

FieldText editSpecial(const DecimalDigits& form, int width) {
  assert(!form.finite && width >= 0 && width <= MaxFieldText);
  // "1#INF" at width 8 -> "1#INF...", at width 3 -> "1#I".
  FieldText field;
  for (int i = 0; i < width; ++i) put(field, i < form.count ? form.digits[i] : '.');
  return field;
}

FieldText editFixed(float value, int width, int decimals) {
  assert(width >= 0 && width <= MaxFieldText);
  const DecimalDigits form = toDecimalDigits(value);
  if (!form.finite) return editSpecial(form, width);
  const FieldText text = composeFixed(form, decimals);
  // 0.5 at width 8, 3 places -> "    .500"; 100.0 at width 5, 2 places -> "*****".
  FieldText field;
  if (text.length > width) {
    for (int i = 0; i < width; ++i) put(field, '*');
    return field;
  }
  for (int i = text.length; i < width; ++i) put(field, ' ');
  for (int i = 0; i < text.length; ++i) put(field, text.bytes[i]);
  return field;
}

}  // namespace korvenal
