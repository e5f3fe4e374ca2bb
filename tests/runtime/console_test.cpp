// The console: interactivity, the reply reader on a terminal and on a
// redirected input, and failed writes of console records.
#include "runtime/console.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/units.h"
#include "support.h"

namespace korvenal {
namespace {

using testing::report;
using testing::runInChild;

// Writes each reply read with `capacity` as "[reply]" to standard output.
void echoReplies(int count, std::int32_t capacity) {
  char reply[300];
  for (int i = 0; i < count; ++i) {
    const std::int32_t length = readConsoleLine(reply, capacity, Statement::Write, "CON");
    const std::string shown = "[" + std::string(reply, static_cast<std::size_t>(length)) + "]";
    ::write(1, shown.data(), shown.size());
  }
}

// On a terminal each read is one typed line: whichever line end it returned
// goes, a read that fills the buffer loses its last two bytes and leaves the
// rest of the line for the next read, and a read of nothing is an empty line.
TEST(ConsoleReply, TypedLines) {
  struct Case {
    std::vector<std::string> expected;
    std::int32_t capacity;
    std::vector<std::string> typed;
  };
  const Case cases[] = {
      {{"abc", "de"}, 128, {"abc\n", "de\r\n"}},
      {{"", "", ""}, 128, {"\n", "\r\n"}},  // the third read gets 0 bytes
      {{"a\rb"}, 128, {"a\rb\n"}},
      {{"abc"}, 128, {"abc"}},  // a line ended by the end-of-input key
      {{"01234567", "ABC"}, 10, {"0123456789ABC\n"}},
      {{"012345678", ""}, 10, {"012345678\n", "\n"}},
      {{"01234567", ""}, 10, {"01234567\r\n", "\n"}},
      {{"01234567", ""}, 10, {"012345678\r\n"}},  // the lone LF left over
  };
  for (const Case& c : cases) {
    testing::ScriptedConsoleOs fake;
    fake.typed = c.typed;
    testing::Installed installed(fake);
    for (const std::string& expected : c.expected) {
      char reply[128];
      const std::int32_t length = readConsoleLine(reply, c.capacity, Statement::Write, "CON");
      EXPECT_EQ(std::string(reply, static_cast<std::size_t>(length)), expected) << c.typed[0];
    }
  }
}

// The same on a real pseudo-terminal; the end-of-input key at the start of a
// line gives an empty reply and the run goes on.
TEST(ConsoleReply, OnAPseudoTerminal) {
  testing::Terminal terminal;
  if (!testing::openTerminal(terminal)) GTEST_SKIP() << "no pseudo-terminal available";
  const std::string typed = "hello\nx y\r\n\x04" "0123456789ABC\n";
  ASSERT_EQ(::write(terminal.master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const testing::ChildRun run = runInChild(
      [] {
        ::write(2, inputIsInteractive() ? "i" : "r", 1);
        echoReplies(3, 128);
        echoReplies(2, 10);
        exitRun(0);
      },
      {terminal.slave, -1});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "i");
  EXPECT_EQ(run.out, "[hello][x y][][01234567][ABC]");
}

// Standard input from a file or a pipe: characters up to CR or LF, at most
// the capacity kept and the rest of the line dropped, a CR taking the next
// byte along, a last line without a line end complete; then the end of the
// input ends the run with the end-of-file report for the console.
TEST(ConsoleReply, RedirectedInput) {
  if (!testing::lineSourceIsBuilt()) GTEST_SKIP() << "the line source is not built yet";
  for (bool asPipe : {false, true}) {
    const testing::ChildRun run = runInChild(
        [] {
          ::write(2, inputIsInteractive() ? "i" : "r", 1);
          echoReplies(8, 5);
        },
        {testing::inputOf("one\r\ntwo\n\nthree-long\na\rXb\nlast", asPipe), -1});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "[one][two][][three][a][b][last]");
    EXPECT_EQ(run.err, "r" + report('F', "6501", ": WRITE(", "CON", "end of file"));
  }
}

// A redirected input that has ended ends the run at the next reply.
TEST(ConsoleReply, RedirectedInputAtItsEnd) {
  const testing::ChildRun run = runInChild([] { echoReplies(1, 128); }, {testing::inputOf("", true), -1});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, report('F', "6501", ": WRITE(", "CON", "end of file"));
}

// The null device is a character device: interactive, every read is empty,
// and a reply read from it lets the run go on.
TEST(ConsoleReply, NullDeviceIsInteractive) {
  const testing::ChildRun run = runInChild([] {
    ::write(2, inputIsInteractive() ? "i" : "r", 1);
    echoReplies(2, 128);
  });
  EXPECT_EQ(run.status, testing::ReturnedStatus);
  EXPECT_EQ(run.err, "i");
  EXPECT_EQ(run.out, "[][]");
  const testing::ChildRun file = runInChild([] { ::write(2, inputIsInteractive() ? "i" : "r", 1); },
                                            {testing::inputOf("x\n", false), -1});
  EXPECT_EQ(file.err, "r");
}

// A console record that standard output refuses or finds full ends the run;
// any other short write goes unreported.
TEST(ConsoleOutput, FailedWrites) {
  struct Case {
    std::string expected;
    int status;
    os::Status cause;
  };
  const Case cases[] = {
      {report('F', "6422", ": WRITE(", "CON", "no space left on the device"), 1, os::Status::NoSpace},
      {report('F', "6421", ": WRITE(", "CON", "write refused: no write access or file locked"), 1,
       os::Status::AccessDenied},
      {"", testing::ReturnedStatus, os::Status::Other},
  };
  for (const Case& c : cases) {
    const testing::ChildRun run = runInChild([&] {
      struct Refusing : DelegatingOs {
        os::Status cause = os::Status::Ok;
        os::Transfer write(os::Handle handle, const unsigned char* from, std::int64_t count) override {
          if (handle == standardHandle(os::StandardStream::Output)) return {1, cause};
          return DelegatingOs::write(handle, from, count);
        }
      } fake;
      fake.cause = c.cause;
      testing::Installed installed(fake);
      const unsigned char record[] = " hello";
      if (!console().out->writeBytes(record, 6)) _exit(50);
    });
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.err, c.expected);
  }
}

// With the broken-pipe signal ignored at start-up, a closed standard output
// is an ordinary failed console write and the run ends normally.
TEST(ConsoleOutput, ClosedStandardOutputIsAFailedWrite) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ::close(ends[0]);
  const testing::ChildRun run = runInChild(
      [] {
        static char program[] = "korvenal";
        static char* argv[] = {program, nullptr};
        os::setCommandLine(1, argv);
        writePrompt("prompt\r\n");
        exitRun(0);
      },
      {-1, ends[1]});
  ::close(ends[1]);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace korvenal
