// The failure report and the one way out of the process.
#include "runtime/failure.h"

#include <array>

#include "runtime/os.h"
#include "runtime/units.h"

namespace korvenal {
namespace {

// The F failures and their one-line messages.
//
//   number  meaning
//   6100    an integer value or repeat count beyond the 32-bit range
//   6101    an integer value or repeat count that is not an integer
//   6102    a real value beyond the double-precision range
//   6103    a real value that is not a number
//   6104    a real value beyond the single-precision range
//   6302    an integer in base notation with a second "#"
//   6303    the base of an integer outside 2 to 36
//   6405    a read after the end of the file was already met
//   6407    a typed line longer than the console buffer
//   6412    a name or request the system rejected
//   6413    the file is already connected to another unit
//   6414    access to the file was refused (protection, a folder, a lock)
//   6415    the file appeared while it was being created
//   6416    the file or a folder of its path does not exist
//   6417    no file handle left
//   6418    the connection failed for another cause
//   6421    a write refused: no write access, or the file is locked
//   6422    a write found the device full
//   6423    any other failed or short write to a file
//   6500    the system's read failed
//   6501    the end of the file
//   6502    a repeat count below 1
//   6503    a repeat count given to a value that already has one
//   6504    a quoted or parenthesised value where a number belongs
struct Message {
  int number;
  std::string_view text;
};

constexpr std::array<Message, 24> Messages{{
    {6100, "integer value out of range"},
    {6101, "invalid integer value"},
    {6102, "real value out of double-precision range"},
    {6103, "invalid real value"},
    {6104, "real value out of single-precision range"},
    {6302, "second # in an integer in base notation"},
    {6303, "base of an integer not in 2 to 36"},
    {6405, "read past the end of the file"},
    {6407, "typed line too long"},
    {6412, "file name or request not accepted by the system"},
    {6413, "file already connected to another unit"},
    {6414, "access to the file denied"},
    {6415, "file already exists"},
    {6416, "file or folder not found"},
    {6417, "too many open files"},
    {6418, "file could not be opened"},
    {6421, "write refused: no write access or file locked"},
    {6422, "no space left on the device"},
    {6423, "write failed or incomplete"},
    {6500, "system read failed"},
    {6501, "end of file"},
    {6502, "repeat count below 1"},
    {6503, "repeat count given twice"},
    {6504, "quoted or parenthesised value given for a number"},
}};

constexpr std::string_view UnknownMessage = "input or output failure";

bool ending = false;

// Arithmetic messages are this fixed prefix followed by the fault's name.
constexpr std::string_view MathPrefix = "floating-point error: ";

void writePiece(std::string_view piece) {
  if (piece.empty()) return;
  os::Os& system = os::system();
  // A failure to write the report itself is ignored; the run still ends.
  system.write(system.standardHandle(os::StandardStream::Error),
               reinterpret_cast<const unsigned char*>(piece.data()), static_cast<std::int64_t>(piece.size()));
}

std::string_view labelOf(Statement statement) {
  switch (statement) {
    case Statement::Open: return ": OPEN(";
    case Statement::Close: return ": CLOSE(";
    case Statement::Read: return ": READ(";
    case Statement::Write: return ": WRITE(";
    case Statement::Math: return ": MATH\r\n- ";
  }
  return ": READ(";
}

std::string_view messageOf(ArithmeticFault fault) {
  switch (fault) {
    case ArithmeticFault::Invalid: return "invalid";
    case ArithmeticFault::DivideByZero: return "divide by zero";
    case ArithmeticFault::Overflow: return "overflow";
  }
  return "invalid";
}

}  // namespace

std::string_view failureMessage(int number) {
  for (const Message& message : Messages) {
    if (message.number == number) return message.text;
  }
  return UnknownMessage;
}

// 6501 on a read of "KORVENAL.inp" ->
//   "\r\n" "run-time error " "F" "6501" ": READ(" "KORVENAL.inp" ")\r\n- " "end of file" "\r\n"
void writeReport(const RunFailure& failure) {
  char digits[4];
  int rest = failure.number % 10000;
  if (rest < 0) rest = -rest;
  for (int i = 3; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + rest % 10);
    rest /= 10;
  }
  writePiece("\r\n");
  writePiece("run-time error ");
  writePiece(std::string_view(&failure.letter, 1));
  writePiece(std::string_view(digits, 4));
  writePiece(labelOf(failure.statement));
  if (failure.statement != Statement::Math) {
    writePiece(failure.unitName);
    writePiece(failure.message.empty() ? ")\r\n" : ")\r\n- ");
  }
  std::string_view message = failure.message;
  if (failure.statement == Statement::Math && message.substr(0, MathPrefix.size()) == MathPrefix) {
    writePiece(MathPrefix);
    message.remove_prefix(MathPrefix.size());
  }
  writePiece(message);
  writePiece("\r\n");
}

ReadOutcome failStatement(int number, Statement statement, std::string_view unitName, bool isEndOfFile,
                          ReadHandling handling) {
  if (handling == ReadHandling::AllHandled) {
    return isEndOfFile ? ReadOutcome::endOfFile(number) : ReadOutcome::error(number);
  }
  if (isEndOfFile && handling == ReadHandling::EndHandled) return ReadOutcome::endOfFile(number);
  failReport({'F', number, statement, unitName, failureMessage(number)});
  return ReadOutcome::error(number);
}

void failReport(const RunFailure& failure) {
  writeReport(failure);
  exitRun(1);
}

void failArithmetic(ArithmeticFault fault) {
  const std::string_view name = messageOf(fault);
  char message[64];
  std::size_t length = 0;
  for (char c : MathPrefix) message[length++] = c;
  for (char c : name) message[length++] = c;
  writeReport({'M', static_cast<int>(fault), Statement::Math, {}, std::string_view(message, length)});
  exitRun(1);
  // Only reached while the end-of-run release already runs; no computation
  // may go on after the fault, so the process ends here with status 1.
  for (;;) os::system().exitProcess(1);
}

void exitRun(int status) {
  if (ending) return;
  ending = true;
  releaseAllUnits();
  os::system().exitProcess(status);
}

bool runIsEnding() { return ending; }

}  // namespace korvenal
