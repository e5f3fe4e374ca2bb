// The pause prompt: which replies run a command, how the interpreter is
// found, a real command run from a terminal, and the end of redirected input.
#include "runtime/pause.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "runtime/failure.h"
#include "support.h"

namespace korvenal {
namespace {

using testing::report;
using Calls = std::vector<std::vector<std::string>>;

const std::string Prompt = "Pause - Please enter a blank line (to continue) or a DOS command.\r\n";

// Enter alone and one character go on; trailing blanks and tabs are removed,
// leading ones kept; without an interpreter setting the system shell runs it.
TEST(Pause, RepliesThatRunACommand) {
  struct Case {
    Calls expected;
    std::string typed;
  };
  const Case cases[] = {
      {{}, "\n"},
      {{}, "y\n"},
      {{}, "y \t \r\n"},
      {{}, " \n"},
      {{{"/bin/sh", "/bin/sh", "-c", "ls -l"}}, "ls -l \t \n"},
      {{{"/bin/sh", "/bin/sh", "-c", "  dir"}}, "  dir\n"},
      {{{"/bin/sh", "/bin/sh", "-c", "ab"}}, "ab\n"},
  };
  for (const Case& c : cases) {
    testing::ScriptedConsoleOs fake;
    fake.typed = {c.typed};
    testing::Installed installed(fake);
    pausePrompt();
    EXPECT_EQ(fake.out, Prompt);
    EXPECT_EQ(fake.spawned, c.expected) << c.typed;
  }
}

// COMSPEC first with "/c"; when it is unset or cannot be started, "cmd.exe"
// in the current directory and then on PATH; when there is none, the system
// shell. A start that fails for another reason is not retried.
TEST(Pause, FindingTheInterpreter) {
  using os::SpawnStatus;
  struct Case {
    Calls expected;
    std::map<std::string, std::string> variables;
    std::vector<std::string> executables;
    std::map<std::string, SpawnStatus> results;
  };
  const Case cases[] = {
      {{{"C:\\cmd.exe", "C:\\cmd.exe", "/c", "dir x"}}, {{"COMSPEC", "C:\\cmd.exe"}}, {}, {}},
      {{{"/i/sh", "/i/sh", "/c", "dir x"}}, {{"COMSPEC", "/i/sh"}}, {"cmd.exe"}, {{"/i/sh", SpawnStatus::Failed}}},
      {{{"/i/sh", "/i/sh", "/c", "dir x"}, {"cmd.exe", "cmd.exe", "/c", "dir x"}},
       {{"COMSPEC", "/i/sh"}},
       {"cmd.exe"},
       {{"/i/sh", SpawnStatus::NotFound}}},
      {{{"/b/cmd.exe", "/b/cmd.exe", "/c", "dir x"}}, {{"PATH", "/a:/b:/c"}}, {"/b/cmd.exe", "/c/cmd.exe"}, {}},
      {{{"/a/cmd.exe", "/a/cmd.exe", "/c", "dir x"}, {"/b/cmd.exe", "/b/cmd.exe", "/c", "dir x"}},
       {{"PATH", "/a:/b"}},
       {"/a/cmd.exe", "/b/cmd.exe"},
       {{"/a/cmd.exe", SpawnStatus::AccessDenied}}},
      {{{"./cmd.exe", "./cmd.exe", "/c", "dir x"}}, {{"PATH", "/a::/b"}}, {"./cmd.exe"}, {}},
      {{{"/bin/sh", "/bin/sh", "-c", "dir x"}}, {{"PATH", "/a:/b"}}, {}, {}},
      {{{"/i/sh", "/i/sh", "/c", "dir x"}, {"/bin/sh", "/bin/sh", "-c", "dir x"}},
       {{"COMSPEC", "/i/sh"}},
       {},
       {{"/i/sh", SpawnStatus::AccessDenied}}},
  };
  for (const Case& c : cases) {
    testing::ScriptedConsoleOs fake;
    fake.variables = c.variables;
    fake.executables = c.executables;
    fake.spawnResults = c.results;
    testing::Installed installed(fake);
    runCommandLine("dir x");
    EXPECT_EQ(fake.spawned, c.expected);
  }
}

class PauseRun : public testing::InTempDir {};

// A command typed at the prompt runs through the system shell and the pause
// waits for it: the file it creates is there when the pause returns.
TEST_F(PauseRun, TypedCommandCreatesAFile) {
  testing::Terminal terminal;
  if (!testing::openTerminal(terminal)) GTEST_SKIP() << "no pseudo-terminal available";
  const std::string typed = "sleep 0.2; echo made > made.txt   \n";
  ASSERT_EQ(::write(terminal.master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  const testing::ChildRun run = testing::runInChild(
      [] {
        unsetenv("COMSPEC");
        setenv("PATH", "/usr/bin:/bin", 1);
        pausePrompt();
        const bool made = access("made.txt", F_OK) == 0;
        ::write(2, made ? "made" : "missing", made ? 4 : 7);
        exitRun(0);
      },
      {terminal.slave, -1});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, Prompt);
  EXPECT_EQ(run.err, "made");
  EXPECT_EQ(testing::readFile(dir / "made.txt"), "made\n");
}

// A redirected input without a line left ends the run at the pause with the
// end-of-file report for the console.
TEST(Pause, EndOfRedirectedInput) {
  const testing::ChildRun run = testing::runInChild([] { pausePrompt(); }, {testing::inputOf("", false), -1});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, Prompt);
  EXPECT_EQ(run.err, report('F', "6501", ": WRITE(", "CON", "end of file"));
}

// A redirected reply keeps its first 128 characters; the rest of its line
// is dropped and the next pause reads the next line.
TEST(Pause, LongRedirectedReplyKeeps128Characters) {
  if (!testing::lineSourceIsBuilt()) GTEST_SKIP() << "the line source is not built yet";
  const std::string reply = "echo " + std::string(200, 'x');
  testing::ScriptedConsoleOs fake;
  fake.interactive = false;
  fake.typed = {reply + "\nnext\n"};
  testing::Installed installed(fake);
  pausePrompt();
  pausePrompt();
  const Calls expected = {{"/bin/sh", "/bin/sh", "-c", reply.substr(0, 128)}, {"/bin/sh", "/bin/sh", "-c", "next"}};
  EXPECT_EQ(fake.spawned, expected);
  EXPECT_EQ(fake.out, Prompt + Prompt);
}

}  // namespace
}  // namespace korvenal
