// What a read operation hands back to its caller, and which outcomes the
// caller asked to get back instead of having the run end.
#pragma once

namespace korvenal {

enum class ReadHandling { NoHandling, EndHandled, AllHandled };

struct ReadOutcome {
  enum class Kind { Ok, Error, EndOfFile };
  Kind kind = Kind::Ok;
  int number = 0;  // failure number for Error and EndOfFile (6501 or 6405)

  static constexpr ReadOutcome ok() { return {}; }
  static constexpr ReadOutcome error(int n) { return {Kind::Error, n}; }
  static constexpr ReadOutcome endOfFile(int n = 6501) { return {Kind::EndOfFile, n}; }
  constexpr bool isOk() const { return kind == Kind::Ok; }
  friend constexpr bool operator==(const ReadOutcome&, const ReadOutcome&) = default;
};

// Failure numbers of the readers.
namespace failure {
inline constexpr int IntegerOverflow = 6100;
inline constexpr int InvalidInteger = 6101;
inline constexpr int RealBeyondDouble = 6102;
inline constexpr int InvalidReal = 6103;
inline constexpr int RealBeyondSingle = 6104;
inline constexpr int SecondHash = 6302;
inline constexpr int BadBase = 6303;
inline constexpr int EndAlreadyReached = 6405;
inline constexpr int TypedLineTooLong = 6407;
inline constexpr int SystemReadFailed = 6500;
inline constexpr int EndOfFile = 6501;
inline constexpr int RepeatBelowOne = 6502;
inline constexpr int RepeatOnRepeat = 6503;
inline constexpr int QuotedNumber = 6504;
}  // namespace failure

}  // namespace korvenal
