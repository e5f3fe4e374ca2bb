// Runs the built korvenal executable in a fresh temporary directory with
// given files, arguments, environment and standard input, and collects
// everything it leaves behind: standard output, standard error, the exit
// status and every file in the directory.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvenal::testing {

struct RunSetup {
  std::map<std::string, std::string> files;  // name -> exact bytes
  std::vector<std::string> folders;          // empty folders to make
  std::vector<std::pair<std::string, std::string>> symlinks;  // name -> target
  std::vector<std::string> readOnly;         // files to make read-only (mode 0444)
  std::optional<std::string> input;          // standard input bytes; nullopt: /dev/null
  std::vector<std::string> arguments;
  std::vector<std::string> environment = {"PATH=/usr/bin:/bin"};
  std::string runAsUser;  // non-empty: run through setpriv as this user (needs root)
};

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;
  std::map<std::string, std::string> files;  // regular files left in the directory
  std::string directory;
};

RunResult runTool(const RunSetup& setup);

// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// True when the process runs as root (permission bits deny nothing).
bool runningAsRoot();
// True when `setpriv` can drop to user nobody here.
bool canDropPrivileges();

}  // namespace korvenal::testing
