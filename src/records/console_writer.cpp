// Stub: replaced by the console writer implementation.
#include "records/console_writer.h"

namespace korvenal {
void beginMessage(ConsoleWriter&) {}
void addText(ConsoleWriter&, std::string_view) {}
void addInteger(ConsoleWriter&, std::int32_t) {}
void addReal(ConsoleWriter&, float) {}
void endMessage(ConsoleWriter&) {}
void endPendingLine(ConsoleWriter&) {}
void endOfRun(ConsoleWriter&) {}
FieldText composeFree(float) { return {}; }
}  // namespace korvenal
