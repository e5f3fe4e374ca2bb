// Runs the built korvenal executable on a pseudo-terminal: standard input
// and standard output are the terminal (a character device, so the run is
// interactive), typed lines arrive one per read, and the output is taken
// exactly as written (no output processing on the terminal).
#pragma once

#include <map>
#include <string>

namespace korvenal::testing {

struct TerminalRun {
  std::string screen;  // every byte the run wrote to the terminal
  int status = -1;
  std::map<std::string, std::string> files;
};

// `typed` is what the user types, all of it in advance (line-buffered by the
// terminal, so each console read gets one typed line).
TerminalRun runOnTerminal(const std::map<std::string, std::string>& files, const std::string& typed);

}  // namespace korvenal::testing
