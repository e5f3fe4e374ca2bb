#include "records/read_failure.h"

#include "runtime/failure.h"

namespace korvenal {

ReadOutcome sourceFailure(int answer) {
  if (answer == EndOfInput) return ReadOutcome::endOfFile(failure::EndOfFile);
  if (answer == TypedLineOverflow) return ReadOutcome::error(failure::TypedLineTooLong);
  return ReadOutcome::error(failure::SystemReadFailed);
}

ReadOutcome endWithFailure(LineSource& line, std::string_view unitName, ReadHandling handling,
                           ReadOutcome outcome) {
  discardAfterFailure(line);
  return failStatement(outcome.number, Statement::Read, unitName,
                       outcome.kind == ReadOutcome::Kind::EndOfFile, handling);
}

}  // namespace korvenal
