// A scanned value, kept in fixed storage whatever its length: its characters
// are summarised as they arrive, both as a real and as an integer, so that a
// value of any length is converted whole without a growing buffer, and a
// repeated value can be given to targets of either type.
#pragma once

#include <cstdint>

#include "records/integer_conversion.h"
#include "records/real_conversion.h"

namespace korvenal {

enum class ValueKind : std::uint8_t { Plain, Parenthesised, Quoted };

struct ValueToken {
  std::int32_t length = 0;  // characters of the value (for a quoted value, its text's bytes)
  ValueKind kind = ValueKind::Plain;
  RealForm real;
  IntegerForm integer;
};

inline void clearToken(ValueToken& token) {
  token.length = 0;
  token.real = RealForm{};
  token.integer = IntegerForm{};
}

inline void addToToken(ValueToken& token, unsigned char c) {
  ++token.length;
  addRealCharacter(token.real, c);
  addIntegerCharacter(token.integer, c);
}

}  // namespace korvenal
