// The pause prompt and running a reply through the command interpreter.
#include "runtime/pause.h"

#include <cstdint>

#include "records/console_writer.h"
#include "runtime/console.h"
#include "runtime/os.h"

namespace korvenal {
namespace {

constexpr std::string_view PromptText = "Pause - Please enter a blank line (to continue) or a DOS command.\r\n";
constexpr std::int32_t ReplyCapacity = 128;
constexpr std::int32_t CommandCapacity = 1024;  // longest command line passed on
constexpr std::int32_t PathCapacity = 4096;     // longest interpreter path tried
constexpr std::string_view Interpreter = "cmd.exe";

// Copies `text` with a terminating NUL into `into` (room for `capacity`
// bytes, terminator included); false when it does not fit.
bool copyTerminated(std::string_view text, char* into, std::size_t capacity) {
  if (text.size() + 1 > capacity) return false;
  for (std::size_t i = 0; i < text.size(); ++i) into[i] = text[i];
  into[text.size()] = '\0';
  return true;
}

// Starts `program` with "/c" and the command line, and waits for it.
os::SpawnStatus runInterpreter(const char* program, const char* commandLine) {
  const char* const arguments[] = {program, "/c", commandLine, nullptr};
  return os::system().runAndWait(program, arguments);
}

bool cannotStart(os::SpawnStatus status) {
  return status == os::SpawnStatus::NotFound || status == os::SpawnStatus::AccessDenied;
}

// "cmd.exe" in the current directory, then in each folder of PATH in turn.
// True when one was started (whatever came of it).
bool runThroughCmd(const char* commandLine) {
  os::Os& system = os::system();
  if (system.isExecutableFile(Interpreter.data()) && !cannotStart(runInterpreter(Interpreter.data(), commandLine))) {
    return true;
  }
  const char* path = system.environment("PATH");
  if (path == nullptr) return false;
  char candidate[PathCapacity];
  std::string_view folders(path);
  while (true) {
    const std::size_t colon = folders.find(':');
    std::string_view folder = folders.substr(0, colon);
    if (folder.empty()) folder = ".";  // an empty entry is the current directory
    const std::size_t length = folder.size() + 1 + Interpreter.size();
    if (length < sizeof candidate) {
      std::size_t at = 0;
      for (char c : folder) candidate[at++] = c;
      candidate[at++] = '/';
      for (char c : Interpreter) candidate[at++] = c;
      candidate[at] = '\0';
      if (system.isExecutableFile(candidate) && !cannotStart(runInterpreter(candidate, commandLine))) return true;
    }
    if (colon == std::string_view::npos) return false;
    folders.remove_prefix(colon + 1);
  }
}

}  // namespace

// Enter alone, or one character, goes on at once; a longer reply (trailing
// blanks and tabs removed, leading ones kept) is run as a command first.
void pausePrompt() {
  endPendingLine(console());
  writePrompt(PromptText);
  char reply[ReplyCapacity];
  std::int32_t length = readConsoleLine(reply, ReplyCapacity, Statement::Write, "CON");
  while (length > 0 && (reply[length - 1] == ' ' || reply[length - 1] == '\t')) --length;
  if (length <= 1) return;
  runCommandLine({reply, static_cast<std::size_t>(length)});
}

// COMSPEC with "/c" and the command line; when it is unset or cannot be
// started, "cmd.exe" (current directory, then PATH); when there is none, the
// system shell's "-c". Exit status and failures to start are ignored.
void runCommandLine(std::string_view commandLine) {
  static char command[CommandCapacity];
  if (!copyTerminated(commandLine, command, sizeof command)) return;
  os::Os& system = os::system();
  const char* comspec = system.environment("COMSPEC");
  if (comspec != nullptr && !cannotStart(runInterpreter(comspec, command))) return;
  if (runThroughCmd(command)) return;
  const char* const arguments[] = {"/bin/sh", "-c", command, nullptr};
  system.runAndWait("/bin/sh", arguments);
}

}  // namespace korvenal
