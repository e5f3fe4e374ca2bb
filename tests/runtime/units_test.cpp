// Connecting units by name: name preparation, reserved device names, the
// open and its failures, same-file detection, the first-write cut, write
// failures, releasing, and blank names from arguments and the prompt.
#include "runtime/units.h"

#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "runtime/console.h"
#include "runtime/failure.h"
#include "support.h"

namespace korvenal {
namespace {

using testing::report;
using testing::runInChild;

std::string prepared(const std::string& field) {
  char into[MaxNameLength];
  return {into, static_cast<std::size_t>(prepareName(field.data(), static_cast<std::int32_t>(field.size()), into))};
}

// Only spaces are trimmed, inner spaces stay, a NUL ends the name, and at
// most 259 characters are taken.
TEST(NamePreparation, TrimsSpacesOnly) {
  struct Case {
    std::string expected;
    std::string field;
  };
  const Case cases[] = {
      {"run1.dat", "run1.dat" + std::string(42, ' ')},
      {"run1.dat", "   run1.dat"},
      {"run 1.dat", " run 1.dat  "},
      {"\trun.dat", "\trun.dat "},
      {"ab", std::string("ab\0cd", 5)},
      {"", std::string(50, ' ')},
      {std::string(259, 'x'), std::string(300, 'x')},
      {std::string(258, 'x'), " " + std::string(300, 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(prepared(c.field), c.expected) << c.field;
}

// A base name of 3 or 4 letters from the reserved list is a device, except
// that ERR, LINE and USER with an extension are files; a device's extension
// is dropped.
TEST(NamePreparation, ReservedDeviceNames) {
  struct Case {
    DeviceName device;
    std::string path;
    std::string name;  // prepared name of the connection
    std::string given;
  };
  const Case cases[] = {
      {DeviceName::Console, "", "CON", "CON"},
      {DeviceName::Console, "", "CON", "CON.TXT"},
      {DeviceName::Console, "", "user", "user"},
      {DeviceName::StandardError, "", "err", "err"},
      {DeviceName::Null, "/dev/null", "NUL", "NUL.DAT"},
      {DeviceName::Null, "/dev/null", "nul", "nul.dat"},
      {DeviceName::Null, "/dev/null", "NUL", "NUL."},
      {DeviceName::System, "/dev/ttyS1", "COM2", "COM2.LOG"},
      {DeviceName::System, "/dev/ttyS0", "COM1", "COM1"},
      {DeviceName::System, "/dev/ttyS0", "aux", "aux"},
      {DeviceName::System, "/dev/ttyS0", "Line", "Line"},
      {DeviceName::System, "/dev/ttyS3", "COM4", "COM4"},
      {DeviceName::System, "/dev/lp0", "PRN", "PRN"},
      {DeviceName::System, "/dev/lp0", "LPT1", "LPT1"},
      {DeviceName::System, "/dev/lp3", "LPT4", "LPT4"},
      {DeviceName::None, "", "LPT4.out", "LPT4.out"},  // begins with L
      {DeviceName::None, "", "ERR.DAT", "ERR.DAT"},
      {DeviceName::None, "", "LINE.TXT", "LINE.TXT"},
      {DeviceName::None, "", "USER.X", "USER.X"},
      {DeviceName::Console, "", "con", "con.e"},
      {DeviceName::None, "", "line.x", "line.x"},
      {DeviceName::System, "/dev/ttyS0", "LINE", "LINE."},
      {DeviceName::None, "", "err.log", "err.log"},
      {DeviceName::None, "", "CONS", "CONS"},
      {DeviceName::None, "", "CO", "CO"},
      {DeviceName::None, "", "COM5", "COM5"},
      {DeviceName::None, "", "LPT0", "LPT0"},
      {DeviceName::None, "", "a.b.CON", "a.b.CON"},
      {DeviceName::None, "", "dir/CON", "dir/CON"},
  };
  for (const Case& c : cases) {
    const DeviceMatch match = reservedDevice(c.given);
    EXPECT_EQ(match.device, c.device) << c.given;
    if (match.device == DeviceName::None) continue;
    EXPECT_EQ(std::string(match.path != nullptr ? match.path : ""), c.path) << c.given;
    EXPECT_EQ(c.given.substr(0, static_cast<std::size_t>(match.nameLength)), c.name) << c.given;
  }
}

class Units : public testing::InTempDir {
 protected:
  void connect(int number, const std::string& name) {
    connectUnit(number, name.data(), static_cast<std::int32_t>(name.size()));
  }
  void write(int number, const std::string& bytes) {
    Unit& unit = connectedUnit(number);
    ASSERT_TRUE(unit.io.beginStatement());
    ASSERT_TRUE(unit.io.writeBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                                   static_cast<std::int32_t>(bytes.size())));
  }
  // Runs `body` in a child that must end with the report `expected`.
  void expectReport(const std::string& expected, const std::function<void()>& body) {
    const testing::ChildRun run = runInChild(body);
    EXPECT_EQ(run.status, 1) << expected;
    EXPECT_EQ(run.err, expected);
  }
};

// A missing file is created empty and stays; releasing twice, or releasing a
// unit never connected, does nothing.
TEST_F(Units, MissingFileIsCreatedEmpty) {
  connect(10, "KORVENAL.inp");
  const Unit& unit = connectedUnit(10);
  EXPECT_EQ(unit.name(), "KORVENAL.inp");
  EXPECT_EQ(unit.kind, UnitKind::File);
  EXPECT_EQ(unit.access, Access::ReadWrite);
  EXPECT_TRUE(unit.endAtWritePosition);
  EXPECT_TRUE(releaseUnit(10));
  EXPECT_TRUE(releaseUnit(10));
  EXPECT_TRUE(releaseUnit(33));
  EXPECT_TRUE(std::filesystem::exists(dir / "KORVENAL.inp"));
  EXPECT_EQ(std::filesystem::file_size(dir / "KORVENAL.inp"), 0u);
}

// Blanks around a data file name go, an inner blank stays; the unit reads the
// file through its own line source.
TEST_F(Units, NamesWithBlanks) {
  testing::writeFile(dir / "run1.dat", "12\n");
  connect(12, "   run1.dat" + std::string(39, ' '));
  Unit& unit = connectedUnit(12);
  EXPECT_EQ(unit.name(), "run1.dat");
  EXPECT_FALSE(unit.endAtWritePosition);
  EXPECT_EQ(unit.input, &unit.ownInput);
  unsigned char block[16];
  const BlockRead got = unit.io.readBlock(block, 16);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), static_cast<std::size_t>(got.count)), "12\n");
  releaseUnit(12);
  connect(12, "run 1.dat" + std::string(41, ' '));
  EXPECT_EQ(connectedUnit(12).name(), "run 1.dat");
  releaseUnit(12);
  EXPECT_TRUE(std::filesystem::exists(dir / "run 1.dat"));
}

// NUL and nul.dat reach the null device (several units may hold it) and
// create nothing; ERR.dat is an ordinary file; CON reads the console input.
TEST_F(Units, DeviceNamesCreateNoFiles) {
  connect(10, "NUL");
  connect(12, "nul.dat");
  EXPECT_EQ(connectedUnit(10).kind, UnitKind::Device);
  EXPECT_EQ(connectedUnit(12).name(), "nul");
  unsigned char block[4];
  EXPECT_EQ(connectedUnit(12).io.readBlock(block, 4).count, 0);
  connect(11, "CON.TXT");
  EXPECT_EQ(connectedUnit(11).name(), "CON");
  EXPECT_EQ(connectedUnit(11).input, &consoleInput());
  releaseUnit(10);
  releaseUnit(11);
  releaseUnit(12);
  EXPECT_TRUE(std::filesystem::is_empty(dir));
  connect(12, "ERR.dat");
  EXPECT_EQ(connectedUnit(12).kind, UnitKind::File);
  releaseUnit(12);
  EXPECT_TRUE(std::filesystem::exists(dir / "ERR.dat"));
}

// Connecting a unit again to the file it holds keeps the connection; to
// another file releases the first.
TEST_F(Units, ReconnectingAUnit) {
  connect(12, "a.dat");
  const os::Handle handle = connectedUnit(12).handle;
  connect(12, "./a.dat");
  EXPECT_EQ(connectedUnit(12).handle, handle);
  EXPECT_EQ(connectedUnit(12).name(), "a.dat");
  connect(12, "b.dat");
  EXPECT_EQ(connectedUnit(12).name(), "b.dat");
  releaseUnit(12);
}

// An existing longer table is emptied when the first write statement
// begins; later statements only extend it.
TEST_F(Units, FirstWriteCutsAnExistingFile) {
  testing::writeFile(dir / "KORVENAL.dat", "an older and much longer table\r\n");
  connect(11, "KORVENAL.dat");
  EXPECT_FALSE(connectedUnit(11).endAtWritePosition);
  write(11, "ab");
  EXPECT_EQ(testing::readFile(dir / "KORVENAL.dat"), "ab");
  write(11, "cd");
  EXPECT_TRUE(releaseUnit(11));
  EXPECT_EQ(testing::readFile(dir / "KORVENAL.dat"), "abcd");
}

// Connections that fail end the run with the OPEN report of the prepared name.
TEST_F(Units, ConnectionFailures) {
  testing::writeFile(dir / "KORVENAL.inp", "1\n");
  std::filesystem::create_symlink("KORVENAL.inp", dir / "link.inp");
  std::filesystem::create_directory(dir / "sub");
  const std::string elsewhere = "file already connected to another unit";
  struct Case {
    std::string expected;
    std::string first;  // connected to unit 10 first, when not empty
    std::string name;   // then connected to unit 12
  };
  const Case cases[] = {
      {report('F', "6413", ": OPEN(", "link.inp", elsewhere), "KORVENAL.inp", "link.inp  "},
      {report('F', "6413", ": OPEN(", "./KORVENAL.inp", elsewhere), "link.inp", "./KORVENAL.inp"},
      {report('F', "6413", ": OPEN(", "CON", elsewhere), "con", "CON.TXT"},
      {report('F', "6414", ": OPEN(", "sub", "access to the file denied"), "", "sub"},
      {report('F', "6416", ": OPEN(", "nofolder/x.dat", "file or folder not found"), "", "nofolder/x.dat"},
  };
  for (const Case& c : cases) {
    expectReport(c.expected, [&] {
      if (!c.first.empty()) connect(10, c.first);
      connect(12, c.name);
    });
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "nofolder"));
}

// A missing printer or serial device fails like a missing file, under the
// device's name.
TEST_F(Units, MissingDeviceIsNotFound) {
  if (std::filesystem::exists("/dev/lp0")) GTEST_SKIP() << "this machine has a printer port";
  expectReport(report('F', "6416", ": OPEN(", "PRN", "file or folder not found"), [&] { connect(12, "PRN.TXT"); });
}

// The system's causes of a refused open map to their numbers; all three
// access requests are tried before a refusal stands.
TEST_F(Units, RefusedOpensMapToTheirNumbers) {
  struct Case {
    std::string number;
    std::string message;
    os::Status status;
  };
  const Case cases[] = {
      {"6414", "access to the file denied", os::Status::AccessDenied},
      {"6415", "file already exists", os::Status::Exists},
      {"6416", "file or folder not found", os::Status::NotFound},
      {"6417", "too many open files", os::Status::TooManyOpenFiles},
      {"6412", "file name or request not accepted by the system", os::Status::InvalidArgument},
      {"6418", "file could not be opened", os::Status::Other},
      {"6418", "file could not be opened", os::Status::NoSpace},
  };
  for (const Case& c : cases) {
    expectReport(report('F', c.number, ": OPEN(", "new.dat", c.message), [&] {
      // Refuses every creation; the run must end after exactly three attempts.
      struct Refusing : DelegatingOs {
        os::Status status = os::Status::Ok;
        int attempts = 0;
        os::Opened createExclusive(const char*, os::AccessRequest) override {
          ++attempts;
          return {os::InvalidHandle, status};
        }
        [[noreturn]] void exitProcess(int status) override {
          real.exitProcess(attempts == 3 ? status : 99);
          std::abort();
        }
      } fake;
      fake.status = c.status;
      testing::Installed installed(fake);
      connect(12, "new.dat");
    });
  }
}

// A read-only existing table is connected read-only by the fall-back, fails
// when the first write statement begins, and keeps its content. Root ignores
// permission bits, so the child gives up its privileges first.
TEST_F(Units, ReadOnlyTableRefusesTheFirstWrite) {
  testing::writeFile(dir / "KORVENAL.dat", "old table\r\n");
  std::filesystem::permissions(dir / "KORVENAL.dat", std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);
  std::filesystem::permissions(dir, std::filesystem::perms::all);
  const testing::ChildRun run = runInChild([&] {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(testing::SkippedStatus);
    if (access("KORVENAL.dat", W_OK) == 0) _exit(testing::SkippedStatus);
    connect(11, "KORVENAL.dat");
    if (connectedUnit(11).access != Access::ReadOnly) _exit(testing::SkippedStatus + 1);
    write(11, "new");
  });
  if (run.status == testing::SkippedStatus) GTEST_SKIP() << "cannot run as an unprivileged user here";
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, report('F', "6421", ": WRITE(", "KORVENAL.dat", "write refused: no write access or file locked"));
  EXPECT_EQ(testing::readFile(dir / "KORVENAL.dat"), "old table\r\n");
}

// A table that is a link to a full device is not cut (only a regular file
// is) and its write reports the full device.
TEST_F(Units, FullDeviceReportsDiskFull) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this machine";
  std::filesystem::create_symlink("/dev/full", dir / "full.dat");
  expectReport(report('F', "6422", ": WRITE(", "full.dat", "no space left on the device"), [&] {
    connect(11, "full.dat");
    write(11, "x");
  });
}

// Every failed or short write of a file ends the run; which report depends on
// the system's cause. A short write with no cause is a failed write too.
TEST_F(Units, FailedFileWritesAreAlwaysReported) {
  struct Case {
    std::string number;
    std::string message;
    os::Transfer transfer;
  };
  const Case cases[] = {
      {"6422", "no space left on the device", {1, os::Status::NoSpace}},
      {"6421", "write refused: no write access or file locked", {0, os::Status::AccessDenied}},
      {"6423", "write failed or incomplete", {0, os::Status::Other}},
      {"6423", "write failed or incomplete", {2, os::Status::Ok}},
  };
  for (const Case& c : cases) {
    expectReport(report('F', c.number, ": WRITE(", "t.dat", c.message), [&] {
      struct Failing : DelegatingOs {
        os::Transfer transfer;
        os::Handle target = os::InvalidHandle;
        os::Transfer write(os::Handle handle, const unsigned char* from, std::int64_t count) override {
          if (handle == target) return transfer;
          return DelegatingOs::write(handle, from, count);
        }
      } fake;
      fake.transfer = c.transfer;
      testing::Installed installed(fake);
      connect(11, "t.dat");
      fake.target = connectedUnit(11).handle;
      write(11, "abcd");
    });
  }
}

// Blank names take the command-line arguments in order, each once, across
// connections; a blank argument and the end of the arguments lead to the
// prompt, repeated until a name is typed.
TEST_F(Units, BlankNamesFromArgumentsThenThePrompt) {
  testing::Terminal terminal;
  if (!testing::openTerminal(terminal)) GTEST_SKIP() << "no pseudo-terminal available";
  const std::string typed = "\n  c.dat \nd.dat\n";
  ASSERT_EQ(::write(terminal.master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const std::string blank(50, ' ');
  const testing::ChildRun run = runInChild(
      [&] {
        static char program[] = "korvenal", a[] = "a.dat", b[] = "  ", c[] = "b.dat";
        static char* argv[] = {program, a, b, c, nullptr};
        os::setCommandLine(4, argv);
        for (int i = 0; i < 4; ++i) {
          connect(12, blank);
          const std::string name(connectedUnit(12).name());
          ::write(2, (name + "|").data(), name.size() + 1);
        }
        exitRun(0);
      },
      {terminal.slave, -1});
  const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 12? ";
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "a.dat|c.dat|b.dat|d.dat|");
  EXPECT_EQ(run.out, prompt + prompt + prompt);
  for (const char* name : {"a.dat", "b.dat", "c.dat", "d.dat"}) EXPECT_TRUE(std::filesystem::exists(dir / name));
}

// With the null device as standard input the prompt meets the end of input
// at once: the end-of-file report of the open with an empty name. A
// redirected input that is used up does the same.
TEST_F(Units, PromptAtTheEndOfInput) {
  const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT -7? ";
  for (bool nullDevice : {true, false}) {
    const testing::ChildRun run = runInChild([&] { connect(-7, " "); },
                                             {nullDevice ? -1 : testing::inputOf("", false), -1});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, prompt);
    EXPECT_EQ(run.err, report('F', "6501", ": OPEN(", "", "end of file"));
  }
}

}  // namespace
}  // namespace korvenal
