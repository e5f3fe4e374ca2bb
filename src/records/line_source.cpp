// Block buffering of a unit's input, the last line's missing LF, the end of
// input and the typed lines of a device.
#include "records/line_source.h"

#include <cassert>
#include <cstring>

namespace korvenal {

namespace {

constexpr unsigned char LineFeed = 10;
constexpr unsigned char CtrlZ = 26;

// Marks the end of the input and empties the buffer. A file keeps the mark;
// a device's mark is cleared when the next read operation begins.
int endOfInput(LineSource& line) {
  line.atEndOfFile = true;
  line.endPending = false;
  line.length = 0;
  line.position = 0;
  return EndOfInput;
}

// Reads the next block into the buffer. Returns 0 with at least one byte
// buffered, or EndOfInput / ReadFailed / TypedLineOverflow.
int fill(LineSource& line) {
  assert(line.source != nullptr);
  if (line.endPending || (line.atEndOfFile && !line.mode.isDevice)) return endOfInput(line);
  // The last byte of the previous block decides whether the input ended
  // inside a line: then that line gets its LF before the end.
  const bool insideLine = line.length > 0 && line.bytes[line.length - 1] != LineFeed;
  const BlockRead got = line.source->readBlock(line.bytes, line.capacity);
  if (got.failed) {
    line.position = line.length;
    return ReadFailed;
  }
  std::int32_t count = got.count < line.capacity ? got.count : line.capacity;
  if (count <= 0) {
    if (!insideLine) return endOfInput(line);
    line.bytes[0] = LineFeed;
    line.length = 1;
    line.position = 0;
    line.endPending = true;
    return 0;
  }
  if (line.mode.isDevice) {
    // "abc", Ctrl-Z, CR, LF typed on a console: the end of the input.
    if (count >= 3 && line.bytes[count - 3] == CtrlZ) return endOfInput(line);
    // One fill is one typed line; a full buffer without its LF did not hold it.
    if (line.mode.interactiveInput && count == line.capacity &&
        line.bytes[count - 1] != LineFeed) {
      line.length = 0;
      line.position = 0;
      return TypedLineOverflow;
    }
  }
  line.length = count;
  line.position = 0;
  return 0;
}

}  // namespace

void attachLineSource(LineSource& line, BlockSource* source, DeviceMode mode) {
  line.source = source;
  line.mode = mode;
  line.capacity = mode.isDevice ? DeviceBlockSize : FileBlockSize;
  line.bytes = line.buffer;
  line.length = 0;
  line.position = 0;
  line.atEndOfFile = false;
  line.endPending = false;
}

void readInBlocksOf(LineSource& line, unsigned char* storage, std::int32_t size) {
  assert(storage != nullptr && size >= FileBlockSize);
  if (line.mode.isDevice || line.bytes == storage) return;
  std::memcpy(storage, line.bytes, static_cast<std::size_t>(line.length));
  line.bytes = storage;
  line.capacity = size;
}

int refillAndNext(LineSource& line) {
  const int got = fill(line);
  if (got < 0) return got;
  return line.bytes[line.position++];
}

void unread(LineSource& line) {
  assert(line.position > 0);
  --line.position;
}

int finishLine(LineSource& line) {
  for (;;) {
    const unsigned char* start = line.bytes + line.position;
    const auto* lf = static_cast<const unsigned char*>(
        std::memchr(start, LineFeed, static_cast<std::size_t>(line.length - line.position)));
    if (lf != nullptr) {
      line.position = static_cast<std::int32_t>(lf - line.bytes) + 1;
      return 0;
    }
    line.position = line.length;
    const int got = fill(line);
    if (got < 0) return got;
  }
}

bool endMarkHolds(LineSource& line) {
  if (!line.atEndOfFile) return false;
  if (!line.mode.isDevice) return true;
  line.atEndOfFile = false;
  return false;
}

void discardAfterFailure(LineSource& line) {
  if (line.mode.isDevice && line.mode.interactiveBoth) line.position = line.length;
}

}  // namespace korvenal
