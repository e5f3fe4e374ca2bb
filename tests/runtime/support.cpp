#include "support.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "records/console_writer.h"
#include "records/line_source.h"
#include "records/table_writer.h"
#include "runtime/console.h"

namespace korvenal::testing {

void InTempDir::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvenal-runtime-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir = pattern;
  previous = std::filesystem::current_path();
  std::filesystem::current_path(dir);
}

void InTempDir::TearDown() {
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void writeFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

namespace {

std::string readAll(std::FILE* file) {
  std::string bytes;
  std::rewind(file);
  char block[4096];
  std::size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  return bytes;
}

}  // namespace

ChildRun runInChild(const std::function<void()>& body, ChildHandles handles) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ChildRun result;
  const pid_t child = fork();
  if (child == 0) {
    const int input = handles.input >= 0 ? handles.input : ::open("/dev/null", O_RDONLY);
    dup2(input, 0);
    dup2(handles.output >= 0 ? handles.output : fileno(out), 1);
    dup2(fileno(err), 2);
    korvenal::connectConsole();
    body();
    _exit(ReturnedStatus);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = readAll(out);
  result.err = readAll(err);
  std::fclose(out);
  std::fclose(err);
  return result;
}

int inputOf(const std::string& bytes, bool asPipe) {
  if (asPipe) {
    int ends[2];
    if (pipe(ends) != 0) return -1;
    // Small enough for the pipe's buffer.
    if (write(ends[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return -1;
    ::close(ends[1]);
    return ends[0];
  }
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fflush(file);
  const int fd = dup(fileno(file));
  std::fclose(file);
  lseek(fd, 0, SEEK_SET);
  return fd;
}

Terminal::~Terminal() {
  if (master >= 0) ::close(master);
  if (slave >= 0) ::close(slave);
}

bool openTerminal(Terminal& terminal) {
  if (openpty(&terminal.master, &terminal.slave, nullptr, nullptr, nullptr) != 0) return false;
  termios settings{};
  tcgetattr(terminal.slave, &settings);
  settings.c_lflag &= static_cast<tcflag_t>(~(ECHO | ECHONL));
  settings.c_iflag &= static_cast<tcflag_t>(~(ICRNL | INLCR | IGNCR));
  tcsetattr(terminal.slave, TCSANOW, &settings);
  return true;
}

std::string report(char letter, const std::string& number, const std::string& label, const std::string& name,
                   const std::string& message) {
  std::string text = "\r\nrun-time error ";
  text += letter;
  text += number;
  text += label;
  if (label != ": MATH\r\n- ") text += name + (message.empty() ? ")\r\n" : ")\r\n- ");
  return text + message + "\r\n";
}

os::Transfer ScriptedConsoleOs::read(os::Handle handle, unsigned char* into, std::int64_t capacity) {
  if (handle != standardHandle(os::StandardStream::Input)) return DelegatingOs::read(handle, into, capacity);
  if (typed.empty()) return {0, os::Status::Ok};
  std::string& chunk = typed.front();
  const auto count = std::min<std::int64_t>(capacity, static_cast<std::int64_t>(chunk.size()));
  std::copy_n(chunk.begin(), count, into);
  chunk.erase(0, static_cast<std::size_t>(count));
  if (chunk.empty()) typed.erase(typed.begin());
  return {count, os::Status::Ok};
}

os::Transfer ScriptedConsoleOs::write(os::Handle handle, const unsigned char* from, std::int64_t count) {
  const std::string bytes(reinterpret_cast<const char*>(from), static_cast<std::size_t>(count));
  if (handle == standardHandle(os::StandardStream::Output)) {
    out += bytes;
  } else if (handle == standardHandle(os::StandardStream::Error)) {
    errPieces.push_back(bytes);
  } else {
    return DelegatingOs::write(handle, from, count);
  }
  return {count, os::Status::Ok};
}

bool ScriptedConsoleOs::isCharacterDevice(os::Handle handle) {
  if (handle == standardHandle(os::StandardStream::Input)) return interactive;
  return DelegatingOs::isCharacterDevice(handle);
}

const char* ScriptedConsoleOs::environment(const char* name) {
  const auto found = variables.find(name);
  return found == variables.end() ? nullptr : found->second.c_str();
}

bool ScriptedConsoleOs::isExecutableFile(const char* path) {
  return std::find(executables.begin(), executables.end(), path) != executables.end();
}

os::SpawnStatus ScriptedConsoleOs::runAndWait(const char* program, const char* const* arguments) {
  std::vector<std::string> call{program};
  for (const char* const* argument = arguments; *argument != nullptr; ++argument) call.emplace_back(*argument);
  spawned.push_back(call);
  const auto found = spawnResults.find(program);
  return found == spawnResults.end() ? os::SpawnStatus::Finished : found->second;
}

Installed::Installed(os::Os& replacement) : previous(os::replaceSystem(&replacement)) { connectConsole(); }

Installed::~Installed() {
  os::replaceSystem(previous);
  connectConsole();
}

namespace {

class MemorySource final : public BlockSource {
 public:
  std::string bytes;
  BlockRead readBlock(unsigned char* into, std::int32_t capacity) override {
    const auto count = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(capacity));
    std::copy_n(bytes.begin(), count, into);
    bytes.erase(0, count);
    return {static_cast<std::int32_t>(count), false};
  }
};

class MemorySink final : public ByteSink {
 public:
  std::string bytes;
  bool beginStatement() override { return true; }
  bool writeBytes(const unsigned char* from, std::int32_t count) override {
    bytes.append(reinterpret_cast<const char*>(from), static_cast<std::size_t>(count));
    return true;
  }
  void writeIgnoringFailure(const unsigned char* from, std::int32_t count) override { writeBytes(from, count); }
};

}  // namespace

bool lineSourceIsBuilt() {
  MemorySource source;
  source.bytes = "a\n";
  LineSource line;
  attachLineSource(line, &source, DeviceMode{});
  return nextByte(line) == 'a';
}

bool tableWriterIsBuilt() {
  MemorySink sink;
  TableWriter writer;
  attachTableWriter(writer, &sink);
  writer.buffer[0] = 'x';
  writer.used = 1;
  close(writer);
  return sink.bytes == "x";
}

bool consoleWriterIsBuilt() {
  MemorySink sink;
  ConsoleWriter writer;
  writer.out = &sink;
  writer.linePending = true;
  endOfRun(writer);
  return sink.bytes == "\r\n";
}

}  // namespace korvenal::testing
