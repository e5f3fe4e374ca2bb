// Fixed-point text of single-precision values: at most 7 significant digits,
// no '0' before the point of a value below 1, never a negative zero,
// asterisks when the field is too narrow.
#pragma once

#include <cstdint>

namespace korvenal {

inline constexpr int MaxSignificantDigits = 7;
inline constexpr int MaxFieldText = 64;  // scratch for one edited field

// A short text in a fixed scratch area: no allocation per field.
struct FieldText {
  std::int32_t length = 0;
  char bytes[MaxFieldText] = {};
};

// The fixed-point text of `value` with `decimals` places, no leading blanks.
// Requires a finite value.
FieldText composeFixed(float value, int decimals);

// The fixed-point field, exactly `width` characters: right-aligned text,
// asterisks when too wide, a special value's text filled with '.' or cut.
FieldText editFixed(float value, int width, int decimals);

}  // namespace korvenal
