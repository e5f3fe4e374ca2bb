// The whole run from outside: the built executable in a fresh directory,
// exact bytes of standard output, standard error, the exit status and every
// file left behind.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "runtime/failure.h"
#include "support/run_harness.h"
#include "support/run_text.h"

namespace korvenal::testing {
namespace {

using Files = std::map<std::string, std::string>;

std::string report(const std::string& head, int number) {
  return "\r\nrun-time error " + head + ")\r\n- " + std::string(failureMessage(number)) + "\r\n";
}

const std::string Example300 =
    dataFile({row("300.01", "0", "0"), row("300.02", "10000", "10"), row("299.98", "20000", "20")});
const std::string Example302 =
    dataFile({row("302.01", "0", "0"), row("302.02", "10000", "8"), row("301.98", "20000", "16")});

// Two isotherms (0,0) (1,10) (2,20) and (0,0) (1,8) (2,16) at 300 and 302,
// mass 0.01 g, fields 1 and 1.25: the values 50 and 78.125.
const Files ExampleFiles = {
    {"KORVENAL.inp", "0.01\r\n2 1\r\n1.0 1.25\r\n300\r\na300.dat\r\n302\r\na302.dat\r\n"},
    {"a300.dat", Example300},
    {"a302.dat", Example302},
};

const std::string ExampleTable =
    " T/B    " + blanks(8) + " 1.00" + blanks(8) + " 1.25\r\n" +
    " 301.000" + blanks(2) + "     50.000" + blanks(2) + "     78.125\r\n";

// The console lines of one entry up to and including its pause prompt.
std::string entryHeading(const std::string& name, const std::string& temperature15, bool first) {
  return std::string(first ? "" : "\r\n") + "Leyendo fichero: " + name50(name) +
         "\r\nTemperatura: " + temperature15 + "\r\n" + "\r\n" + name50(name) +
         "\r\n=============" + "\r\n" + PausePrompt;
}

std::string exampleEntry(const std::string& name, const std::string& t15, const std::string& m1,
                         const std::string& m2, bool first) {
  return entryHeading(name, t15, first) +
         "\r\n masa(g):    1.000000E-02" +
         "\r\nNo puntos totales:           3" +
         "\r\n" + t15 + "    0.000000E+00    0.000000E+00" +
         "\r\n" + t15 + "        1.000000" + m1 +
         "\r\n" + t15 + "        2.000000" + m2 +
         "\r\nNo de puntos para T = " + t15 + "           3" +
         "\r\n Puntos ordenados por el campo";
}

std::string runEnd(int count) {
  const std::string digits = std::to_string(count);
  return "\r\n No temperaturas " + blanks(11 - digits.size()) + digits + "\r\n" + PausePrompt +
         "\r\n";
}

TEST(WholeRun, TwoIsothermsGiveTheWorkedTable) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);

  const std::string expectedOut =
      exampleEntry("a300.dat", "     300.000000", "       10.000000", "       20.000000", true) +
      exampleEntry("a302.dat", "     302.000000", "        8.000000", "       16.000000", false) +
      runEnd(2);
  EXPECT_EQ(result.out, expectedOut);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  Files expectedFiles = ExampleFiles;
  expectedFiles["KORVENAL.dat"] = ExampleTable;
  EXPECT_EQ(result.files, expectedFiles);
}

TEST(WholeRun, AnExistingLongerTableIsReplacedWhole) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.files["KORVENAL.dat"] = std::string(5000, 'x');
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.files["KORVENAL.dat"], ExampleTable);
}

TEST(WholeRun, NoEntriesGiveTheHeaderAlone) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}};
  setup.input = "\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.out, " No temperaturas           0\r\n" + PausePrompt + "\r\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.files["KORVENAL.dat"], " T/B    " + blanks(8) + " 2.50\r\n");
}

TEST(WholeRun, NoFieldsGiveTheLabelAndBareTemperatures) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.01\r\n0 1\r\n\r\n300\r\na300.dat\r\n302\r\na302.dat\r\n"},
                 {"a300.dat", Example300},
                 {"a302.dat", Example302}};
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.files["KORVENAL.dat"], " T/B    \r\n 301.000\r\n");
}

TEST(WholeRun, OneEntryGivesNoRows) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.01\r\n1 1\r\n1.0\r\n300\r\na300.dat\r\n"},
                 {"a300.dat", Example300}};
  setup.input = "\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            exampleEntry("a300.dat", "     300.000000", "       10.000000", "       20.000000", true) +
                runEnd(1));
  EXPECT_EQ(result.files["KORVENAL.dat"], " T/B    " + blanks(8) + " 1.00\r\n");
}

TEST(WholeRun, OnlyTheFirstHundredEntriesAreRead) {
  std::string control = "1\r\n1 1\r\n1.0\r\n";
  for (int i = 1; i <= 100; ++i) control += std::to_string(200 + i) + "\r\nd.dat\r\n";
  control += "999\r\nnever.dat\r\n";
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", control}, {"d.dat", dataFile({row("1", "5000", "1")})}};
  setup.input = std::string(101, '\n');
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.files.count("never.dat"), 0u);
  ASSERT_GE(result.out.size(), runEnd(100).size());
  EXPECT_EQ(result.out.substr(result.out.size() - runEnd(100).size()), runEnd(100));
  // 99 rows of empty isotherms: a zero of either sign is written as .000.
  std::string table = " T/B    " + blanks(8) + " 1.00\r\n";
  for (int i = 1; i <= 99; ++i) {
    table += " " + std::to_string(200 + i) + ".500" + blanks(2) + "       .000\r\n";
  }
  EXPECT_EQ(result.files["KORVENAL.dat"], table);
}

TEST(WholeRun, MissingControlFileIsCreatedEmptyAndTheRunFails) {
  RunSetup setup;
  RunResult result = runTool(setup);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, report("F6501: READ(KORVENAL.inp", 6501));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files, (Files{{"KORVENAL.inp", ""}}));
}

TEST(WholeRun, ControlFileEndingAfterTheMassFailsAtTheSecondRead) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n"}};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6501: READ(KORVENAL.inp", 6501));
  EXPECT_EQ(result.status, 1);
}

TEST(WholeRun, MoreThanTwentyFieldsAreRefusedBeforeAnythingElse) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n21 1\r\n1 2 3\r\n300\r\nmissing.dat\r\n"}};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "\r\nrun-time error F6100: READ(KORVENAL.inp)\r\n- at most 20 fields are allowed\r\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files.count("missing.dat"), 0u);
  EXPECT_EQ(result.files.count("KORVENAL.dat"), 0u);
}

TEST(WholeRun, TemperatureThatIsNotANumberEndsTheRun) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n1.0\r\nTemperature\r\n"}};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6103: READ(KORVENAL.inp", 6103));
  EXPECT_EQ(result.status, 1);
}

// The mass comes from the first data file; later files are not searched.
TEST(WholeRun, MassFromTheFirstDataFileIsKeptForTheRest) {
  RunSetup setup;
  setup.files = {
      {"KORVENAL.inp", "0\r\n1 1\r\n1.0\r\n300\r\na.dat\r\n302\r\nb.dat\r\n"},
      {"a.dat", dataFile({row("300", "0", "0"), row("300", "10000", "10")}, "12.5")},
      {"b.dat", dataFile({row("302", "0", "0"), row("302", "10000", "8")})},
  };
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  // 12.5 mg is 0.0125 g: the value is -((4 - 5) / 2) / 0.0125 = 40.
  EXPECT_EQ(result.files["KORVENAL.dat"],
            " T/B    " + blanks(8) + " 1.00\r\n 301.000" + blanks(2) + "     40.000\r\n");
  // Both files show the looked-up mass.
  const std::string massLine = "\r\n masa(g):    1.250000E-02\r\n";
  const std::size_t first = result.out.find(massLine);
  ASSERT_NE(first, std::string::npos) << result.out;
  EXPECT_NE(result.out.find(massLine, first + 1), std::string::npos);
}

TEST(WholeRun, MassLookupWithoutMarkerEndsTheRun) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0\r\n1 1\r\n1.0\r\n300\r\na.dat\r\n"},
                 {"a.dat", dataFile({row("300", "0", "0")})}};
  setup.input = "\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6501: READ(a.dat", 6501));
  EXPECT_EQ(result.status, 1);
}

// Count of kept rows, as the console's "No puntos totales" line shows it.
std::string keptCountLine(int count) {
  const std::string digits = std::to_string(count);
  return "\r\nNo puntos totales: " + blanks(11 - digits.size()) + digits + "\r\n";
}

RunResult runOneFile(const std::string& data, int sweepSign = 1) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n1 " + std::to_string(sweepSign) + "\r\n1.0\r\n300\r\nd.dat\r\n"},
                 {"d.dat", data}};
  setup.input = "\n\n";
  return runTool(setup);
}

TEST(WholeRun, RowsWithinAQuarterDegreeAreKept) {
  RunResult result = runOneFile(dataFile({
      row("300.25", "100", "1"),     // kept: exactly 0.25 above
      row("299.75", "200", "2"),     // kept: exactly 0.25 below
      row("300.2501", "300", "3"),   // dropped
      row("299.7499", "400", "4"),   // dropped
  }));
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find(keptCountLine(2)), std::string::npos) << result.out;
}

TEST(WholeRun, AtMostOneHundredRowsAreKept) {
  std::vector<std::string> rows;
  for (int i = 0; i < 150; ++i) rows.push_back(row("300", std::to_string(1000 + 10 * i), "1"));
  RunResult result = runOneFile(dataFile(rows));
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find(keptCountLine(100)), std::string::npos);
}

TEST(WholeRun, FieldsBelowOneHundredOerstedAreZeroed) {
  RunResult result = runOneFile(dataFile({
      row("300", "99.99", "5"),   // field and moment become 0
      row("300", "100", "6"),     // field 0.01, moment kept
      row("300", "10000", "7"),   // field 1.0
  }));
  EXPECT_EQ(result.status, 0);
  const std::string t = "     300.000000";
  EXPECT_NE(result.out.find("\r\n" + t + "    0.000000E+00    0.000000E+00" + "\r\n" + t +
                            "    1.000000E-02        6.000000" + "\r\n" + t +
                            "        1.000000        7.000000\r\n"),
            std::string::npos)
      << result.out;
}

// A file swept up, down and up again.
const std::vector<std::string> UpDownUp = {
    row("300", "0", "0"),     row("300", "10000", "1"), row("300", "20000", "2"),
    row("300", "10000", "3"), row("300", "0", "4"),     row("300", "10000", "5"),
    row("300", "20000", "6"),
};

TEST(WholeRun, RisingBranchKeepsTheFirstRowAndEveryRisingStep) {
  RunResult result = runOneFile(dataFile(UpDownUp), 1);
  const std::string t = "     300.000000";
  EXPECT_NE(result.out.find("\r\n" + t + "    0.000000E+00    0.000000E+00" +
                            "\r\n" + t + "        1.000000        1.000000" +
                            "\r\n" + t + "        2.000000        2.000000" +
                            "\r\n" + t + "        1.000000        5.000000" +
                            "\r\n" + t + "        2.000000        6.000000" +
                            "\r\nNo de puntos para T = " + t + "           5" +
                            "\r\n Puntos ordenados por el campo\r\n"),
            std::string::npos)
      << result.out;
}

TEST(WholeRun, FallingBranchStartsAtTheFirstRowAndIsNotReversedFromZero) {
  RunResult result = runOneFile(dataFile(UpDownUp), -1);
  const std::string t = "     300.000000";
  EXPECT_NE(result.out.find("\r\n" + t + "    0.000000E+00    0.000000E+00" +
                            "\r\n" + t + "        1.000000        3.000000" +
                            "\r\n" + t + "    0.000000E+00    0.000000E+00" +
                            "\r\nNo de puntos para T = " + t + "           3" +
                            "\r\n Puntos ordenados por el campo\r\n"),
            std::string::npos)
      << result.out;
}

TEST(WholeRun, FallingSweepFromTheTopIsReversedAndListedAgain) {
  RunResult result = runOneFile(
      dataFile({row("300", "20000", "2"), row("300", "10000", "1"), row("300", "0", "0")}), -1);
  const std::string t = "     300.000000";
  EXPECT_NE(result.out.find("\r\nNo de puntos para T = " + t + "           3" +
                            "\r\n Puntos ordenados por el campo" +
                            "\r\n   0.000000E+00    0.000000E+00" +
                            "\r\n       1.000000        1.000000" +
                            "\r\n       2.000000        2.000000\r\n"),
            std::string::npos)
      << result.out;
}

// Equal neighbouring temperatures: the row's mean temperature is written,
// then the division by zero ends the run and the partial row stays.
TEST(WholeRun, EqualTemperaturesEndTheRunWithAPartialRow) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.files["KORVENAL.inp"] = "0.01\r\n2 1\r\n1.0 1.25\r\n300\r\na300.dat\r\n300\r\na302.dat\r\n";
  setup.files["a302.dat"] = dataFile(
      {row("300.01", "0", "0"), row("300.02", "10000", "8"), row("299.98", "20000", "16")});
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files["KORVENAL.dat"], " T/B    " + blanks(8) + " 1.00" + blanks(8) + " 1.25\r\n" +
                                              " 300.000");
  // The console still ends on a complete line.
  EXPECT_EQ(result.out.substr(result.out.size() - PausePrompt.size() - 2), PausePrompt + "\r\n");
}

TEST(WholeRun, EqualTemperaturesAndEqualIntegralsAreAnInvalidOperation) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.files["KORVENAL.inp"] = "0.01\r\n1 1\r\n1.0\r\n300\r\na300.dat\r\n300\r\na300.dat\r\n";
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, "\r\nrun-time error M6101: MATH\r\n- floating-point error: invalid\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST(WholeRun, ZeroMassIsADivisionByZero) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.files["KORVENAL.inp"] = "0\r\n1 1\r\n1.0\r\n300\r\na300.dat\r\n302\r\na302.dat\r\n";
  setup.files["a300.dat"] = dataFile(
      {row("300.01", "0", "0"), row("300.02", "10000", "10"), row("299.98", "20000", "20")}, "0");
  setup.files["a302.dat"] = dataFile(
      {row("302.01", "0", "0"), row("302.02", "10000", "8"), row("301.98", "20000", "16")}, "0");
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, "\r\nrun-time error M6103: MATH\r\n- floating-point error: divide by zero\r\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files["KORVENAL.dat"],
            " T/B    " + blanks(8) + " 1.00\r\n" + " 301.000");
}

TEST(WholeRun, ValueBeyondSinglePrecisionOverflowsTheStore) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.files["KORVENAL.inp"] = "0.001\r\n1 1\r\n1.0\r\n300\r\na300.dat\r\n302\r\na302.dat\r\n";
  setup.files["a300.dat"] = dataFile(
      {row("300.01", "0", "0"), row("300.02", "10000", "1E38"), row("299.98", "20000", "2E38")});
  setup.files["a302.dat"] = dataFile(
      {row("302.01", "0", "0"), row("302.02", "10000", "8E37"), row("301.98", "20000", "1.6E38")});
  setup.input = "\n\n\n";
  RunResult result = runTool(setup);
  // -((4e37 - 5e37) / 2) / 0.001 = 5e39 does not fit a single-precision value.
  EXPECT_EQ(result.err, "\r\nrun-time error M6104: MATH\r\n- floating-point error: overflow\r\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files["KORVENAL.dat"], " T/B    " + blanks(8) + " 1.00\r\n" + " 301.000");
}

// A comment row is dropped whole: its field cannot stand in for a
// temperature on a shifted re-read.
TEST(WholeRun, FaultyRowIsDroppedWithTheRestOfItsLine) {
  RunResult result = runOneFile(dataFile({
      "note,1,2,300,4,5,6,7,8,9",
      row("300", "10000", "1"),
  }));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_NE(result.out.find(keptCountLine(1)), std::string::npos) << result.out;
}

// A row whose temperature, field or moment position is empty is dropped:
// nothing of an earlier row fills the gap.
TEST(WholeRun, RowWithAnEmptyNeededPositionIsDropped) {
  RunResult result = runOneFile(dataFile({
      row("300", "10000", "1"),
      ",12.5,,20000,1.5,2.5,2,7,8,9",      // no temperature
      ",12.5,300,,1.5,2.5,3,7,8,9",        // no field
      ",12.5,300,30000,1.5,2.5,,7,8,9",    // no moment
      ",12.5,300,40000/",                  // slash before the moment
      row("300", "50000", "5"),
  }));
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find(keptCountLine(2)), std::string::npos) << result.out;
}

TEST(WholeRun, MissingDataFileIsCreatedEmptyAndEndsTheRun) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n1.0\r\n300\r\nnothere.dat\r\n"}};
  setup.input = "\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6501: READ(nothere.dat", 6501));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files["nothere.dat"], "");
}

// Pause replies: Enter goes on, one letter is never run, a longer reply is
// run by the command interpreter before the run goes on.
TEST(WholeRun, PauseRunsACommandOfTwoOrMoreCharacters) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}};
  setup.input = "touch made.txt  \t\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.files.count("made.txt"), 1u);
  EXPECT_EQ(result.out, " No temperaturas           0\r\n" + PausePrompt + "\r\n");
}

TEST(WholeRun, PauseReplyOfOneLetterIsNotRun) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}, {"y", "#!/bin/sh\ntouch ran.txt\n"}};
  setup.input = "y\n";
  setup.environment = {"PATH=.:/usr/bin:/bin"};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.files.count("ran.txt"), 0u);
}

TEST(WholeRun, InputEndingBeforeAPauseEndsTheRun) {
  RunSetup setup;
  setup.files = ExampleFiles;
  setup.input = "\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6501: WRITE(CON", 6501));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files.count("KORVENAL.dat"), 0u);
}

TEST(WholeRun, NullStandardInputRunsWithoutStopping) {
  RunSetup setup;
  setup.files = ExampleFiles;
  RunResult result = runTool(setup);  // standard input is /dev/null
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.files["KORVENAL.dat"], ExampleTable);
}

}  // namespace
}  // namespace korvenal::testing

namespace korvenal::testing {
namespace {

const std::string OneRow = dataFile({row("300", "10000", "1")});

// Blank data file names take the command-line arguments in turn, then ask.
TEST(WholeRunNames, BlankNamesFromArgumentsThenThePrompt) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n0 1\r\n\r\n300\r\n\r\n300\r\n   \r\n300\r\n\r\n"},
                 {"a.dat", OneRow}, {"b.dat", OneRow}, {"c.dat", OneRow}};
  setup.arguments = {"a.dat", "b.dat"};
  setup.input = "\n\n  \nc.dat\n\n\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const std::string prompt = "File name missing or blank - please enter file name\r\nUNIT 12? ";
  const std::string thirdHeading = "\r\nLeyendo fichero: " + blanks(50) +
                                   "\r\nTemperatura:      300.000000" + "\r\n" + prompt + prompt +
                                   "\r\n" + "\r\n" + blanks(50) + "\r\n=============";
  EXPECT_NE(result.out.find(thirdHeading), std::string::npos) << result.out;
  EXPECT_EQ(result.files.size(), 5u);  // nothing created for the names
}

TEST(WholeRunNames, EndOfInputAtTheNamePromptEndsTheRun) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n0 1\r\n\r\n300\r\n\r\n"}};
  setup.input = "";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6501: OPEN(", 6501));
  EXPECT_EQ(result.status, 1);
}

TEST(WholeRunNames, ControlFileReachedByAnotherNameIsConnectedElsewhere) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n0 1\r\n\r\n300\r\nlink.dat\r\n"}};
  setup.symlinks = {{"link.dat", "KORVENAL.inp"}};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6413: OPEN(link.dat", 6413));
  EXPECT_EQ(result.status, 1);
}

TEST(WholeRunNames, FolderAsDataFileIsAccessDenied) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n0 1\r\n\r\n300\r\nsub\r\n"}};
  setup.folders = {"sub"};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6414: OPEN(sub", 6414));
  EXPECT_EQ(result.status, 1);
}

TEST(WholeRunNames, NullDeviceDataFileCreatesNothing) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "1\r\n0 1\r\n\r\n300\r\nnul.dat\r\n"}};
  RunResult result = runTool(setup);
  // The null device ends at once: the header search meets the end.
  EXPECT_EQ(result.err, report("F6501: READ(nul", 6501));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files.size(), 1u);
}

}  // namespace
}  // namespace korvenal::testing

namespace korvenal::testing {
namespace {

// A read-only existing table is connected read-only; the first write is
// refused and the old content stays. Root ignores permission bits, so the
// run drops to user nobody.
TEST(WholeRunTable, ReadOnlyTableRefusesTheFirstWriteAndKeepsItsContent) {
  if (runningAsRoot() && !canDropPrivileges()) GTEST_SKIP() << "cannot run as an unprivileged user here";
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}, {"KORVENAL.dat", "old table\r\n"}};
  setup.readOnly = {"KORVENAL.dat"};
  if (runningAsRoot()) setup.runAsUser = "nobody";
  setup.input = "\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6421: WRITE(KORVENAL.dat", 6421));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.files["KORVENAL.dat"], "old table\r\n");
}

// A table that lands on a full device is reported, never lost silently.
TEST(WholeRunTable, FullDeviceIsReported) {
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}};
  setup.symlinks = {{"KORVENAL.dat", "/dev/full"}};
  setup.input = "\n";
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6422: CLOSE(KORVENAL.dat", 6422));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, " No temperaturas           0\r\n" + PausePrompt + "\r\n");
}

// A write that fails while the table is being written (the first full
// block) is reported once; the end-of-run release does not try it again.
TEST(WholeRunTable, FailedBlockWriteIsReportedOnce) {
  std::string fields;
  for (int f = 0; f < 20; ++f) fields += "1 ";
  std::string control = "1\r\n20 1\r\n" + fields + "\r\n";
  for (int i = 0; i < 10; ++i) control += std::to_string(300 + i) + "\r\nd.dat\r\n";
  RunSetup setup;
  setup.files = {{"KORVENAL.inp", control}, {"d.dat", dataFile({})}};
  setup.symlinks = {{"KORVENAL.dat", "/dev/full"}};
  RunResult result = runTool(setup);
  EXPECT_EQ(result.err, report("F6422: WRITE(KORVENAL.dat", 6422));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out.substr(result.out.size() - PausePrompt.size() - 2), PausePrompt + "\r\n");
}

}  // namespace
}  // namespace korvenal::testing
