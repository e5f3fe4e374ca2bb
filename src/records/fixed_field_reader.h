// One line read as fixed-width fields counted from its first column: text
// fields copied byte for byte, number fields with implied decimal places.
// Also the two text operations on blank-padded text variables.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/line_source.h"
#include "records/read_outcome.h"

namespace korvenal {

struct FixedRead {
  LineSource* line = nullptr;
  std::string_view unitName;
  ReadHandling handling = ReadHandling::NoHandling;
  bool firstField = true;
};

// Starts a fixed-column read at the unit's current position. Reads no input.
void beginFixedRead(FixedRead& read, LineSource& line, std::string_view unitName,
                    ReadHandling handling);
// A text field of `width` characters into a text variable of `length` bytes.
ReadOutcome readTextField(FixedRead& read, char* variable, std::int32_t length,
                          std::int32_t width);
// A number field of `width` characters with `decimals` implied decimal places.
ReadOutcome readNumberField(FixedRead& read, float& target, std::int32_t width,
                            std::int32_t decimals);
// Ends the read: the rest of the line is dropped.
ReadOutcome endFixedRead(FixedRead& read);

// Equal over the shorter length, and the longer text's rest all blanks.
bool sameText(const char* a, std::int32_t aLength, const char* b, std::int32_t bLength);
// Copies `source` into `target`, blank-padded or cut to the target's length.
void assignText(char* target, std::int32_t targetLength, const char* source,
                std::int32_t sourceLength);

}  // namespace korvenal
