#include "records/line_source.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_source.h"

namespace korvenal {
namespace {

using test::MemoryInput;
using test::restOf;

// Bytes arrive raw and in order whatever the block size; a last line
// without LF gets one; the end of a file is a sticky mark.
TEST(LineSource, DeliversTheSameBytesForEveryBlockSize) {
  struct Case {
    std::string input;
    std::string delivered;
  };
  const Case cases[] = {
      {"", ""},
      {"\n", "\n"},
      {"ab\r\ncd\n", "ab\r\ncd\n"},
      {"ab\r\ncd", "ab\r\ncd\n"},  // the last line's LF is supplied
      {"x\ry", "x\ry\n"},
      {std::string("\0\x1a\xff", 3), std::string("\0\x1a\xff\n", 4)},
  };
  for (const Case& c : cases) {
    for (const std::int32_t block : {1, 2, 3, FileBlockSize}) {
      MemoryInput input(c.input, block);
      EXPECT_EQ(c.delivered, restOf(input.line)) << "block " << block;
      EXPECT_TRUE(input.line.atEndOfFile);
      const int readsAtEnd = input.source.reads;
      EXPECT_EQ(EndOfInput, nextByte(input.line));
      EXPECT_EQ(readsAtEnd, input.source.reads) << "the end of a file is not read again";
      EXPECT_TRUE(endMarkHolds(input.line));
    }
  }
}

TEST(LineSource, ReadsWholeBlocksNotBytes) {
  MemoryInput input(std::string(3000, 'a'));
  EXPECT_EQ(std::string(3000, 'a') + "\n", restOf(input.line));
  EXPECT_EQ(4, input.source.reads);  // 1024 + 1024 + 952, then the end
}

TEST(LineSource, UnreadStepsBackOverTheByteJustDelivered) {
  MemoryInput input("ab", 1);
  EXPECT_EQ('a', nextByte(input.line));
  EXPECT_EQ('b', nextByte(input.line));
  unread(input.line);
  EXPECT_EQ('b', nextByte(input.line));
  EXPECT_EQ('\n', nextByte(input.line));
  unread(input.line);  // the supplied LF can be put back too
  EXPECT_EQ('\n', nextByte(input.line));
  EXPECT_EQ(EndOfInput, nextByte(input.line));
}

// finishLine drops through the next LF, across blocks, and meets the end of
// the input only when no line is left.
TEST(LineSource, FinishLineDropsThroughTheNextLineFeed) {
  for (const std::int32_t block : {1, 5, FileBlockSize}) {
    MemoryInput input("first line\r hidden\nsecond\n\nlast", block);
    EXPECT_EQ(0, finishLine(input.line));
    EXPECT_EQ('s', nextByte(input.line));
    EXPECT_EQ(0, finishLine(input.line));
    EXPECT_EQ(0, finishLine(input.line));  // the empty line
    EXPECT_EQ(0, finishLine(input.line));  // "last" with its supplied LF
    EXPECT_FALSE(input.line.atEndOfFile);
    EXPECT_EQ(EndOfInput, finishLine(input.line));
    EXPECT_TRUE(input.line.atEndOfFile);
  }
}

TEST(LineSource, AFailedSystemReadIsReported) {
  MemoryInput input("ab\ncd\n", 3);
  input.source.failingRead = 2;
  EXPECT_EQ(0, finishLine(input.line));
  EXPECT_EQ(ReadFailed, nextByte(input.line));
  EXPECT_FALSE(input.line.atEndOfFile);
  EXPECT_EQ("cd\n", restOf(input.line));  // a later read goes on
}

constexpr DeviceMode InteractiveConsole{true, true, true};
constexpr DeviceMode RedirectedConsole{true, false, false};

TEST(DeviceLineSource, ReadsOneTypedLinePerFill) {
  MemoryInput input("12\r\n345\r\n", FileBlockSize, InteractiveConsole);
  input.source.typedLines = true;
  EXPECT_EQ('1', nextByte(input.line));
  EXPECT_EQ(1, input.source.reads);
  EXPECT_EQ(4, input.line.length);
  EXPECT_EQ(0, finishLine(input.line));
  EXPECT_EQ("345\r\n", restOf(input.line));
}

// A line that ends with Ctrl-Z just before its line end is the end of the
// input; a device's mark does not stay set, so the next read asks again.
TEST(DeviceLineSource, CtrlZBeforeTheLineEndIsANonStickyEnd) {
  MemoryInput input("ab\x1a\r\nnext\n", FileBlockSize, InteractiveConsole);
  input.source.typedLines = true;
  EXPECT_EQ(EndOfInput, nextByte(input.line));
  EXPECT_TRUE(input.line.atEndOfFile);
  EXPECT_FALSE(endMarkHolds(input.line));
  EXPECT_FALSE(input.line.atEndOfFile);
  EXPECT_EQ("next\n", restOf(input.line));
}

TEST(DeviceLineSource, ATypedLineLongerThanTheBufferOverflows) {
  // 130 characters and CR LF fill the 132 bytes exactly; 131 do not fit.
  const std::string fits = std::string(130, 'a') + "\r\n";
  MemoryInput fitting(fits, FileBlockSize, InteractiveConsole);
  fitting.source.typedLines = true;
  EXPECT_EQ(fits, restOf(fitting.line));

  const std::string tooLong = std::string(131, 'a') + "\r\n";
  MemoryInput overflowing(tooLong + "ok\n", FileBlockSize, InteractiveConsole);
  overflowing.source.typedLines = true;
  EXPECT_EQ(TypedLineOverflow, nextByte(overflowing.line));

  // A redirected console is read in 132-byte blocks: long lines are fine.
  MemoryInput redirected(tooLong, FileBlockSize, RedirectedConsole);
  EXPECT_EQ(tooLong, restOf(redirected.line));
  EXPECT_EQ(3, redirected.source.reads);
}

// finishLine with nothing of the typed line read and none buffered reads a
// typed line and drops it.
TEST(DeviceLineSource, FinishLineWithNothingBufferedDropsAWholeTypedLine) {
  MemoryInput input("dropped\r\nkept\r\n", FileBlockSize, InteractiveConsole);
  input.source.typedLines = true;
  EXPECT_EQ(0, finishLine(input.line));
  EXPECT_EQ("kept\r\n", restOf(input.line));
}

TEST(DeviceLineSource, AFailureDropsTheBufferedLineOnlyWhenBothEndsAreInteractive) {
  MemoryInput both("1 2\r\n3\r\n", FileBlockSize, InteractiveConsole);
  both.source.typedLines = true;
  nextByte(both.line);
  discardAfterFailure(both.line);
  EXPECT_EQ("3\r\n", restOf(both.line));

  MemoryInput inputOnly("1 2\r\n3\r\n", FileBlockSize, DeviceMode{true, true, false});
  inputOnly.source.typedLines = true;
  nextByte(inputOnly.line);
  discardAfterFailure(inputOnly.line);
  EXPECT_EQ(" 2\r\n3\r\n", restOf(inputOnly.line));

  MemoryInput file("1 2\n3\n");
  nextByte(file.line);
  discardAfterFailure(file.line);
  EXPECT_EQ(" 2\n3\n", restOf(file.line));
}

}  // namespace
}  // namespace korvenal
