// Summaries of a scanned value, made at once for a short value and carried on
// character by character for a long one.
#include "records/value_token.h"

#include <string_view>

namespace korvenal {

void startSummaries(ValueToken& token) {
  token.real = RealForm{};
  token.integer = IntegerForm{};
  for (std::int32_t i = 0; i < token.length; ++i) {
    const auto c = static_cast<unsigned char>(token.text[i]);
    addRealCharacter(token.real, c);
    addIntegerCharacter(token.integer, c);
  }
}

RealResult tokenAsReal(const ValueToken& token, std::int32_t impliedDecimals) {
  if (token.length > ValueTextCapacity) return convertReal(token.real, impliedDecimals);
  const std::string_view text(token.text, static_cast<std::size_t>(token.length));
  if (const RealResult quick = convertShortDecimal(text, impliedDecimals); quick.failure != NotShortDecimal) {
    return quick;
  }
  RealForm form;
  for (std::int32_t i = 0; i < token.length; ++i) {
    addRealCharacter(form, static_cast<unsigned char>(token.text[i]));
  }
  return convertReal(form, impliedDecimals);
}

IntegerResult tokenAsInteger(const ValueToken& token) {
  if (token.length > ValueTextCapacity) return convertInteger(token.integer);
  IntegerForm form;
  for (std::int32_t i = 0; i < token.length; ++i) {
    addIntegerCharacter(form, static_cast<unsigned char>(token.text[i]));
  }
  return convertInteger(form);
}

}  // namespace korvenal
