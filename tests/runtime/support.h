// Helpers for the runtime tests: a fresh working directory, a child process
// with given standard handles whose output and status are captured, a
// replaceable system seam, and checks whether the record modules this one
// builds on are already in place.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/os.h"
#include "support/delegating_os.h"

namespace korvenal::testing {

// A fresh temporary directory that is the current directory for one test.
class InTempDir : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path dir;
  std::filesystem::path previous;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// What a child left: exit status (or the signal that ended it), standard
// output and standard error, byte for byte.
struct ChildRun {
  int status = -1;
  int signal = 0;
  std::string out;
  std::string err;
};

inline constexpr int ReturnedStatus = 77;  // the body returned without ending the run
inline constexpr int SkippedStatus = 78;   // the body could not set up its case

struct ChildHandles {
  int input = -1;   // descriptor for standard input; -1: the null device
  int output = -1;  // descriptor for standard output; -1: captured
};

// Runs `body` in a forked child with the given handles, after the console is
// connected anew on them.
ChildRun runInChild(const std::function<void()>& body, ChildHandles handles = {});

// Standard input made of `bytes`: a regular file (`asPipe` false) or a pipe.
int inputOf(const std::string& bytes, bool asPipe);

// A pseudo-terminal pair; the slave has no echo and keeps CR as typed.
struct Terminal {
  int master = -1;
  int slave = -1;
  ~Terminal();
};
bool openTerminal(Terminal& terminal);

// The report exactly as standard error shows it.
std::string report(char letter, const std::string& number, const std::string& label, const std::string& name,
                   const std::string& message);


// A console in memory: standard input gives `typed` one chunk per read (a
// chunk longer than the read takes the rest to the next read, as a terminal
// does), standard output and error are collected, programs are recorded
// instead of started.
class ScriptedConsoleOs : public DelegatingOs {
 public:
  bool interactive = true;
  std::vector<std::string> typed;
  std::string out;
  std::vector<std::string> errPieces;
  std::map<std::string, std::string> variables;
  std::vector<std::string> executables;
  std::map<std::string, os::SpawnStatus> spawnResults;  // default Finished
  std::vector<std::vector<std::string>> spawned;

  os::Transfer read(os::Handle handle, unsigned char* into, std::int64_t capacity) override;
  os::Transfer write(os::Handle handle, const unsigned char* from, std::int64_t count) override;
  bool isCharacterDevice(os::Handle handle) override;
  const char* environment(const char* name) override;
  bool isExecutableFile(const char* path) override;
  os::SpawnStatus runAndWait(const char* program, const char* const* arguments) override;
};

// Installs a replacement system for the current scope and reconnects the
// console through it.
class Installed {
 public:
  explicit Installed(os::Os& replacement);
  ~Installed();
  Installed(const Installed&) = delete;
  Installed& operator=(const Installed&) = delete;

 private:
  os::Os* previous;
};

// Whether the record modules are built yet (their placeholders do nothing).
bool lineSourceIsBuilt();
bool tableWriterIsBuilt();
bool consoleWriterIsBuilt();

}  // namespace korvenal::testing
