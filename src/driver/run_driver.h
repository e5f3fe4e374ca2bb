// The whole run: control file to table, in one pass.
#pragma once

namespace korvenal {

// Performs the run and returns the exit status (0). Failures it does not
// handle end the process through the failure report instead.
int run();

}  // namespace korvenal
