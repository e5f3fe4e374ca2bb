#include "records/fixed_field_reader.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>

#include "memory_source.h"

namespace korvenal {
namespace {

using test::MemoryInput;
using test::restOf;

constexpr ReadOutcome Ok = ReadOutcome::ok();

TEST(TextOperations, SameTextAndAssignText) {
  EXPECT_TRUE(sameText("INFO,HARMONICS", 14, "INFO,HARMONICS", 14));
  EXPECT_FALSE(sameText("info,harmonics", 14, "INFO,HARMONICS", 14));
  EXPECT_TRUE(sameText("ABC           ", 14, "ABC", 3));
  EXPECT_TRUE(sameText("ABC", 3, "ABC           ", 14));
  EXPECT_FALSE(sameText("ABC\t          ", 14, "ABC", 3));
  EXPECT_FALSE(sameText("ABCD", 4, "ABC", 3));
  EXPECT_TRUE(sameText("", 0, "  ", 2));

  char variable[14];
  assignText(variable, 14, "x", 1);
  assignText(variable, 14, " ", 1);
  EXPECT_EQ(std::string(14, ' '), std::string(variable, 14));
  assignText(variable, 3, "Comment,Time S", 14);
  EXPECT_EQ("Com", std::string(variable, 3));
}

struct MassLine {
  ReadOutcome outcome;
  char label[14];
  float mass;
  std::string rest;
  bool markSet;
};

// The mass line's layout: a 14-character text field, then a 14-wide number
// with 7 implied decimals, then the rest of the line dropped.
MassLine readMassLine(std::string_view bytes, std::int32_t blockSize = FileBlockSize) {
  MemoryInput input(bytes, blockSize);
  MassLine result{Ok, {}, -7.0f, {}, false};
  FixedRead read;
  beginFixedRead(read, input.line, "mass.dat", ReadHandling::AllHandled);
  result.outcome = readTextField(read, result.label, 14, 14);
  if (result.outcome.isOk()) result.outcome = readNumberField(read, result.mass, 14, 7);
  if (result.outcome.isOk()) result.outcome = endFixedRead(read);
  result.markSet = input.line.atEndOfFile;
  if (!result.markSet) result.rest = restOf(input.line);
  return result;
}

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

// Number fields: blanks ignored, comma and line end end the field, implied
// decimals without a point, empty gives 0, a lone sign a signed zero.
TEST(FixedFieldReader, MassLines) {
  const std::string label = "Sample mass:  ";  // 14 characters
  struct Case {
    float mass;
    std::string_view field;  // what follows the 14 label characters
  };
  const Case cases[] = {
      {0.0012345f, "12345\n"},
      {1.5f, "1.5\n"},
      {0.0000123f, "1 2 3\n"},
      {0.0025f, "2.5E-3\n"},
      {0.12345f, "12345E2\n"},
      {3.25f, "3.25,999\n"},
      {0.0f, "\n"},
      {0.0f, "              5\n"},
      {-0.0f, "-\n"},
      {1.234567890123f, "1.234567890123456\n"},
      {-0.5f, " -.5\n"},
      {0.5f, ".5\r ignored\n"},
      {0.0001f, "1000\t\n"},
      {12.5f, "12.5"},  // last line without LF
  };
  for (const Case& c : cases) {
    for (const std::int32_t block : {1, 3, FileBlockSize}) {
      const bool lastLine = c.field.back() != '\n';
      const MassLine got = readMassLine(label + std::string(c.field) + (lastLine ? "" : "N\n"), block);
      SCOPED_TRACE(std::string(c.field));
      EXPECT_EQ(Ok, got.outcome);
      EXPECT_EQ(label, std::string(got.label, 14));
      EXPECT_EQ(bitsOf(c.mass), bitsOf(got.mass)) << got.mass;
      EXPECT_EQ(lastLine ? "" : "N\n", got.rest);
    }
  }
}

TEST(FixedFieldReader, FailuresAndEndOfFile) {
  const std::string label = "Sample mass:  ";
  // An Error gives up the rest of the line: the next read starts on the next one.
  const MassLine invalid = readMassLine(label + "mass\nN\n");
  EXPECT_EQ(ReadOutcome::error(6103), invalid.outcome);
  EXPECT_EQ(-7.0f, invalid.mass);
  EXPECT_EQ("N\n", invalid.rest);
  EXPECT_EQ(ReadOutcome::error(6102), readMassLine(label + "1E400\n").outcome);
  EXPECT_EQ(bitsOf(1e32f), bitsOf(readMassLine(label + "1E39\n").mass));  // implied decimals
  EXPECT_EQ(ReadOutcome::error(6104), readMassLine(label + "1.E39\n").outcome);

  // Byte 26 in a number field is the end of the file, with the mark set.
  const MassLine ctrlZ = readMassLine(label + "1.5\x1a\nmore\n");
  EXPECT_EQ(ReadOutcome::endOfFile(6501), ctrlZ.outcome);
  EXPECT_TRUE(ctrlZ.markSet);

  // A short line: the label is padded, the number finds the line end at once.
  const MassLine shortLine = readMassLine("INFO\nN\n");
  EXPECT_EQ(Ok, shortLine.outcome);
  EXPECT_EQ("INFO          ", std::string(shortLine.label, 14));
  EXPECT_EQ(0.0f, shortLine.mass);
  EXPECT_EQ("N\n", shortLine.rest);

  const MassLine noLine = readMassLine("");
  EXPECT_EQ(ReadOutcome::endOfFile(6501), noLine.outcome);
  EXPECT_TRUE(noLine.markSet);
}

TEST(FixedFieldReader, AReadBegunAtTheEndIs6405) {
  MemoryInput input("x\x1a\nlater\n");
  FixedRead read;
  float value = 0;
  beginFixedRead(read, input.line, "m.dat", ReadHandling::AllHandled);
  EXPECT_EQ(ReadOutcome::endOfFile(6501), readNumberField(read, value, 14, 7));
  beginFixedRead(read, input.line, "m.dat", ReadHandling::AllHandled);
  EXPECT_EQ(ReadOutcome::endOfFile(6405), readNumberField(read, value, 14, 7));
  beginFixedRead(read, input.line, "m.dat", ReadHandling::AllHandled);
  EXPECT_EQ(ReadOutcome::endOfFile(6405), endFixedRead(read));
}

TEST(FixedFieldReader, AFailedSystemReadIsError6500) {
  MemoryInput input("12345678901234567890\n", 4);
  input.source.failingRead = 2;
  FixedRead read;
  float value = 0;
  beginFixedRead(read, input.line, "m.dat", ReadHandling::AllHandled);
  EXPECT_EQ(ReadOutcome::error(6500), readNumberField(read, value, 14, 0));
}

#if defined(__SANITIZE_ADDRESS__)
constexpr int FuzzInputs = 2000;
#else
constexpr int FuzzInputs = 20000;
#endif

// Random lines of meaningful bytes: every fixed-column read uses up a line
// or ends at the end of the file, so reading them all terminates.
TEST(FixedFieldReaderFuzz, ReadingLinesAlwaysReachesTheEnd) {
  std::mt19937 random(11);
  const std::string alphabet = "0123456789+-.eEdDx ,\t\r\n\x1a";
  for (int n = 0; n < FuzzInputs; ++n) {
    std::string bytes(random() % 60, ' ');
    for (char& b : bytes) b = alphabet[random() % alphabet.size()];
    MemoryInput input(bytes, 1 + static_cast<std::int32_t>(random() % 5));
    for (int reads = 0;; ++reads) {
      ASSERT_LE(reads, static_cast<int>(bytes.size()) + 1) << bytes;
      FixedRead read;
      char label[4];
      float value = 0;
      beginFixedRead(read, input.line, "fuzz.dat", ReadHandling::AllHandled);
      ReadOutcome outcome = readTextField(read, label, 4, 3);
      if (outcome.isOk()) outcome = readNumberField(read, value, 9, 3);
      if (outcome.isOk()) outcome = endFixedRead(read);
      if (outcome.kind == ReadOutcome::Kind::EndOfFile) break;
    }
  }
}

void readInvalidMassEndingTheRun() {
  MemoryInput input("Sample mass:  mass\n");
  FixedRead read;
  char label[14];
  float mass = 0;
  beginFixedRead(read, input.line, "data.dat", ReadHandling::NoHandling);
  readTextField(read, label, 14, 14);
  readNumberField(read, mass, 14, 7);
}

TEST(FixedFieldReaderDeathTest, AnUnhandledErrorEndsTheRun) {
  EXPECT_EXIT(readInvalidMassEndingTheRun(), testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace korvenal
