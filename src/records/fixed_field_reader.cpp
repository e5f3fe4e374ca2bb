// Stub: replaced by the fixed-column reader implementation.
#include "records/fixed_field_reader.h"

namespace korvenal {
void beginFixedRead(FixedRead& read, LineSource& line, std::string_view unitName, ReadHandling handling) {
  read = FixedRead{};
  read.line = &line;
  read.unitName = unitName;
  read.handling = handling;
}
ReadOutcome readTextField(FixedRead&, char*, std::int32_t, std::int32_t) { return ReadOutcome::endOfFile(); }
ReadOutcome readNumberField(FixedRead&, float&, std::int32_t, std::int32_t) { return ReadOutcome::endOfFile(); }
ReadOutcome endFixedRead(FixedRead&) { return ReadOutcome::ok(); }
bool sameText(const char*, std::int32_t, const char*, std::int32_t) { return false; }
void assignText(char*, std::int32_t, const char*, std::int32_t) {}
}  // namespace korvenal
