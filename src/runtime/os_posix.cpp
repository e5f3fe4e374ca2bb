// Stub: replaced by the POSIX implementation of the system seam.
#include "runtime/os.h"

namespace korvenal::os {
Os& system() { static Os* none = nullptr; return *none; }
Os* replaceSystem(Os*) { return nullptr; }
void setCommandLine(int, char**) {}
}  // namespace korvenal::os
