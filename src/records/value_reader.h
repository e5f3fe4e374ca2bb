// Free-form values: numbers separated by commas, blanks or line ends, spread
// over as many lines as needed, with null values, repeat counts and a slash
// ending the list. One read operation fills an ordered list of targets, then
// drops the rest of the line in which its last value ended.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/line_source.h"
#include "records/read_outcome.h"
#include "records/value_token.h"

namespace korvenal {

// The state of one read operation, from beginRead to endRead.
struct ValueRead {
  LineSource* line = nullptr;
  std::string_view unitName;
  ReadHandling handling = ReadHandling::NoHandling;
  unsigned char lastSeparator = ',';
  std::int32_t repeatLeft = 0;
  bool lineEndTaken = false;
  bool firstTarget = true;
  // Whether the last readReal/readInteger gave its target a value (false for
  // a null value or a target kept after a slash).
  bool lastTargetAssigned = false;
  ValueToken value;  // the current value, kept while repeats are pending
};

// Starts a read operation on `line`. Reads no input.
void beginRead(ValueRead& read, LineSource& line, std::string_view unitName,
               ReadHandling handling);
// Gives the target the next value. An outcome that `handling` does not take
// back ends the run with the failure report and does not return.
ReadOutcome readReal(ValueRead& read, float& target);
ReadOutcome readInteger(ValueRead& read, std::int32_t& target);
// Ends the read operation: drops the rest of the line unless a line end
// already ended the last value.
ReadOutcome endRead(ValueRead& read);

// The text-field rule on the current position: reads a field of `width`
// characters into a text variable of `length` bytes (blank-padded; a CR or
// LF ends it early and stays unread). Returns 0, or EndOfInput / ReadFailed.
int readTextField(LineSource& line, char* variable, std::int32_t length, std::int32_t width);

// One line as a single text field of `width` characters, then the rest of the
// line dropped: a whole read operation of its own.
ReadOutcome readTextLine(LineSource& line, std::string_view unitName, char* variable,
                         std::int32_t length, std::int32_t width, ReadHandling handling);

}  // namespace korvenal
