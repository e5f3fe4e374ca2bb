// Text to a 32-bit signed integer (integer targets and repeat counts), summarised
// one character at a time so that any length is taken whole. The first fault
// met from the left decides the failure.
//
//   "-2147483648" -> -2147483648     "2147483648" -> 6100
//   "+" or ""     -> 0               "12", byte 26, "x" -> 12 (bytes 0 and 26 end a decimal number)
//   "16#FF", "#ff" -> 255            "2#1111" -> 15   "-2#11" -> -3
//   "1#1"         -> 6303            "16#1#2" -> 6302  "1.5", "1e3", "2#2" -> 6101
// Pure: no input or output, no allocation.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvenal {

enum class IntegerState : std::uint8_t {
  Start,    // nothing yet
  Decimal,  // after a sign or among decimal digits
  Based,    // after "#": digits of the base
  Ended,    // a byte 0 or 26 ended the decimal number; the rest is ignored
  Failed,   // a fault was met; the rest is ignored
};

struct IntegerForm {
  IntegerState state = IntegerState::Start;
  bool negative = false;
  std::int32_t base = 10;
  std::int32_t failure = 0;
  std::uint64_t magnitude = 0;
  std::int32_t length = 0;     // characters seen
  bool lowestText = true;      // every character so far matches "-2147483648"
};

inline constexpr char LowestIntegerText[] = "-2147483648";
inline constexpr std::int32_t LowestIntegerLength = 11;

// The worth of `c` as a digit 0-9, A-Z, a-z (0 to 35), or 99.
inline std::int32_t digitWorth(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return 99;
}

inline void failInteger(IntegerForm& form, std::int32_t number) {
  form.failure = number;
  form.state = IntegerState::Failed;
}

// Takes one more character of the text into the summary.
inline void addIntegerCharacter(IntegerForm& form, unsigned char c) {
  if (form.length < LowestIntegerLength) {
    form.lowestText = form.lowestText && c == static_cast<unsigned char>(LowestIntegerText[form.length]);
  } else {
    form.lowestText = false;
  }
  ++form.length;
  switch (form.state) {
    case IntegerState::Start:
      if (c == '+' || c == '-') {
        form.negative = c == '-';
        form.state = IntegerState::Decimal;
        return;
      }
      form.state = IntegerState::Decimal;
      [[fallthrough]];
    case IntegerState::Decimal:
      if (c >= '0' && c <= '9') {
        form.magnitude = form.magnitude * 10 + (c - '0');
        if (form.magnitude > 2147483647u) failInteger(form, 6100);
      } else if (c == '#') {
        // Nothing or 0 before "#" is base 16.
        const std::uint64_t base = form.magnitude == 0 ? 16 : form.magnitude;
        if (base < 2 || base > 36) return failInteger(form, 6303);
        form.base = static_cast<std::int32_t>(base);
        form.magnitude = 0;
        form.state = IntegerState::Based;
      } else if (c == 0 || c == 26) {
        form.state = IntegerState::Ended;
      } else {
        failInteger(form, 6101);
      }
      return;
    case IntegerState::Based: {
      if (c == '#') return failInteger(form, 6302);
      const std::int32_t worth = digitWorth(c);
      if (worth >= form.base) return failInteger(form, 6101);
      form.magnitude = form.magnitude * static_cast<std::uint64_t>(form.base) + static_cast<std::uint64_t>(worth);
      const std::uint64_t limit = form.base == 10 ? 2147483647u : 4294967295u;
      if (form.magnitude > limit) failInteger(form, 6100);
      return;
    }
    case IntegerState::Ended:
    case IntegerState::Failed:
      return;
  }
}

struct IntegerResult {
  std::int32_t value = 0;
  int failure = 0;  // 0, or 6100, 6101, 6302, 6303
};

// The summary's value. In a base other than 10 the digits give a 32-bit
// pattern read as signed ("16#FFFFFFFF" is -1); a leading minus negates.
IntegerResult convertInteger(const IntegerForm& form);

// The whole text summarised and converted.
IntegerResult integerFromText(std::string_view text);

}  // namespace korvenal
