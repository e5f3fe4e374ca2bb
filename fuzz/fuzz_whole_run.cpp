// The whole run on files made from the fuzzer's bytes: a control file, two
// data files (a.dat, b.dat) and a scripted standard input, separated in the
// input by the marker "~~~~". Each input runs in a forked child, in-process,
// in a fresh directory: the run ends the process through its one exit path,
// so a child per input keeps every run's tables, units and console fresh.
// The child hands its coverage counters back to the parent through shared
// memory before it exits, so the search stays coverage-guided.
//
// The command interpreter cannot be reached from a fuzzed pause reply: the
// child runs with a system seam whose runAndWait starts nothing, whose
// environment is empty (no COMSPEC, no PATH) and which finds no executable.
// Names with a folder part are refused (only the null device is let
// through), so no fuzzed name can reach a file outside the run's directory.
//
// Properties: the child ends by exiting with 0 or 1, never by a signal, a
// sanitizer report or a hang; status 1 comes with a failure report on
// standard error, status 0 with an empty standard error and a table that
// starts with its label.
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "coverage_counters.h"
#include "driver/run_driver.h"
#include "fuzz_input.h"
#include "runtime/arithmetic.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "runtime/os.h"
#include "support/delegating_os.h"

namespace korvenal::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view Marker = "~~~~";
constexpr int SanitizerStatus = 86;  // the child's status after a sanitizer report
constexpr unsigned ChildSeconds = 20;

fs::path runDirectory;  // the run's current directory
fs::path ioDirectory;   // standard input, output and error of the child
std::uint8_t* sharedCounters = nullptr;
std::size_t counterCount = 0;

void handCountersBack() {
  if (sharedCounters != nullptr) std::memcpy(sharedCounters, coverageCounters(), counterCount);
}

// The real system, with everything that could leave the run's directory or
// start a program taken away.
class ConfinedOs final : public DelegatingOs {
 public:
  explicit ConfinedOs(os::Os& system) : DelegatingOs(system) {}

  bool exists(const char* name) override { return allowed(name) && real.exists(name); }
  os::Opened createExclusive(const char* name, os::AccessRequest access) override {
    if (!allowed(name)) return {os::InvalidHandle, os::Status::NotFound};
    return real.createExclusive(name, access);
  }
  os::Opened open(const char* name, os::AccessRequest access) override {
    if (!allowed(name)) return {os::InvalidHandle, os::Status::NotFound};
    return real.open(name, access);
  }
  bool identityOfName(const char* name, os::FileIdentity& into) override {
    return allowed(name) && real.identityOfName(name, into);
  }
  int argumentCount() override { return 2; }
  const char* argument(int index) override {
    if (index == 0) return "a.dat";
    if (index == 1) return "b.dat";
    return nullptr;
  }
  const char* environment(const char*) override { return nullptr; }
  bool isExecutableFile(const char*) override { return false; }
  os::SpawnStatus runAndWait(const char*, const char* const*) override { return os::SpawnStatus::NotFound; }
  [[noreturn]] void exitProcess(int status) override {
    handCountersBack();
    ::_exit(status);
  }

 private:
  // A plain name in the run's directory, or the null device.
  static bool allowed(const char* name) {
    return std::strcmp(name, "/dev/null") == 0 || std::strchr(name, '/') == nullptr;
  }
};

void sanitizerDied() { ::_exit(SanitizerStatus); }

std::vector<std::string_view> partsOf(std::string_view input) {
  std::vector<std::string_view> parts;
  while (parts.size() < 3) {
    const std::size_t at = input.find(Marker);
    if (at == std::string_view::npos) break;
    parts.push_back(input.substr(0, at));
    input.remove_prefix(at + Marker.size());
  }
  parts.push_back(input);
  return parts;
}

void writeFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The child: standard handles from the io folder, the run's directory as the
// current directory, the confined system, then the run as main performs it.
[[noreturn]] void runChild() {
  const int in = ::open((ioDirectory / "in").c_str(), O_RDONLY);
  const int out = ::open((ioDirectory / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = ::open((ioDirectory / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || err < 0 || ::chdir(runDirectory.c_str()) != 0) ::_exit(99);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::close(in);
  ::close(out);
  ::close(err);
  ::alarm(ChildSeconds);
  __sanitizer_set_death_callback(sanitizerDied);
  static ConfinedOs confined(os::system());
  os::replaceSystem(&confined);
  setUpArithmetic();
  connectConsole();
  const int status = run();
  exitRun(status);
  ::_exit(77);  // the exit path returned
}

}  // namespace
}  // namespace korvenal::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace korvenal::fuzz;
  const fs::path base = fs::temp_directory_path() / ("korvenal-fuzz-" + std::to_string(::getpid()));
  runDirectory = base / "run";
  ioDirectory = base / "io";
  fs::create_directories(runDirectory);
  fs::create_directories(ioDirectory);
  counterCount = coverageCounterCount();
  if (counterCount > 0) {
    void* shared = ::mmap(nullptr, counterCount, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared != MAP_FAILED) sharedCounters = static_cast<std::uint8_t*>(shared);
  }
  std::atexit([] {
    std::error_code ignored;
    fs::remove_all(runDirectory.parent_path(), ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvenal::fuzz;
  const std::vector<std::string_view> parts = partsOf({reinterpret_cast<const char*>(data), size});
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(runDirectory, ignored)) fs::remove_all(entry.path(), ignored);
  writeFile(runDirectory / "KORVENAL.inp", parts[0]);
  if (parts.size() > 1) writeFile(runDirectory / "a.dat", parts[1]);
  if (parts.size() > 2) writeFile(runDirectory / "b.dat", parts[2]);
  writeFile(ioDirectory / "in", parts.size() > 3 ? parts[3] : std::string_view());
  if (sharedCounters != nullptr) std::memset(sharedCounters, 0, counterCount);

  const pid_t child = ::fork();
  if (child == 0) runChild();
  require(child > 0, "fork failed");
  int wstatus = 0;
  while (::waitpid(child, &wstatus, 0) < 0) {
  }
  if (sharedCounters != nullptr) {
    std::uint8_t* counters = coverageCounters();
    for (std::size_t i = 0; i < counterCount; ++i) {
      const unsigned sum = counters[i] + sharedCounters[i];
      counters[i] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
  }
  if (WIFSIGNALED(wstatus)) {
    std::fprintf(stderr, "the run ended by signal %d\n", WTERMSIG(wstatus));
    std::abort();
  }
  const int status = WEXITSTATUS(wstatus);
  if (status == SanitizerStatus) broken("a sanitizer report in the run (above)");
  require(status == 0 || status == 1, "the run ended with a status other than 0 or 1");
  const std::string err = readFile(ioDirectory / "err");
  if (status == 1) {
    require(err.rfind("\r\nrun-time error ", 0) == 0 && err.size() >= 2 && err.substr(err.size() - 2) == "\r\n",
            "status 1 without a failure report");
  } else {
    require(err.empty(), "status 0 with something on standard error");
    require(readFile(runDirectory / "KORVENAL.dat").rfind(" T/B    ", 0) == 0, "status 0 without the table");
  }
  return 0;
}
