// Test input for a line source: bytes held in memory, delivered in blocks of
// a chosen size (or one typed line per read, like an interactive console),
// with a read that can be made to fail.
#pragma once

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

#include "records/line_source.h"
#include "records/read_outcome.h"

namespace korvenal {

// How test failures show an outcome: "Error 6103".
inline void PrintTo(const ReadOutcome& outcome, std::ostream* out) {
  const char* kinds[] = {"Ok", "Error", "EndOfFile"};
  *out << kinds[static_cast<int>(outcome.kind)] << " " << outcome.number;
}

}  // namespace korvenal

namespace korvenal::test {

class MemorySource final : public BlockSource {
 public:
  explicit MemorySource(std::string_view bytes, std::int32_t blockSize = FileBlockSize)
      : bytes_(bytes), blockSize_(blockSize) {}

  BlockRead readBlock(unsigned char* into, std::int32_t capacity) override {
    ++reads;
    if (reads == failingRead) return {0, true};
    std::size_t count = std::min<std::size_t>(
        {bytes_.size() - offset_, static_cast<std::size_t>(capacity), static_cast<std::size_t>(blockSize_)});
    if (typedLines) {
      // One typed line per read: up to and including its LF.
      const std::size_t lf = bytes_.find('\n', offset_);
      if (lf != std::string::npos) count = std::min(count, lf + 1 - offset_);
    }
    std::memcpy(into, bytes_.data() + offset_, count);
    offset_ += count;
    return {static_cast<std::int32_t>(count), false};
  }

  int reads = 0;
  int failingRead = 0;     // this read (counted from 1) fails
  bool typedLines = false;  // each read delivers at most one line

 private:
  std::string bytes_;
  std::size_t offset_ = 0;
  std::int32_t blockSize_;
};

// A line source over in-memory bytes.
struct MemoryInput {
  explicit MemoryInput(std::string_view bytes, std::int32_t blockSize = FileBlockSize,
                       DeviceMode mode = {})
      : source(bytes, blockSize) {
    attachLineSource(line, &source, mode);
  }
  MemoryInput(const MemoryInput&) = delete;
  MemoryInput& operator=(const MemoryInput&) = delete;

  MemorySource source;
  LineSource line;
};

// Every byte the line source still delivers, up to the end of the input.
inline std::string restOf(LineSource& line) {
  std::string rest;
  for (int c = nextByte(line); c >= 0; c = nextByte(line)) rest += static_cast<char>(c);
  return rest;
}

}  // namespace korvenal::test
