// The process entry: set up arithmetic and the console, perform the run,
// end through the one exit path.
#include "driver/run_driver.h"
#include "runtime/arithmetic.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "runtime/os.h"

int main(int argc, char** argv) {
  korvenal::os::setCommandLine(argc, argv);
  korvenal::setUpArithmetic();
  korvenal::connectConsole();
  const int status = korvenal::run();
  korvenal::exitRun(status);
  return status;
}
