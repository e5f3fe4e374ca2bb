// The run on a real terminal: the pause reads typed lines, and the screen
// shows exactly what a redirected run writes to standard output.
#include <gtest/gtest.h>

#include "support/pty_harness.h"
#include "support/run_harness.h"
#include "support/run_text.h"

namespace korvenal::testing {
namespace {

const std::map<std::string, std::string> NoEntries = {{"KORVENAL.inp", "0.5\r\n1 1\r\n2.5\r\n"}};

TEST(TerminalRun, EnterAtThePauseGoesOn) {
  const TerminalRun run = runOnTerminal(NoEntries, "\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.screen, " No temperaturas           0\r\n" + PausePrompt + "\r\n");
  EXPECT_EQ(run.files.at("KORVENAL.dat"), " T/B    " + blanks(8) + " 2.50\r\n");
}

TEST(TerminalRun, EndOfInputAtThePauseCountsAsABlankReply) {
  const TerminalRun run = runOnTerminal(NoEntries, "\x04");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.files.count("KORVENAL.dat"), 1u);
}

TEST(TerminalRun, TypedCommandRunsBeforeTheRunGoesOn) {
  const TerminalRun run = runOnTerminal(NoEntries, "touch typed.txt\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.files.count("typed.txt"), 1u);
  EXPECT_EQ(run.files.count("KORVENAL.dat"), 1u);
}

TEST(TerminalRun, SameScreenAsARedirectedRun) {
  const std::map<std::string, std::string> files = {
      {"KORVENAL.inp", "0.01\r\n1 1\r\n1.0\r\n300\r\na.dat\r\n302\r\nb.dat\r\n"},
      {"a.dat", dataFile({row("300", "0", "0"), row("300", "10000", "10")})},
      {"b.dat", dataFile({row("302", "0", "0"), row("302", "10000", "8")})},
  };
  const TerminalRun onTerminal = runOnTerminal(files, "\n\n\n");
  RunSetup setup;
  setup.files = files;
  setup.input = "\n\n\n";
  const RunResult redirected = runTool(setup);
  EXPECT_EQ(onTerminal.status, 0);
  EXPECT_EQ(onTerminal.screen, redirected.out);
  EXPECT_EQ(onTerminal.files.at("KORVENAL.dat"), redirected.files.at("KORVENAL.dat"));
}

}  // namespace
}  // namespace korvenal::testing
