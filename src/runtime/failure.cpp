// Stub: replaced by the failure report implementation.
#include "runtime/failure.h"

#include <cstdlib>

namespace korvenal {
std::string_view failureMessage(int) { return {}; }
void writeReport(const RunFailure&) {}
ReadOutcome failStatement(int number, Statement, std::string_view, bool isEndOfFile, ReadHandling handling) {
  if (handling == ReadHandling::AllHandled) return isEndOfFile ? ReadOutcome::endOfFile(number) : ReadOutcome::error(number);
  if (isEndOfFile && handling == ReadHandling::EndHandled) return ReadOutcome::endOfFile(number);
  std::exit(1);
}
void failReport(const RunFailure&) { std::exit(1); }
void failArithmetic(ArithmeticFault) { std::exit(1); }
void exitRun(int status) { std::exit(status); }
bool runIsEnding() { return false; }
}  // namespace korvenal
