// The console connection: progress messages and prompts on standard output,
// replies from standard input.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/console_writer.h"
#include "records/line_source.h"
#include "runtime/failure.h"

namespace korvenal {

// Makes the console connection(s) from the standard handles; once, at start-up.
void connectConsole();
// The writer of progress messages on standard output.
ConsoleWriter& console();
// The console's input line source (reads through standard input).
LineSource& consoleInput();
// Whether standard input / standard output are interactive character devices.
bool inputIsInteractive();
bool outputIsInteractive();
// Writes a prompt straight to standard output, not as a message record.
void writePrompt(std::string_view text);
// Reads one reply line from standard input into `buffer` (at most `capacity`
// characters, line end excluded) and returns how many were stored. The end of
// a redirected input ends the run with the end-of-file report labelled
// `statement` with the name `unitName`.
std::int32_t readConsoleLine(char* buffer, std::int32_t capacity, Statement statement,
                             std::string_view unitName);
// The same read; with `interactiveEndEndsRun` a read of 0 bytes from an
// interactive standard input ends the run with the end-of-file report as
// well (the file-name prompt), instead of giving an empty line (the pause).
// Returns -1 when the end of input was reported while the run was already
// ending.
std::int32_t readConsoleReply(char* buffer, std::int32_t capacity, Statement statement,
                              std::string_view unitName, bool interactiveEndEndsRun);

}  // namespace korvenal
