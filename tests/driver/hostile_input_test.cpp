// Hostile inputs from outside: huge lines and values, stray NUL and Ctrl-Z
// bytes, a folder or 100 MB of NUL bytes where a data file belongs, empty
// files, far too many entries, over-long names, the largest repeat counts and
// endless exponents. Each run must end with its outcome (the exact table, or
// the exact failure report and status 1) and never crash. The big inputs are
// made here, never committed, and written in pieces to files that the run's
// directory links to, so that this process stays small: the tool's peak
// memory, checked against a generous bound after each run, is measured on
// children that start as copies of it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/failure.h"
#include "support/run_harness.h"
#include "support/run_text.h"

namespace korvenal::testing {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr long PeakMemoryBound = 512L << 20;  // the sanitizers' own shadow and quarantine
#else
constexpr long PeakMemoryBound = 64L << 20;
#endif
constexpr std::size_t HundredMegabytes = 100u << 20;

// The largest resident size of any child this test process has waited for.
long peakChildMemory() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss * 1024L;
}

// Big inputs: files written piece by piece in a scratch folder of the test.
class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = "/tmp/korvenal-hostile-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
  }

  // Writes `head`, then `filler` until the file holds `size` bytes, then
  // `tail`, and links `name` in the run's directory to it.
  void linkBigFile(RunSetup& setup, const std::string& name, const std::string& head, const std::string& filler,
                   std::size_t size, const std::string& tail = "") {
    const std::string path = scratch + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string block;
    while (block.size() < (1u << 20)) block += filler;
    std::size_t written = head.size();
    while (written < size) {
      const std::size_t piece = std::min(block.size(), size - written);
      out.write(block.data(), static_cast<std::streamsize>(piece));
      written += piece;
    }
    out << tail;
    setup.files.erase(name);
    setup.symlinks.emplace_back(name, path);
  }

  std::string scratch;
};

RunResult runBounded(const RunSetup& setup) {
  RunResult result = runTool(setup);
  EXPECT_LT(peakChildMemory(), PeakMemoryBound) << "the run's peak memory";
  return result;
}

std::string report(const std::string& head, int number) {
  return "\r\nrun-time error " + head + ")\r\n- " + std::string(failureMessage(number)) + "\r\n";
}

const std::string Data300 =
    dataFile({row("300.01", "0", "0"), row("300.02", "10000", "10"), row("299.98", "20000", "20")});
const std::string Data302 =
    dataFile({row("302.01", "0", "0"), row("302.02", "10000", "8"), row("301.98", "20000", "16")});

// Isotherms (0,0) (1,10) (2,20) and (0,0) (1,8) (2,16), mass 0.01 g: 50 at
// field 1 and 78.125 at field 1.25, at the mean temperature 301.
const std::string TableHeader = " T/B    " + blanks(8) + " 1.00" + blanks(8) + " 1.25\r\n";
const std::string Row301 = " 301.000" + blanks(2) + "     50.000" + blanks(2) + "     78.125\r\n";
const std::string Control = "0.01\r\n2 1\r\n1.0 1.25\r\n300\r\na300.dat\r\n302\r\na302.dat\r\n";

RunSetup twoIsotherms(const std::string& control, const std::string& data300, const std::string& data302) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", control}, {"a300.dat", data300}, {"a302.dat", data302}};
  setup.input = "\n\n\n";
  return setup;
}

void expectTable(const RunResult& result, const std::string& table) {
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  ASSERT_EQ(result.files.count("KORVENAL.dat"), 1u);
  EXPECT_EQ(result.files.at("KORVENAL.dat"), table);
}

void expectReport(const RunResult& result, const std::string& expectedReport) {
  EXPECT_EQ(result.err, expectedReport);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files.count("KORVENAL.dat"), 0u);
}

// A last row followed by 100 MB of further values without a line end: the
// row's seven values are taken and the rest of its line is passed over.
TEST_F(HostileInput, HundredMegabyteLineWithoutLineEndIsPassedOver) {
  RunSetup setup = twoIsotherms(Control, "", Data302);
  linkBigFile(setup, "a300.dat", Data300 + row("300.00", "30000", "30"), ",123456789", HundredMegabytes);
  RunResult result = runBounded(setup);
  expectTable(result, TableHeader + Row301);
  EXPECT_NE(result.out.find("No puntos totales:           4"), std::string::npos);
}

// Values of a million digits and exponents of ten million digits are read
// whole in fixed storage: beyond the double range they are 6102, far below
// it they are zero, and an integer of a million digits is 6100.
TEST_F(HostileInput, EndlessDigitsEndWithTheirRangeFailures) {
  constexpr std::size_t Million = 1000000;
  constexpr std::size_t TenMillion = 10000000;
  const std::string rest = "\r\n1.0 1.25\r\n300\r\na300.dat\r\n";
  struct Case {
    std::string head;    // the control file up to the digits
    std::size_t length;  // its length with the digits
    std::string tail;    // after the digits
    int number;
  };
  const Case cases[] = {
      {"9", Million, "\r\n2 1" + rest, 6102},               // a mass of a million digits
      {"1E", 2 + TenMillion, "\r\n2 1" + rest, 6102},       // an exponent of ten million digits
      {"0.01\r\n9", 7 + Million, " 1" + rest, 6100},        // a field count of a million digits
      {"0.01\r\n2 -", 9 + TenMillion, rest, 6100},          // a sweep sign of ten million digits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.head);
    RunSetup setup = twoIsotherms("", Data300, Data302);
    linkBigFile(setup, "KORVENAL.inp", c.head, "9", c.length, c.tail);
    expectReport(runBounded(setup), report("F" + std::to_string(c.number) + ": READ(KORVENAL.inp", c.number));
  }
}

// A temperature of a million significant digits and a field with an exponent
// of ten million digits that makes it zero still give the table.
TEST_F(HostileInput, EndlessDigitsThatFitAreRead) {
  RunSetup setup = twoIsotherms("", "", Data302);
  linkBigFile(setup, "KORVENAL.inp", "0.01\r\n2 1\r\n1.0 1.25\r\n300.", "0", 20 + 1000000,
              "1\r\na300.dat\r\n302\r\na302.dat\r\n");
  const std::string lastRow = row("300", "5E-", "9");
  const std::size_t split = lastRow.find("E-") + 2;
  linkBigFile(setup, "a300.dat", Data300 + lastRow.substr(0, split), "3", Data300.size() + split + 10000000,
              lastRow.substr(split) + "\r\n");
  RunResult result = runBounded(setup);
  // The last row's field is 0 (below 100 Oe, so its moment is 0 too): a falling
  // step that the rising branch does not keep.
  expectTable(result, TableHeader + Row301);
}

// The largest repeat counts give their value to the targets of one read and
// the rest are dropped; one more is out of range.
TEST_F(HostileInput, LargestRepeatCountsEndWithTheirRead) {
  const std::string control =
      "2147483647*0.01\r\n2147483647*1\r\n2147483647*1.0\r\n2147483647*300\r\na300.dat\r\n302\r\na302.dat\r\n";
  RunResult result = runBounded(twoIsotherms(control, Data300, Data302));
  expectTable(result, " T/B    " + blanks(8) + " 1.00\r\n" + " 301.000" + blanks(2) + "     50.000\r\n");

  RunResult beyond = runBounded(twoIsotherms("2147483648*0.01\r\n", Data300, Data302));
  expectReport(beyond, report("F6100: READ(KORVENAL.inp", 6100));
}

// NUL and Ctrl-Z bytes after the content of every line are ordinary bytes:
// values that are never converted, the rest of a header line, the end of a
// file name (a name stops at a NUL). A NUL or Ctrl-Z among an integer's
// digits ends it.
TEST_F(HostileInput, NulAndCtrlZEverywhereLeaveTheTable) {
  const std::string junk("\0\x1a\0\x1a", 4);
  const auto withJunk = [&](const std::string& file) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = file.find("\r\n", from)) != std::string::npos; from = at + 2) {
      out += file.substr(from, at - from) + "," + junk + "\r\n";
    }
    return out;
  };
  const std::string control = "0.01 " + junk + "\r\n2" + junk + "9 1 " + junk + "\r\n1.0 1.25 " + junk +
                              "\r\n300 " + junk + "\r\na300.dat" + junk + "\r\n302 " + junk + "\r\na302.dat" +
                              junk + "\r\n";
  RunResult result = runBounded(twoIsotherms(control, withJunk(Data300), withJunk(Data302)));
  expectTable(result, TableHeader + Row301);
}

// Ctrl-Z inside the fixed-column mass field is the end of the file.
TEST_F(HostileInput, CtrlZInTheMassFieldEndsTheFile) {
  RunResult result = runBounded(twoIsotherms("0\r\n2 1\r\n1.0 1.25\r\n300\r\na300.dat\r\n",
                                             dataFile({row("300", "0", "0")}, "1.5\x1a"), Data302));
  expectReport(result, report("F6501: READ(a300.dat", 6501));
}

// Data files that cannot give a header: a folder, 100 MB of NUL bytes (one
// line without a line end), an empty file; an empty control file.
TEST_F(HostileInput, DataFilesWithoutAHeaderEndTheRun) {
  RunSetup folder = twoIsotherms(Control, "", Data302);
  folder.files.erase("a300.dat");
  folder.folders = {"a300.dat"};
  expectReport(runBounded(folder), report("F6414: OPEN(a300.dat", 6414));

  RunSetup nulBytes = twoIsotherms(Control, "", Data302);
  linkBigFile(nulBytes, "a300.dat", "", std::string(1, '\0'), HundredMegabytes);
  expectReport(runBounded(nulBytes), report("F6501: READ(a300.dat", 6501));
  expectReport(runBounded(twoIsotherms(Control, "", Data302)), report("F6501: READ(a300.dat", 6501));
  expectReport(runBounded(twoIsotherms("", Data300, Data302)), report("F6501: READ(KORVENAL.inp", 6501));
}

// 10 000 entries: the first 100 are read, the rest never. Alternating 300 and
// 302 gives the same value for every neighbouring pair.
TEST_F(HostileInput, TenThousandEntriesReadTheFirstHundred) {
  std::string control = "0.01\r\n2 1\r\n1.0 1.25\r\n";
  for (int i = 0; i < 10000; ++i) control += i % 2 == 0 ? "300\r\na300.dat\r\n" : "302\r\na302.dat\r\n";
  RunSetup setup = twoIsotherms(control, Data300, Data302);
  setup.input = std::string(101, '\n');
  RunResult result = runBounded(setup);
  std::string table = TableHeader;
  for (int i = 0; i < 99; ++i) table += Row301;
  expectTable(result, table);
  EXPECT_NE(result.out.find(" No temperaturas         100"), std::string::npos);
}

// A name line of 300 characters names the file by its first 50; a blank name
// resolved from an argument of 300 characters keeps 259 of them, too long
// for the file system.
TEST_F(HostileInput, NamesOfThreeHundredCharacters) {
  const std::string longName(300, 'n');
  RunResult result = runBounded(twoIsotherms("0.01\r\n2 1\r\n1.0 1.25\r\n300\r\n" + longName + "\r\n", "", ""));
  expectReport(result, report("F6501: READ(" + longName.substr(0, 50), 6501));
  EXPECT_EQ(result.files.count(longName.substr(0, 50)), 1u);

  RunSetup blank = twoIsotherms("0.01\r\n2 1\r\n1.0 1.25\r\n300\r\n\r\n", "", "");
  blank.arguments = {longName};
  expectReport(runBounded(blank), report("F6412: OPEN(" + longName.substr(0, 259), 6412));
}

}  // namespace
}  // namespace korvenal::testing
