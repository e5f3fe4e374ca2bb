// How both readers end a read operation that did not succeed.
#pragma once

#include <string_view>

#include "records/line_source.h"
#include "records/read_outcome.h"

namespace korvenal {

// The outcome for a negative answer of the line source (EndOfInput,
// TypedLineOverflow or ReadFailed).
ReadOutcome sourceFailure(int answer);

// Ends the read operation on `line` with `outcome`: drops the rest of a typed
// line where the console asks for it, then hands the outcome back when
// `handling` takes it; otherwise the failure report ends the run.
ReadOutcome endWithFailure(LineSource& line, std::string_view unitName, ReadHandling handling,
                           ReadOutcome outcome);

}  // namespace korvenal
