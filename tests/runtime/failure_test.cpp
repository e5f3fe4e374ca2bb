// The failure report: its pieces, when a failure comes back instead, and how
// the run ends (status, release of the units, a report during the release).
#include "runtime/failure.h"

#include <string>
#include <vector>

#include "runtime/console.h"
#include "runtime/units.h"
#include "support.h"

namespace korvenal {
namespace {

using testing::report;
using testing::runInChild;
using Pieces = std::vector<std::string>;

// Each piece reaches standard error in a write of its own, bytes exact.
TEST(FailureReport, WritesEachPieceAsItStands) {
  struct Case {
    Pieces expected;
    RunFailure failure;
  };
  const Case cases[] = {
      {{"\r\n", "run-time error ", "F", "6501", ": READ(", "KORVENAL.inp", ")\r\n- ", "end of file", "\r\n"},
       {'F', 6501, Statement::Read, "KORVENAL.inp", "end of file"}},
      {{"\r\n", "run-time error ", "F", "6422", ": WRITE(", "KORVENAL.dat", ")\r\n- ", "disk", "\r\n"},
       {'F', 6422, Statement::Write, "KORVENAL.dat", "disk"}},
      {{"\r\n", "run-time error ", "F", "6501", ": OPEN(", ")\r\n- ", "eof", "\r\n"},
       {'F', 6501, Statement::Open, "", "eof"}},
      {{"\r\n", "run-time error ", "F", "0042", ": CLOSE(", "a b", ")\r\n", "\r\n"},
       {'F', 42, Statement::Close, "a b", ""}},
      {{"\r\n", "run-time error ", "M", "6103", ": MATH\r\n- ", "floating-point error: ", "divide by zero", "\r\n"},
       {'M', 6103, Statement::Math, "", "floating-point error: divide by zero"}},
  };
  for (const Case& c : cases) {
    testing::ScriptedConsoleOs fake;
    {
      testing::Installed installed(fake);
      writeReport(c.failure);
    }
    EXPECT_EQ(fake.errPieces, c.expected) << c.failure.number;
    EXPECT_EQ(fake.out, "");
  }
}

// The reader's handling decides what comes back; nothing is reported then.
TEST(FailureReport, HandledFailuresComeBack) {
  struct Case {
    ReadOutcome expected;
    int number;
    bool isEndOfFile;
    ReadHandling handling;
  };
  const Case cases[] = {
      {ReadOutcome::endOfFile(6501), 6501, true, ReadHandling::AllHandled},
      {ReadOutcome::endOfFile(6405), 6405, true, ReadHandling::EndHandled},
      {ReadOutcome::error(6103), 6103, false, ReadHandling::AllHandled},
      {ReadOutcome::error(6500), 6500, false, ReadHandling::AllHandled},
  };
  testing::ScriptedConsoleOs fake;
  testing::Installed installed(fake);
  for (const Case& c : cases) {
    EXPECT_EQ(failStatement(c.number, Statement::Read, "x.dat", c.isEndOfFile, c.handling), c.expected);
  }
  EXPECT_TRUE(fake.errPieces.empty());
  EXPECT_FALSE(runIsEnding());
}

// Every failure number the system raises has a message of one line.
TEST(FailureReport, EveryNumberHasOneLineOfMessage) {
  for (int number : {6100, 6101, 6102, 6103, 6104, 6302, 6303, 6405, 6407, 6412, 6413, 6414, 6415, 6416, 6417,
                     6418, 6421, 6422, 6423, 6500, 6501, 6502, 6503, 6504}) {
    const std::string_view message = failureMessage(number);
    EXPECT_FALSE(message.empty()) << number;
    EXPECT_EQ(message.find_first_of("\r\n"), std::string_view::npos) << number;
  }
  EXPECT_EQ(failureMessage(6501), "end of file");
}

// Unhandled failures end the run with status 1 and the report on standard
// error only.
TEST(FailureReport, UnhandledFailureEndsTheRun) {
  struct Case {
    std::string expected;
    int number;
    bool isEndOfFile;
    ReadHandling handling;
  };
  const Case cases[] = {
      {report('F', "6501", ": READ(", "KORVENAL.inp", "end of file"), 6501, true, ReadHandling::NoHandling},
      {report('F', "6103", ": READ(", "KORVENAL.inp", "invalid real value"), 6103, false, ReadHandling::EndHandled},
  };
  for (const Case& c : cases) {
    const testing::ChildRun run = runInChild(
        [&] { failStatement(c.number, Statement::Read, "KORVENAL.inp", c.isEndOfFile, c.handling); });
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, c.expected);
    EXPECT_EQ(run.out, "");
  }
}

// exitRun releases every unit (a created file stays) and ends with the status given.
class EndOfRun : public testing::InTempDir {};

TEST_F(EndOfRun, ReleasesUnitsAndEndsWithTheStatus) {
  const testing::ChildRun run = runInChild([] {
    connectUnit(10, "kept.dat", 8);
    exitRun(3);
  });
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(std::filesystem::exists(dir / "kept.dat"));
}

// A report while a console line is pending starts on a line of its own; the
// release then ends the console's line.
TEST_F(EndOfRun, PendingConsoleLineIsEndedAfterTheReport) {
  if (!testing::consoleWriterIsBuilt()) GTEST_SKIP() << "the console writer is not built yet";
  const testing::ChildRun run = runInChild([] {
    console().linePending = true;
    failUnhandled(6416, Statement::Open, "x.dat");
  });
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, report('F', "6416", ": OPEN(", "x.dat", "file or folder not found"));
  EXPECT_EQ(run.out, "\r\n");
}

// A write failing while the end-of-run release runs is reported as CLOSE,
// does not end the process again (the status stays the one it was ending
// with), and stops the release: later units keep their text unwritten.
TEST_F(EndOfRun, FailureDuringReleaseStopsIt) {
  if (!testing::tableWriterIsBuilt()) GTEST_SKIP() << "the table writer is not built yet";
  const testing::ChildRun run = runInChild([] {
    struct FullDisk : DelegatingOs {
      os::Handle full = os::InvalidHandle;
      os::Transfer write(os::Handle handle, const unsigned char* from, std::int64_t count) override {
        if (handle == full) return {0, os::Status::NoSpace};
        return DelegatingOs::write(handle, from, count);
      }
    } fake;
    testing::Installed installed(fake);
    connectUnit(11, "t.dat", 5);
    connectUnit(12, "u.dat", 5);
    fake.full = connectedUnit(11).handle;
    for (int number : {11, 12}) {
      Unit& unit = connectedUnit(number);
      unit.output.buffer[0] = 'a';
      unit.output.used = 1;
    }
    exitRun(0);
  });
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, report('F', "6422", ": CLOSE(", "t.dat", "no space left on the device"));
  EXPECT_EQ(testing::readFile(dir / "u.dat"), "");
}

}  // namespace
}  // namespace korvenal
