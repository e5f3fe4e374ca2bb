// The console connection on the standard handles, and the reply reader.
#include "runtime/console.h"

#include "runtime/os.h"

namespace korvenal {
namespace {

os::Handle standard(os::StandardStream stream) { return os::system().standardHandle(stream); }

// Console records go to standard output. A full device or a refused write
// ends the run; any other short write of the console goes unreported.
class ConsoleOutput final : public ByteSink {
 public:
  bool beginStatement() override { return true; }

  bool writeBytes(const unsigned char* bytes, std::int32_t count) override {
    const os::Transfer put = os::system().write(standard(os::StandardStream::Output), bytes, count);
    if (put.status == os::Status::Ok && put.count == count) return true;
    if (put.status == os::Status::NoSpace) return reported(failure::DiskFull);
    if (put.status == os::Status::AccessDenied) return reported(failure::WriteRefused);
    return true;
  }

  void writeIgnoringFailure(const unsigned char* bytes, std::int32_t count) override {
    os::system().write(standard(os::StandardStream::Output), bytes, count);
  }

 private:
  static bool reported(int number) {
    failUnhandled(number, Statement::Write, "CON");
    return false;
  }
};

class ConsoleInputSource final : public BlockSource {
 public:
  BlockRead readBlock(unsigned char* into, std::int32_t capacity) override {
    const os::Transfer got = os::system().read(standard(os::StandardStream::Input), into, capacity);
    if (got.status != os::Status::Ok) return {0, true};
    return {static_cast<std::int32_t>(got.count), false};
  }
};

ConsoleOutput output;
ConsoleInputSource inputSource;
ConsoleWriter writer;
LineSource input;
bool connected = false;
bool inputInteractive = false;
bool outputInteractive = false;

void ensureConnected() {
  if (!connected) connectConsole();
}

std::int32_t reportEnd(Statement statement, std::string_view unitName) {
  failStatement(failure::EndOfFile, statement, unitName, true, ReadHandling::NoHandling);
  return -1;
}

// One read of a typed line. "abc\n" or "abc\r\n" -> "abc"; a read that fills
// the whole buffer without a line end loses its last two bytes, and the rest
// of the typed line waits for the next read; 0 bytes -> the end of input.
std::int32_t readTypedLine(char* buffer, std::int32_t capacity, bool& ended) {
  const os::Transfer got =
      os::system().read(standard(os::StandardStream::Input), reinterpret_cast<unsigned char*>(buffer), capacity);
  auto count = static_cast<std::int32_t>(got.status == os::Status::Ok ? got.count : 0);
  ended = count == 0;
  if (count > 0 && buffer[count - 1] == '\n') {
    --count;
    if (count > 0 && buffer[count - 1] == '\r') --count;
  } else if (count == capacity) {
    count = count >= 2 ? count - 2 : 0;
  }
  return count;
}

// Characters up to a CR or LF through the console's line source; at most
// `capacity` of them stored, the rest of a longer line dropped. A CR takes
// the byte after it along (the LF of CR LF). `problem` receives the failure
// number when no line was left (end of file) or the read failed.
std::int32_t readRedirectedLine(char* buffer, std::int32_t capacity, int& problem) {
  std::int32_t stored = 0;
  bool any = false;
  for (;;) {
    const int byte = nextByte(input);
    if (byte < 0) {
      problem = byte == ReadFailed ? failure::SystemReadFailed : failure::EndOfFile;
      // A line cut short by the end of the input is still a line.
      if (any && byte != ReadFailed) problem = 0;
      return stored;
    }
    any = true;
    if (byte == '\n') return stored;
    if (byte == '\r') {
      nextByte(input);
      return stored;
    }
    if (stored < capacity) buffer[stored++] = static_cast<char>(byte);
  }
}

}  // namespace

// Interactive means a character device: a terminal, and also the null device.
void connectConsole() {
  os::Os& system = os::system();
  inputInteractive = system.isCharacterDevice(standard(os::StandardStream::Input));
  outputInteractive = system.isCharacterDevice(standard(os::StandardStream::Output));
  writer = ConsoleWriter{};
  writer.out = &output;
  attachLineSource(input, &inputSource, DeviceMode{true, inputInteractive, inputInteractive && outputInteractive});
  connected = true;
}

ConsoleWriter& console() {
  ensureConnected();
  return writer;
}

LineSource& consoleInput() {
  ensureConnected();
  return input;
}

bool inputIsInteractive() {
  ensureConnected();
  return inputInteractive;
}

bool outputIsInteractive() {
  ensureConnected();
  return outputInteractive;
}

void writePrompt(std::string_view text) {
  ensureConnected();
  output.writeBytes(reinterpret_cast<const unsigned char*>(text.data()), static_cast<std::int32_t>(text.size()));
}

std::int32_t readConsoleReply(char* buffer, std::int32_t capacity, Statement statement, std::string_view unitName,
                              bool interactiveEndEndsRun) {
  ensureConnected();
  if (inputInteractive) {
    bool ended = false;
    const std::int32_t count = readTypedLine(buffer, capacity, ended);
    if (ended && interactiveEndEndsRun) return reportEnd(statement, unitName);
    return count;
  }
  int problem = 0;
  const std::int32_t count = readRedirectedLine(buffer, capacity, problem);
  if (problem == failure::EndOfFile) return reportEnd(statement, unitName);
  if (problem != 0) {
    failStatement(problem, statement, unitName, false, ReadHandling::NoHandling);
    return -1;
  }
  return count;
}

std::int32_t readConsoleLine(char* buffer, std::int32_t capacity, Statement statement, std::string_view unitName) {
  const std::int32_t count = readConsoleReply(buffer, capacity, statement, unitName, false);
  return count < 0 ? 0 : count;
}

}  // namespace korvenal
