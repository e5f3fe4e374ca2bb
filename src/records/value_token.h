// A scanned value, kept in fixed storage whatever its length. Its first 260
// characters are kept as they are; a longer value is summarised as its
// characters arrive (as a real and as an integer, since a repeated value may
// go to targets of either type), so that it is converted whole without a
// growing buffer. A short value is summarised only when it is converted,
// and only as the type that needs it.
#pragma once

#include <cstdint>

#include "records/integer_conversion.h"
#include "records/real_conversion.h"

namespace korvenal {

inline constexpr std::int32_t ValueTextCapacity = 260;

enum class ValueKind : std::uint8_t { Plain, Parenthesised, Quoted };

struct ValueToken {
  std::int32_t length = 0;  // characters of the value (for a quoted value, its text's bytes)
  ValueKind kind = ValueKind::Plain;
  RealForm real;            // summaries of the whole text, once it outgrows `text`
  IntegerForm integer;
  char text[ValueTextCapacity];  // the first characters; not initialised until written
};

inline void clearToken(ValueToken& token) { token.length = 0; }

// Starts the summaries from the kept characters, when the text outgrows them.
void startSummaries(ValueToken& token);

inline void addToToken(ValueToken& token, unsigned char c) {
  if (token.length < ValueTextCapacity) {
    token.text[token.length++] = static_cast<char>(c);
    return;
  }
  if (token.length == ValueTextCapacity) startSummaries(token);
  addRealCharacter(token.real, c);
  addIntegerCharacter(token.integer, c);
  ++token.length;
}

// The token's text converted as a real (with implied decimals) or as an integer.
RealResult tokenAsReal(const ValueToken& token, std::int32_t impliedDecimals = 0);
IntegerResult tokenAsInteger(const ValueToken& token);

}  // namespace korvenal
