// Progress messages on the console: one message is one record, laid out by
// fixed rules (texts at full length, integers in 11 columns, reals in 15, one
// more after a number, lines of 79 columns) and shown with one write. The line
// end of a shown line is written only when something must start a new line.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/byte_sink.h"
#include "records/fixed_format.h"

namespace korvenal {

inline constexpr std::int32_t LineWidth = 79;
inline constexpr std::int32_t IntegerWidth = 11;
inline constexpr std::int32_t RealWidth = 15;
inline constexpr std::int32_t RealDecimals = 6;
inline constexpr std::int32_t ConsoleRecordSize = 132;

struct ConsoleWriter {
  ByteSink* out = nullptr;
  bool linePending = false;  // a shown line still lacks its line end
  bool failed = false;       // a record write failed while the run was ending
  // Per message.
  std::int32_t pendingBlanks = 1;
  std::int32_t columnsLeft = LineWidth;
  bool afterNumber = false;
  std::int32_t length = 0;  // bytes in record, the line-control blank included
  unsigned char record[ConsoleRecordSize] = {};
};

void beginMessage(ConsoleWriter& console);
void addText(ConsoleWriter& console, std::string_view text);
void addInteger(ConsoleWriter& console, std::int32_t value);
void addReal(ConsoleWriter& console, float value);
void endMessage(ConsoleWriter& console);
// CR LF when a line is pending; the flag stays set.
void endPendingLine(ConsoleWriter& console);
// At the end of the run: CR LF when a line is pending.
void endOfRun(ConsoleWriter& console);

// The text of a real item, without leading blanks: fixed form with 6 decimals
// for 1 <= exponent <= 7, otherwise d.ddddddE+xx.
FieldText composeFree(float value);

}  // namespace korvenal
