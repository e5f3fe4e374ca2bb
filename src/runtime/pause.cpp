// Stub: replaced by the pause prompt implementation.
#include "runtime/pause.h"

namespace korvenal {
void pausePrompt() {}
void runCommandLine(std::string_view) {}
}  // namespace korvenal
