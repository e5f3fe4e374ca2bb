// Fixed-point text of single-precision values: at most 7 significant digits,
// no '0' before the point of a value below 1, never a negative zero,
// asterisks when the field is too narrow.
#pragma once

#include <cstdint>

#include "records/decimal_digits.h"

namespace korvenal {

inline constexpr int MaxSignificantDigits = 7;
inline constexpr int MaxFieldText = 64;  // scratch for one edited field
// Most decimal places a fixed-point text may ask for: the widest text, a
// sign, 40 integer digits, the point and the places, must fit MaxFieldText.
inline constexpr int MaxFixedDecimals = 20;

// A short text in a fixed scratch area: no allocation per field.
struct FieldText {
  std::int32_t length = 0;
  char bytes[MaxFieldText] = {};
};

// The fixed-point text of `value` with `decimals` places, no leading blanks.
// Requires a finite value.
FieldText composeFixed(float value, int decimals);
// The same from a value's decimal form. Requires a finite form.
FieldText composeFixed(DecimalDigits form, int decimals);

// The fixed-point field, exactly `width` characters: right-aligned text,
// asterisks when too wide, a special value's text filled with '.' or cut.
FieldText editFixed(float value, int width, int decimals);

// The special text of an infinity or NaN form, exactly `width` characters:
// cut, or filled up with '.'. Never signed.
FieldText editSpecial(const DecimalDigits& form, int width);

}  // namespace korvenal
