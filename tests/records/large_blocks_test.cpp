// Reading in large blocks, and the reader's pass over whole buffered values,
// change nothing that is read: the same input read a byte per block (where
// every value is scanned byte by byte) and in large blocks gives the same
// values, outcomes and positions.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>

#include "memory_source.h"
#include "records/line_source.h"
#include "records/value_reader.h"

namespace korvenal {
namespace {

using test::MemoryInput;
using test::restOf;

unsigned char storage[LargeBlockSize];

// The bytes already buffered move to the lent storage; later fills are
// large, so there are fewer reads; nothing delivered changes.
TEST(LargeBlocks, BufferedBytesMoveAlongAndReadsBecomeFewer) {
  const std::string bytes = std::string(3000, 'a') + "b";
  MemoryInput input(bytes, LargeBlockSize);
  EXPECT_EQ('a', nextByte(input.line));
  EXPECT_EQ(1, input.source.reads);  // 1024 bytes
  readInBlocksOf(input.line, storage, LargeBlockSize);
  unread(input.line);  // the byte just delivered can still be put back
  EXPECT_EQ(bytes + "\n", restOf(input.line));
  EXPECT_EQ(3, input.source.reads);  // the other 1977 bytes at once, then the end
  EXPECT_TRUE(endMarkHolds(input.line));
}

TEST(LargeBlocks, ADeviceKeepsItsTypedLines) {
  MemoryInput input("12\n34\n", LargeBlockSize, DeviceMode{true, true, true});
  input.source.typedLines = true;
  readInBlocksOf(input.line, storage, LargeBlockSize);
  EXPECT_EQ(DeviceBlockSize, input.line.capacity);
  EXPECT_EQ(input.line.buffer, input.line.bytes);
}

// Everything one script of read operations sees, as text: per operation the
// outcome, each target's bits and whether it received a value, and whether
// a line end ended the last value. After an Error the next operation starts
// where the failure left the input, or (every other time) on the next line.
std::string readTrace(LineSource& line, std::uint64_t seed) {
  std::mt19937_64 script(seed);
  std::string trace;
  for (int operation = 0; operation < 400; ++operation) {
    ValueRead read;
    beginRead(read, line, "blocks.dat", ReadHandling::AllHandled);
    const auto targets = 1 + script() % 7;
    ReadOutcome outcome = ReadOutcome::ok();
    float reals[7] = {-7.0f, -7.0f, -7.0f, -7.0f, -7.0f, -7.0f, -7.0f};
    std::int32_t integer = -7;
    for (std::uint64_t t = 0; t < targets && outcome.isOk(); ++t) {
      const bool asInteger = script() % 5 == 0;
      outcome = asInteger ? readInteger(read, integer) : readReal(read, reals[t]);
      trace += asInteger ? std::to_string(integer) : std::to_string(std::bit_cast<std::uint32_t>(reals[t]));
      trace += read.lastTargetAssigned ? "+ " : "- ";
    }
    if (outcome.isOk()) outcome = endRead(read);
    trace += "| " + std::to_string(static_cast<int>(outcome.kind)) + " " + std::to_string(outcome.number) +
             (read.lineEndTaken ? " L\n" : "\n");
    if (outcome.kind == ReadOutcome::Kind::EndOfFile) break;
    if (!outcome.isOk() && !read.lineEndTaken && script() % 2 == 0) finishLine(line);
  }
  return trace + "rest: " + restOf(line);
}

#ifdef __SANITIZE_ADDRESS__
constexpr int Inputs = 300;
#else
constexpr int Inputs = 3000;
#endif

TEST(LargeBlocks, ValuesReadAreTheSameForEveryBlockSize) {
  const std::string_view values[] = {
      "300.0337", "1.70308399e-02", "-50.0", "5.", ".5", "1.5-3", "0012.50", "-0", "12345",
      "1234567890123456789", "1e400", "1e39", "1e-50", "1.5E", "abc", "1x", "'q'", "'a''b'", "(1,2)",
      "()", "2*", "3*1.5", "2*3*4", "*", "/", "+", "-", ".", "16#FF", "2147483648", "\x1a", "a(b)'c",
      ")", "",
  };
  const std::string_view separators[] = {",", " ", " , ", "\t", ",,", ", ", "\r\n", "\n", "\r", "  \n"};
  std::mt19937_64 random(66);
  for (int n = 0; n < Inputs; ++n) {
    std::string bytes;
    const auto count = random() % 60;
    for (std::uint64_t i = 0; i < count; ++i) {
      bytes += values[random() % std::size(values)];
      bytes += separators[random() % std::size(separators)];
    }
    if (random() % 2 == 0 && !bytes.empty()) bytes.pop_back();  // maybe no final line end
    const std::uint64_t seed = random();
    MemoryInput byteByByte(bytes, 1);
    const std::string want = readTrace(byteByByte.line, seed);
    MemoryInput fileBlocks(bytes);
    ASSERT_EQ(want, readTrace(fileBlocks.line, seed)) << bytes;
    MemoryInput large(bytes, LargeBlockSize);
    readInBlocksOf(large.line, storage, LargeBlockSize);
    ASSERT_EQ(want, readTrace(large.line, seed)) << bytes;
  }
}

}  // namespace
}  // namespace korvenal
