// Stub: replaced by the free-form reader implementation.
#include "records/value_reader.h"

namespace korvenal {
void beginRead(ValueRead& read, LineSource& line, std::string_view unitName, ReadHandling handling) {
  read = ValueRead{};
  read.line = &line;
  read.unitName = unitName;
  read.handling = handling;
}
ReadOutcome readReal(ValueRead&, float&) { return ReadOutcome::endOfFile(); }
ReadOutcome readInteger(ValueRead&, std::int32_t&) { return ReadOutcome::endOfFile(); }
ReadOutcome endRead(ValueRead&) { return ReadOutcome::ok(); }
int readTextField(LineSource&, char*, std::int32_t, std::int32_t) { return EndOfInput; }
ReadOutcome readTextLine(LineSource&, std::string_view, char*, std::int32_t, std::int32_t, ReadHandling) {
  return ReadOutcome::endOfFile();
}
}  // namespace korvenal
