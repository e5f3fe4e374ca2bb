// How the run ends: the failure report on standard error and the exit.
// One function writes the report; one path releases the units and ends the
// process. Nothing else writes to standard error or ends the process.
#pragma once

#include <string_view>

#include "records/read_outcome.h"

namespace korvenal {

enum class Statement { Open, Close, Read, Write, Math };

// Failure numbers of connections, writes and releases.
namespace failure {
inline constexpr int InvalidArgument = 6412;
inline constexpr int ConnectedElsewhere = 6413;
inline constexpr int AccessDenied = 6414;
inline constexpr int FileExists = 6415;
inline constexpr int FileNotFound = 6416;
inline constexpr int TooManyOpenFiles = 6417;
inline constexpr int OpenFailed = 6418;  // a connection failing for any other cause
inline constexpr int WriteRefused = 6421;
inline constexpr int DiskFull = 6422;
inline constexpr int WriteFailed = 6423;  // any other failed or short write
}  // namespace failure

enum class ArithmeticFault { Invalid = 6101, DivideByZero = 6103, Overflow = 6104 };

struct RunFailure {
  char letter = 'F';
  int number = 0;
  Statement statement = Statement::Read;
  std::string_view unitName;
  std::string_view message;
};

// The one-line message for an F failure number.
std::string_view failureMessage(int number);

// Writes the report to standard error, piece by piece, unbuffered.
void writeReport(const RunFailure& failure);

// A failed input or output statement. Returns the outcome to hand back when
// `handling` takes it back; otherwise writes the report and ends the run with
// status 1. It returns after a report only while the end-of-run release is
// already running (the caller then stops); that outcome is an Error.
ReadOutcome failStatement(int number, Statement statement, std::string_view unitName,
                          bool isEndOfFile, ReadHandling handling);

// Shorthand for the unhandled failures of connections, writes and releases.
inline void failUnhandled(int number, Statement statement, std::string_view unitName) {
  failStatement(number, statement, unitName, false, ReadHandling::NoHandling);
}

// Writes `failure` as a report and ends the run with status 1 (returns only
// while the end-of-run release is already running).
void failReport(const RunFailure& failure);

// A trapped arithmetic fault: reports it and ends the run.
[[noreturn]] void failArithmetic(ArithmeticFault fault);

// Ends the process: releases every unit once, then exits with `status`.
// Called again while the release runs (a report made during it), it returns.
void exitRun(int status);

// True once exitRun has started.
bool runIsEnding();

}  // namespace korvenal
