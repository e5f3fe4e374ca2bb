// Stub: replaced by the console connection implementation.
#include "runtime/console.h"

namespace korvenal {
namespace {
ConsoleWriter stubConsole;
LineSource stubInput;
}
void connectConsole() {}
ConsoleWriter& console() { return stubConsole; }
LineSource& consoleInput() { return stubInput; }
bool inputIsInteractive() { return false; }
bool outputIsInteractive() { return false; }
void writePrompt(std::string_view) {}
std::int32_t readConsoleLine(char*, std::int32_t, Statement, std::string_view) { return 0; }
}  // namespace korvenal
