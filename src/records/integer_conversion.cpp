// The summary of an integer's text to its 32-bit value.
#include "records/integer_conversion.h"

namespace korvenal {

IntegerResult convertInteger(const IntegerForm& form) {
  if (form.lowestText && form.length == LowestIntegerLength) return {INT32_MIN, 0};
  if (form.failure != 0) return {0, form.failure};
  // Two's complement on the unsigned pattern: no signed overflow for 0x80000000.
  std::uint32_t pattern = static_cast<std::uint32_t>(form.magnitude);
  if (form.negative) pattern = 0u - pattern;
  return {static_cast<std::int32_t>(pattern), 0};
}

IntegerResult integerFromText(std::string_view text) {
  IntegerForm form;
  for (const char c : text) addIntegerCharacter(form, static_cast<unsigned char>(c));
  return convertInteger(form);
}

}  // namespace korvenal
