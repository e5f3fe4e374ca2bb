// A scanned value, kept in fixed storage whatever its length: its characters
// are summarised as they arrive (significant digits, exponent, form), so that
// a value of any length is converted whole without a growing buffer.
// (Placeholder layout: the reader's author owns and may reshape this type.)
#pragma once

#include <cstdint>

namespace korvenal {

inline constexpr std::int32_t ValueTextCapacity = 260;

struct ValueToken {
  std::int32_t length = 0;  // characters seen
  char text[ValueTextCapacity] = {};
};

}  // namespace korvenal
