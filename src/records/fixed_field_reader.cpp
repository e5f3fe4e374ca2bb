// Fixed-column fields of one line, and the text comparison and assignment.
#include "records/fixed_field_reader.h"

#include <cassert>
#include <cstring>

#include "records/real_conversion.h"
#include "records/value_reader.h"
#include "records/read_failure.h"

namespace korvenal {

namespace {

constexpr unsigned char LineFeed = 10;
constexpr unsigned char CarriageReturn = 13;
constexpr unsigned char CtrlZ = 26;

ReadOutcome fail(const FixedRead& read, ReadOutcome outcome) {
  return endWithFailure(*read.line, read.unitName, read.handling, outcome);
}

// The end-of-file test of the read's first field (or of its end when it has none).
bool endAlreadyReached(FixedRead& read) {
  if (!read.firstField) return false;
  read.firstField = false;
  return endMarkHolds(*read.line);
}

}  // namespace

void beginFixedRead(FixedRead& read, LineSource& line, std::string_view unitName,
                    ReadHandling handling) {
  read.line = &line;
  read.unitName = unitName;
  read.handling = handling;
  read.firstField = true;
}

ReadOutcome readTextField(FixedRead& read, char* variable, std::int32_t length,
                          std::int32_t width) {
  assert(read.line != nullptr);
  if (endAlreadyReached(read)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  if (const int got = readTextField(*read.line, variable, length, width); got < 0) {
    return fail(read, sourceFailure(got));
  }
  return ReadOutcome::ok();
}

// The field's characters are edited into a real's text as they come:
// blanks and TABs are dropped, a leading sign or point gets a 0 ("-" -> "-0",
// ".5" -> "0.5"), a comma or a line end ends the field, byte 26 ends the file.
ReadOutcome readNumberField(FixedRead& read, float& target, std::int32_t width,
                            std::int32_t decimals) {
  assert(read.line != nullptr);
  if (endAlreadyReached(read)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  LineSource& line = *read.line;
  RealForm form;
  bool empty = true;
  for (std::int32_t i = 0; i < width; ++i) {
    const int c = nextByte(line);
    if (c < 0) return fail(read, sourceFailure(c));
    if (c == ' ' || c == '\t') continue;
    if (c == LineFeed || c == CarriageReturn) {
      unread(line);
      break;
    }
    if (c == ',') break;
    if (c == CtrlZ) {
      line.atEndOfFile = true;
      return fail(read, ReadOutcome::endOfFile(failure::EndOfFile));
    }
    if (empty && c == '.') addRealCharacter(form, '0');
    addRealCharacter(form, static_cast<unsigned char>(c));
    if (empty && (c == '+' || c == '-')) addRealCharacter(form, '0');
    empty = false;
  }
  if (empty) {
    target = 0.0f;
    return ReadOutcome::ok();
  }
  const RealResult result = convertReal(form, decimals);
  if (result.failure != 0) {
    // The faulty field's line is given up: the next read starts on the next line.
    finishLine(line);
    return fail(read, ReadOutcome::error(result.failure));
  }
  target = result.value;
  return ReadOutcome::ok();
}

ReadOutcome endFixedRead(FixedRead& read) {
  assert(read.line != nullptr);
  if (endAlreadyReached(read)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  if (const int done = finishLine(*read.line); done < 0) return fail(read, sourceFailure(done));
  return ReadOutcome::ok();
}

bool sameText(const char* a, std::int32_t aLength, const char* b, std::int32_t bLength) {
  const std::int32_t shorter = aLength < bLength ? aLength : bLength;
  if (std::memcmp(a, b, static_cast<std::size_t>(shorter)) != 0) return false;
  const char* rest = aLength > bLength ? a : b;
  const std::int32_t longer = aLength > bLength ? aLength : bLength;
  for (std::int32_t i = shorter; i < longer; ++i) {
    if (rest[i] != ' ') return false;
  }
  return true;
}

void assignText(char* target, std::int32_t targetLength, const char* source,
                std::int32_t sourceLength) {
  const std::int32_t copied = sourceLength < targetLength ? sourceLength : targetLength;
  std::memmove(target, source, static_cast<std::size_t>(copied));
  std::memset(target + copied, ' ', static_cast<std::size_t>(targetLength - copied));
}

}  // namespace korvenal
