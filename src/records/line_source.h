// The input side of a unit: the file's bytes in order, divided into lines.
// A line ends at LF; a CR acts as a line end and hides the rest of its line;
// a last line without LF is complete; once the end of the file is met the
// end-of-file mark stays set (for a file). Bytes arrive in blocks from a
// `BlockSource`, never one system call per byte.
#pragma once

#include <cstdint>

namespace korvenal {

// Where a line source gets its blocks: a file, a device or a test's bytes.
struct BlockRead {
  std::int32_t count = 0;  // bytes delivered; 0 at the end of the input
  bool failed = false;     // the system's read failed
};

class BlockSource {
 public:
  virtual ~BlockSource() = default;
  virtual BlockRead readBlock(unsigned char* into, std::int32_t capacity) = 0;
};

inline constexpr std::int32_t FileBlockSize = 1024;
inline constexpr std::int32_t DeviceBlockSize = 132;
// Blocks for reading a large file in one go (see readInBlocksOf).
inline constexpr std::int32_t LargeBlockSize = 64 * 1024;

// How the source behaves: a file, or a device (the console and the other
// reserved device names), which reads typed lines into a 132-byte buffer.
struct DeviceMode {
  bool isDevice = false;
  bool interactiveInput = false;  // standard input is a character device
  bool interactiveBoth = false;   // standard input and output both are
};

// nextByte's answer: a byte 0..255, or one of these.
inline constexpr int EndOfInput = -1;
inline constexpr int ReadFailed = -2;
inline constexpr int TypedLineOverflow = -3;  // a typed line longer than the device buffer

struct LineSource {
  BlockSource* source = nullptr;
  DeviceMode mode;
  std::int32_t capacity = FileBlockSize;  // FileBlockSize or DeviceBlockSize
  std::int32_t length = 0;                // bytes in buffer
  std::int32_t position = 0;              // next byte to deliver
  bool atEndOfFile = false;               // the end-of-file mark (sticky for a file)
  bool endPending = false;  // the source has ended; the next fill is the end of input
  unsigned char* bytes = nullptr;  // the buffer in use: `buffer`, or storage lent by readInBlocksOf
  unsigned char buffer[FileBlockSize] = {};
};

// Makes `line` ready to read from `source` from its start.
void attachLineSource(LineSource& line, BlockSource* source, DeviceMode mode);

// From now on reads `line` in blocks of `size` bytes (at least FileBlockSize)
// into `storage`, which must stay untouched by anything else until the line
// source is attached anew. The bytes already buffered move along, so nothing
// read changes; only the system calls become fewer. A device keeps its typed
// lines and is left as it is.
void readInBlocksOf(LineSource& line, unsigned char* storage, std::int32_t size);

// Fills the buffer with the next block and delivers its first byte; the slow
// path of nextByte. Returns a byte, or EndOfInput / ReadFailed / TypedLineOverflow.
int refillAndNext(LineSource& line);

// Delivers the next byte and advances, refilling the buffer when it is used up.
// Bytes come raw (a CR is delivered like any other byte). When the last line
// lacks its LF, one LF is delivered after its last byte. At the end of the
// input sets the end-of-file mark and returns EndOfInput.
inline int nextByte(LineSource& line) {
  if (line.position < line.length) return line.bytes[line.position++];
  return refillAndNext(line);
}

// Steps back over the byte just delivered by nextByte.
void unread(LineSource& line);

// Delivers and drops bytes up to and including the next LF.
// Returns 0, or EndOfInput / ReadFailed / TypedLineOverflow.
int finishLine(LineSource& line);

// True when a read operation beginning now must end at once with EndOfFile
// 6405: the mark is set on a file. A device's mark does not stay set: it is
// cleared here and the device is read again.
bool endMarkHolds(LineSource& line);

// After a read outcome other than Ok on a device: drop the rest of the
// buffered typed line when standard input and output are both interactive.
void discardAfterFailure(LineSource& line);

}  // namespace korvenal
