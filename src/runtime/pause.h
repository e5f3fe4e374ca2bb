// The pause: the run stops until the user presses Enter or types a command
// line, which the command interpreter runs before the run goes on.
#pragma once

#include <string_view>

namespace korvenal {

void pausePrompt();

// Runs `commandLine` through the command interpreter and waits for it.
// Failures to start are ignored.
void runCommandLine(std::string_view commandLine);

}  // namespace korvenal
