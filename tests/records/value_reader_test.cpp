#include "records/value_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "memory_source.h"

namespace korvenal {
namespace {

using test::MemoryInput;
using test::restOf;

// Every target starts at this value; a target left alone still holds it.
constexpr double Kept = -7.0;

constexpr ReadOutcome Ok = ReadOutcome::ok();
constexpr ReadOutcome error(int number) { return ReadOutcome::error(number); }
constexpr ReadOutcome EndOfFile = ReadOutcome::endOfFile(6501);

// The float whose four bytes are those of `text`.
double floatOfBytes(const char (&text)[5]) {
  float value;
  std::memcpy(&value, text, 4);
  return value;
}

// The integer whose four bytes are those of `text`.
double integerOfBytes(const char (&text)[5]) {
  std::int32_t value;
  std::memcpy(&value, text, 4);
  return value;
}

struct Row {
  std::string_view input;
  std::string_view targets;  // one letter per target: f a float, i an integer
  ReadOutcome outcome;
  std::vector<double> values;
  std::string_view rest;  // what the input delivers after the read
  bool markSet = false;   // the read met the end: the next read gives 6405 at once
  int lineEndTaken = -1;  // 0 or 1 where it matters
};

// One read operation of the row's targets with AllHandled, then where the
// input stands, checked by reading what comes next.
void checkRow(const Row& row, std::int32_t blockSize) {
  SCOPED_TRACE(testing::Message() << "input \"" << std::string(row.input) << "\" block " << blockSize);
  MemoryInput input(row.input, blockSize);
  ValueRead read;
  beginRead(read, input.line, "rows.dat", ReadHandling::AllHandled);
  std::vector<float> reals(row.targets.size(), static_cast<float>(Kept));
  std::vector<std::int32_t> integers(row.targets.size(), static_cast<std::int32_t>(Kept));
  ReadOutcome outcome = Ok;
  for (std::size_t i = 0; i < row.targets.size() && outcome.isOk(); ++i) {
    outcome = row.targets[i] == 'f' ? readReal(read, reals[i]) : readInteger(read, integers[i]);
  }
  if (row.lineEndTaken >= 0) {
    EXPECT_EQ(row.lineEndTaken == 1, read.lineEndTaken);
  }
  if (outcome.isOk()) outcome = endRead(read);
  EXPECT_EQ(row.outcome, outcome);
  ASSERT_EQ(row.values.size(), row.targets.size());
  for (std::size_t i = 0; i < row.targets.size(); ++i) {
    if (row.targets[i] == 'f') {
      EXPECT_EQ(std::bit_cast<std::uint32_t>(static_cast<float>(row.values[i])),
                std::bit_cast<std::uint32_t>(reals[i]))
          << "target " << i + 1 << " " << reals[i];
    } else {
      EXPECT_EQ(static_cast<std::int32_t>(row.values[i]), integers[i]) << "target " << i + 1;
    }
  }
  if (row.markSet) {
    EXPECT_TRUE(input.line.atEndOfFile);
    float next = 0;
    beginRead(read, input.line, "rows.dat", ReadHandling::AllHandled);
    EXPECT_EQ(ReadOutcome::endOfFile(6405), readReal(read, next));
  } else {
    EXPECT_FALSE(input.line.atEndOfFile);
    EXPECT_EQ(row.rest, restOf(input.line));
  }
}

void checkTable(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    for (const std::int32_t block : {1, 3, FileBlockSize}) checkRow(row, block);
  }
}

// The reader's example table: input from the current position, the targets,
// their values, the outcome and where the next read starts ("N" marks the
// line after).
TEST(ValueReader, ExampleTable) {
  const double abcd = floatOfBytes("abcd");
  checkTable({
      {",12.5,300,4000,1,2,0.5\nN\n", "fffffff", Ok, {Kept, 12.5, 300, 4000, 1, 2, 0.5}, "N\n"},
      {"1.5  ,  2.5\nN\n", "ff", Ok, {1.5, 2.5}, "N\n"},
      {"1.5 ,, 2.5\nN\n", "fff", Ok, {1.5, Kept, 2.5}, "N\n"},
      {"1 2\n3 4\nN\n", "iii", Ok, {1, 2, 3}, "N\n"},
      {"1,2,\n3\nN\n", "iii", Ok, {1, 2, 3}, "N\n"},
      {"1,\n,2\nN\n", "iii", Ok, {1, Kept, 2}, "N\n"},
      {"7 8 9\nN\n", "ii", Ok, {7, 8}, "N\n"},
      {"abc\nN\n", "", Ok, {}, "N\n"},
      {"5/\n6\n", "ii", Ok, {5, Kept}, "6\n"},
      {"2*4.5 1\nN\n", "fff", Ok, {4.5, 4.5, 1}, "N\n"},
      {"2*\n7 8\n", "ff", Ok, {Kept, Kept}, "7 8\n"},
      {"2*\n7 8\nN\n", "fff", Ok, {Kept, Kept, 7}, "N\n"},
      {"0*5\n", "f", error(6502), {Kept}, "5\n"},
      {"-2*5\n", "f", error(6502), {Kept}, "5\n"},
      {"2*3*4\n", "f", error(6503), {Kept}, "4\n"},
      {"1.5E3 1.5e3 1.5D3 1.5d+3 1.5+3 1500\nN\n", "ffffff", Ok, {1500, 1500, 1500, 1500, 1500, 1500}, "N\n"},
      {".5 5.\nN\n", "ff", Ok, {0.5, 5}, "N\n"},
      {"1.5Q3\nN\n", "f", error(6103), {Kept}, "N\n"},
      {"1.5E,N\n", "f", error(6103), {Kept}, "N\n"},
      {"E3 N\n", "f", error(6103), {Kept}, "N\n"},
      {"+/N\n", "f", error(6103), {Kept}, "N\n"},
      {"- N\n", "f", error(6103), {Kept}, "N\n"},
      {".,N\n", "f", error(6103), {Kept}, "N\n"},
      {"1E39\nN\n", "f", error(6104), {Kept}, "N\n"},
      {"1E400\nN\n", "f", error(6102), {Kept}, "N\n"},
      {"1E-50\nN\n", "f", Ok, {0}, "N\n"},
      {"1.5\nN\n", "i", error(6101), {Kept}, "N\n"},
      {"1e3\nN\n", "i", error(6101), {Kept}, "N\n"},
      {"2147483647\nN\n", "i", Ok, {2147483647}, "N\n"},
      {"2147483648\nN\n", "i", error(6100), {Kept}, "N\n"},
      {"-2147483648\nN\n", "i", Ok, {-2147483648.0}, "N\n"},
      {"+\nN\n", "i", Ok, {0}, "N\n"},
      {"16#FF #ff\nN\n", "ii", Ok, {255, 255}, "N\n"},
      {"2#1111\nN\n", "i", Ok, {15}, "N\n"},
      {"1#1\nN\n", "i", error(6303), {Kept}, "N\n"},
      {"Temperature\nN\n", "f", error(6103), {Kept}, "N\n"},
      {"'abcdef'\nN\n", "f", error(6504), {abcd}, "\nN\n"},
      {"", "fffffff", EndOfFile, {Kept, Kept, Kept, Kept, Kept, Kept, Kept}, "", true},
      {"1 2\n\n 3 \n", "fffffff", EndOfFile, {1, 2, 3, Kept, Kept, Kept, Kept}, "", true},
      {"300", "f", Ok, {300}, ""},
      {"1 2\r\nN\n", "ii", Ok, {1, 2}, "N\n"},
      {"1 2\r3 4\n5 6\nN\n", "iiii", Ok, {1, 2, 5, 6}, "N\n"},
      {"1\t2\nN\n", "ii", Ok, {1, 2}, "N\n"},
  });
}

// After an Error the input stands right after the byte that ended the faulty
// value (the next line when a line end ended it; lineEndTaken tells which),
// or right after the "*" of a faulty repeat count. Values before it stay.
TEST(ValueReader, WhereTheInputStandsAfterAFailure) {
  checkTable({
      {"1,x,3\n", "iii", error(6101), {1, Kept, Kept}, "3\n", false, 0},
      {"1 x 3\n", "iii", error(6101), {1, Kept, Kept}, "3\n", false, 0},
      {"x/3\n", "i", error(6101), {Kept}, "3\n", false, 0},
      {"x\n3\n", "i", error(6101), {Kept}, "3\n", false, 1},
      {"x\r hidden\n3\n", "i", error(6101), {Kept}, "3\n", false, 1},
      {"(1)3\n", "i", error(6504), {Kept}, "3\n", false, 0},
      {"'ab'x3\n", "i", error(6504), {integerOfBytes("ab\xff\xff")}, "3\n", false, 0},
      {"x*5\n", "i", error(6101), {Kept}, "5\n"},
      {"99999999999*5\n", "i", error(6100), {Kept}, "5\n"},
      {"1#1*5\n", "i", error(6303), {Kept}, "5\n"},
      {"16#1#2*5\n", "i", error(6302), {Kept}, "5\n"},
      {"1\n\n   \n", "ii", EndOfFile, {1, Kept}, "", true},
      {"", "", EndOfFile, {}, "", true},  // endRead meets the end too
  });
}

// A closing quote uses up the byte after it, a CR too; an LF stays, so the
// caller (lineEndTaken false) drops it with the rest of the line.
TEST(ValueReader, QuotedValuesWriteTheTargetsBytes) {
  struct Guarded {
    std::uint32_t before = 0x11111111;
    std::int32_t target = 0x41414141;
    std::uint32_t after = 0x22222222;
  };
  const auto readQuoted = [](std::string_view bytes, Guarded& g, std::string& rest) {
    MemoryInput input(bytes, 2);
    ValueRead read;
    beginRead(read, input.line, "q.dat", ReadHandling::AllHandled);
    const ReadOutcome outcome = readInteger(read, g.target);
    EXPECT_FALSE(read.lineEndTaken);
    rest = restOf(input.line);
    return outcome;
  };
  std::string rest;
  Guarded g;
  EXPECT_EQ(error(6504), readQuoted("'a''b'\r\n3\n", g, rest));
  EXPECT_EQ(0, std::memcmp(&g.target, "a'bA", 4));  // the fourth byte is untouched
  EXPECT_EQ("\n3\n", rest);

  Guarded h;
  const std::string longQuoted = "\"" + std::string(1000, 'z') + "\"\n";
  EXPECT_EQ(error(6504), readQuoted(longQuoted, h, rest));
  EXPECT_EQ(0, std::memcmp(&h.target, "zzzz", 4));
  EXPECT_EQ(0x11111111u, h.before);
  EXPECT_EQ(0x22222222u, h.after);

  // A line end inside quotes ends its line, and the next line's first byte is dropped.
  Guarded k;
  EXPECT_EQ(error(6504), readQuoted("'ab\nXcd'\n", k, rest));
  EXPECT_EQ(0, std::memcmp(&k.target, "abcd", 4));
}

TEST(ValueReader, EmptyQuotesAndParenthesesAreNullValues) {
  checkTable({
      {"'' () ( ) (\n) \"\" 5\nN\n", "iiiiii", Ok, {Kept, Kept, Kept, Kept, Kept, 5}, "N\n"},
      {"( 1 , 2 ) 5\nN\n", "ii", error(6504), {Kept, Kept}, " 5\nN\n"},
      {"a(b)c 5\nN\n", "fi", error(6103), {Kept, Kept}, "5\nN\n"},
  });
}

// A repeated value goes to the next targets whatever their type; pending
// repeats are dropped at the end of the read.
TEST(ValueReader, RepeatsCrossTargetTypes) {
  checkTable({
      {"3*7 9\nN\n", "fif", Ok, {7, 7, 7}, "N\n"},
      {"2*1.5\nN\n", "fi", error(6101), {1.5, Kept}, "N\n"},
      {"2*,5\nN\n", "fff", Ok, {Kept, Kept, 5}, "N\n"},
      {"4*2 9\nN\n", "ii", Ok, {2, 2}, "N\n"},
      {"2*5/ 9\nN\n", "iii", Ok, {5, 5, Kept}, "N\n"},
  });
  // A count and a value longer than the kept text are still taken whole.
  const std::string longCount = std::string(300, '0') + "3*" + std::string(300, '0') + "7.5\nN\n";
  checkTable({{longCount, "fif", error(6101), {7.5, Kept, Kept}, "N\n"}});
}

TEST(ValueReader, TellsWhetherTheTargetReceivedAValue) {
  MemoryInput input("1,,2*/\n");
  ValueRead read;
  beginRead(read, input.line, "a.dat", ReadHandling::AllHandled);
  float target = 0;
  const bool expected[] = {true, false, false, false, false};
  for (const bool assigned : expected) {
    ASSERT_EQ(Ok, readReal(read, target));
    EXPECT_EQ(assigned, read.lastTargetAssigned);
  }
}

// A data row with a text among its values: the same read again starts right
// after the faulty value and carries on into the next line.
TEST(ValueReader, ARepeatedReadStartsAfterTheFaultyValue) {
  MemoryInput input(",1,2,abc,4,5,6,7,8,9\n11,12\n");
  float row[7] = {-1, -1, -1, -1, -1, -1, -1};
  const auto readRow = [&] {
    ValueRead read;
    beginRead(read, input.line, "rows.dat", ReadHandling::AllHandled);
    for (float& value : row) {
      if (const ReadOutcome o = readReal(read, value); !o.isOk()) return o;
    }
    return endRead(read);
  };
  EXPECT_EQ(error(6103), readRow());
  EXPECT_EQ(-1, row[0]);
  EXPECT_EQ(1, row[1]);
  EXPECT_EQ(2, row[2]);
  EXPECT_EQ(-1, row[3]);
  EXPECT_EQ(Ok, readRow());
  const float expected[] = {4, 5, 6, 7, 8, 9, 11};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(expected[i], row[i]);
  EXPECT_EQ("", restOf(input.line));
}

TEST(ValueReader, AFailedSystemReadIsError6500) {
  MemoryInput input("1 2 3 4\n", 2);
  input.source.failingRead = 2;
  ValueRead read;
  beginRead(read, input.line, "a.dat", ReadHandling::AllHandled);
  std::int32_t a = 0, b = 0;
  EXPECT_EQ(Ok, readInteger(read, a));
  EXPECT_EQ(error(6500), readInteger(read, b));
}

TEST(ValueReader, AHundredThousandCharacterValueIsReadWhole) {
  const std::string value = std::string(99996, '0') + "1.5";
  MemoryInput input(value + " 2.5\n", 7);
  ValueRead read;
  beginRead(read, input.line, "a.dat", ReadHandling::AllHandled);
  float a = 0, b = 0;
  EXPECT_EQ(Ok, readReal(read, a));
  EXPECT_EQ(Ok, readReal(read, b));
  EXPECT_EQ(1.5f, a);
  EXPECT_EQ(2.5f, b);
}

// On an interactive console each typed line is a fill; Ctrl-Z before the
// line end is the end of the input, which is not remembered.
TEST(ValueReader, ConsoleEndOfInputIsNotSticky) {
  MemoryInput input("1 2\r\n\x1a\r\n5\r\n", FileBlockSize, DeviceMode{true, true, true});
  input.source.typedLines = true;
  ValueRead read;
  std::int32_t a = 0, b = 0;
  beginRead(read, input.line, "CON", ReadHandling::AllHandled);
  EXPECT_EQ(Ok, readInteger(read, a));
  EXPECT_EQ(Ok, readInteger(read, b));
  EXPECT_EQ(Ok, endRead(read));
  beginRead(read, input.line, "CON", ReadHandling::AllHandled);
  EXPECT_EQ(EndOfFile, readInteger(read, a));
  beginRead(read, input.line, "CON", ReadHandling::AllHandled);
  EXPECT_EQ(Ok, readInteger(read, a));
  EXPECT_EQ(5, a);
}

TEST(ValueReader, AnOverlongTypedLineIsError6407) {
  MemoryInput input(std::string(140, '1') + "\r\n", FileBlockSize, DeviceMode{true, true, true});
  input.source.typedLines = true;
  ValueRead read;
  std::int32_t a = 0;
  beginRead(read, input.line, "CON", ReadHandling::AllHandled);
  EXPECT_EQ(error(6407), readInteger(read, a));
}

// Text-line reads from the start of a line: the field into the variable
// (blank-padded), then the rest of the line dropped.
TEST(TextLine, ExampleTable) {
  struct Case {
    std::string_view input;
    std::int32_t width;
    std::int32_t length;
    std::string_view variable;
    ReadOutcome outcome;
    std::string_view rest;
  };
  const Case cases[] = {
      {"run1.dat\nN\n", 50, 50, "run1.dat                                          ", Ok, "N\n"},
      {"INFO,HARMONICS,extra\nN\n", 14, 14, "INFO,HARMONICS", Ok, "N\n"},
      {"INFO\nN\n", 14, 14, "INFO          ", Ok, "N\n"},
      {"\nN\n", 14, 14, "              ", Ok, "N\n"},
      {"a\tb\nN\n", 14, 14, "a\tb           ", Ok, "N\n"},
      {"ABC\rDEF\nN\n", 14, 14, "ABC           ", Ok, "N\n"},
      {"run1.dat", 50, 50, "run1.dat                                          ", Ok, ""},
      {"", 14, 14, "##############", EndOfFile, ""},
      {"a,'\x1a\"b\nN\n", 5, 5, "a,'\x1a\"", Ok, "N\n"},  // bytes stay as they are
      {"abcdefgh\nN\n", 6, 4, "cdef", Ok, "N\n"},          // wider field: its last 4
      {"ab\nN\n", 6, 4, "    ", Ok, "N\n"},
      {"abcdefgh\nN\n", 3, 5, "abc  ", Ok, "N\n"},
  };
  for (const Case& c : cases) {
    for (const std::int32_t block : {1, FileBlockSize}) {
      SCOPED_TRACE(std::string(c.input));
      MemoryInput input(c.input, block);
      std::string variable(static_cast<std::size_t>(c.length), '#');
      EXPECT_EQ(c.outcome, readTextLine(input.line, "t.dat", variable.data(), c.length, c.width,
                                        ReadHandling::AllHandled));
      EXPECT_EQ(c.variable, variable);
      EXPECT_EQ(c.rest, restOf(input.line));
    }
  }
  MemoryInput ended("");
  char variable[14];
  EXPECT_EQ(EndOfFile, readTextLine(ended.line, "t.dat", variable, 14, 14, ReadHandling::AllHandled));
  EXPECT_EQ(ReadOutcome::endOfFile(6405),
            readTextLine(ended.line, "t.dat", variable, 14, 14, ReadHandling::AllHandled));
}

// Outcomes the read does not take back end the run with status 1.
ReadOutcome readOneReal(std::string_view bytes, ReadHandling handling) {
  MemoryInput input(bytes);
  ValueRead read;
  beginRead(read, input.line, "KORVENAL.inp", handling);
  float value = 0;
  return readReal(read, value);
}

ReadOutcome readTextLineOf(std::string_view bytes, ReadHandling handling) {
  MemoryInput input(bytes);
  char variable[14];
  return readTextLine(input.line, "data.dat", variable, 14, 14, handling);
}

TEST(ValueReaderDeathTest, UnhandledOutcomesEndTheRun) {
  EXPECT_EXIT(readOneReal("Temperature\n", ReadHandling::NoHandling), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(readOneReal("Temperature\n", ReadHandling::EndHandled), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(readOneReal("", ReadHandling::NoHandling), testing::ExitedWithCode(1), "");
  EXPECT_EQ(EndOfFile, readOneReal("", ReadHandling::EndHandled));
  EXPECT_EXIT(readTextLineOf("", ReadHandling::NoHandling), testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace korvenal

namespace korvenal {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int FuzzInputs = 2000;
#else
constexpr int FuzzInputs = 20000;
#endif

// Random inputs built from the bytes that mean something to the reader: every
// read operation makes progress, so reading rows until the end terminates
// (and, under the sanitizers, stays inside its buffers).
TEST(ValueReaderFuzz, ReadingRowsAlwaysReachesTheEnd) {
  std::mt19937 random(7);
  const std::string alphabet = "0123456789+-.eEdD#xF*,/ ()'\"\t\r\n\x1a";
  for (int n = 0; n < FuzzInputs; ++n) {
    std::string bytes(random() % 60, ' ');
    for (char& b : bytes) b = alphabet[random() % alphabet.size()];
    MemoryInput input(bytes, 1 + static_cast<std::int32_t>(random() % 5));
    int reads = 0;
    for (;; ++reads) {
      ASSERT_LE(reads, static_cast<int>(bytes.size()) + 2) << bytes;
      ValueRead read;
      beginRead(read, input.line, "fuzz.dat", ReadHandling::AllHandled);
      float reals[3] = {};
      std::int32_t integer = 0;
      ReadOutcome outcome = readReal(read, reals[0]);
      if (outcome.isOk()) outcome = readInteger(read, integer);
      if (outcome.isOk()) outcome = readReal(read, reals[1]);
      if (outcome.isOk()) outcome = endRead(read);
      if (outcome.kind == ReadOutcome::Kind::EndOfFile) break;
      if (!outcome.isOk() && !read.lineEndTaken) finishLine(input.line);
    }
  }
}

}  // namespace
}  // namespace korvenal
