// Table lines collected in a 1024-byte block.
//
// A line is built by write statements: each put appends a field to the open
// line, `finishWrite` ends the statement and, unless it is continued, the
// line. Blank positions asked for are held back and written only in front of
// a field that follows on the same line:
//   putText(" T/B    ", 8), putBlanks(4), finishWrite(true),
//   putBlanks(4), putFixed(1.0, 5, 2), putBlanks(4), finishWrite(false)
//   -> " T/B    " + 8 blanks + " 1.00" + CR LF
#include "records/table_writer.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "records/fixed_format.h"

namespace korvenal {
namespace {

// Begins a write statement at its first put (or at an empty write), before
// any of its bytes can reach the sink. False once the writer has failed.
bool beginStatement(TableWriter& writer) {
  assert(writer.sink != nullptr);
  if (writer.failed) return false;
  if (!writer.inStatement) {
    writer.inStatement = true;
    if (!writer.sink->beginStatement()) writer.failed = true;
  }
  return !writer.failed;
}

// Makes room for at least one byte: a full block goes to the sink first.
bool makeRoom(TableWriter& writer) {
  if (writer.used < TableBlockSize) return true;
  if (!writer.sink->writeBytes(writer.buffer, TableBlockSize)) {
    writer.failed = true;
    return false;
  }
  writer.used = 0;
  return true;
}

void appendBytes(TableWriter& writer, const unsigned char* bytes, std::int32_t count) {
  while (count > 0 && !writer.failed && makeRoom(writer)) {
    const std::int32_t part = std::min(count, TableBlockSize - writer.used);
    std::memcpy(writer.buffer + writer.used, bytes, static_cast<std::size_t>(part));
    writer.used += part;
    bytes += part;
    count -= part;
  }
}

void appendBlanks(TableWriter& writer, std::int32_t count) {
  while (count > 0 && !writer.failed && makeRoom(writer)) {
    const std::int32_t part = std::min(count, TableBlockSize - writer.used);
    std::memset(writer.buffer + writer.used, ' ', static_cast<std::size_t>(part));
    writer.used += part;
    count -= part;
  }
}

// Writes the blank positions held back for the field about to be placed.
void placePendingBlanks(TableWriter& writer) {
  const std::int32_t blanks = writer.pendingBlanks;
  writer.pendingBlanks = 0;
  appendBlanks(writer, blanks);
}

}  // namespace

void attachTableWriter(TableWriter& writer, ByteSink* sink) {
  writer = TableWriter{};
  writer.sink = sink;
}

void putText(TableWriter& writer, std::string_view text, int width) {
  assert(width >= 0);
  if (!beginStatement(writer)) return;
  placePendingBlanks(writer);
  // "abc" at width 5 -> "  abc"; "abcdefgh" at width 5 -> "abcde".
  const auto length = static_cast<std::int32_t>(std::min(text.size(), static_cast<std::size_t>(width)));
  appendBlanks(writer, width - length);
  appendBytes(writer, reinterpret_cast<const unsigned char*>(text.data()), length);
}

void putBlanks(TableWriter& writer, int count) {
  assert(count >= 0);
  writer.pendingBlanks += count;
}

void putFixed(TableWriter& writer, float value, int width, int decimals) {
  if (!beginStatement(writer)) return;
  placePendingBlanks(writer);
  const FieldText field = editFixed(value, width, decimals);
  appendBytes(writer, reinterpret_cast<const unsigned char*>(field.bytes), field.length);
}

void finishWrite(TableWriter& writer, bool continued) {
  const bool writing = beginStatement(writer);
  writer.inStatement = false;
  if (continued) return;  // blank positions asked for stay pending
  writer.pendingBlanks = 0;
  static constexpr unsigned char LineEnd[] = {13, 10};
  if (writing) appendBytes(writer, LineEnd, 2);
}

bool close(TableWriter& writer) {
  if (writer.failed) return false;
  if (writer.used > 0) {
    if (!writer.sink->writeBytes(writer.buffer, writer.used)) writer.failed = true;
    writer.used = 0;
  }
  return !writer.failed;
}

}  // namespace korvenal
