// Data rows read from memory: which rows become points.
#include <gtest/gtest.h>

#include "driver/data_file_reader.h"
#include "records/memory_source.h"

namespace korvenal {
namespace {

struct Rows {
  int count = 0;
  RawPoint points[MaxPoints];
};

Rows readAll(const std::string& bytes, float nominal = 300.0f, std::int32_t blockSize = FileBlockSize) {
  test::MemoryInput input(bytes, blockSize);
  Rows rows;
  rows.count = readRows(input.line, "d.dat", nominal, rows.points);
  return rows;
}

TEST(ReadRows, KeptRowsBecomeScaledPoints) {
  const Rows rows = readAll(
      ",1,300,10000,5,6,2.5,8,9\n"
      ",1,300,-50,5,6,7,8,9\n"          // below 100 Oe: field and moment zero
      ",1,300.3,20000,5,6,3,8,9\n"      // another temperature
      ",1,300,20000,5,6,3.5");          // last line without its line end
  ASSERT_EQ(rows.count, 3);
  EXPECT_EQ(rows.points[0].field, 1.0f);
  EXPECT_EQ(rows.points[0].moment, 2.5f);
  EXPECT_EQ(rows.points[1].field, 0.0f);
  EXPECT_EQ(rows.points[1].moment, 0.0f);
  EXPECT_EQ(rows.points[2].field, 2.0f);
  EXPECT_EQ(rows.points[2].moment, 3.5f);
}

// A faulty row is dropped with the rest of its line, whatever the block
// size: a comment's numbers never shift into the next row.
TEST(ReadRows, FaultyRowIsDroppedWithItsLine) {
  for (std::int32_t blockSize : {1, 3, 1024}) {
    const Rows rows = readAll(
        "comment,1,2,300,10000,5,6,7,8,9\n"
        ",1,300,10000,5,6,1,8\n"
        ",1,300,2*,5,6,1\n"                  // a repeat count followed by a separator: null values
        ",1,0*1,300,5,6,1\n"                 // a repeat count below 1: faulty
        ",1,300,30000,5,6,3\n",
        300.0f, blockSize);
    ASSERT_EQ(rows.count, 2) << blockSize;
    EXPECT_EQ(rows.points[0].moment, 1.0f);
    EXPECT_EQ(rows.points[1].field, 3.0f);
  }
}

// A row spread over several lines is still one row of seven values.
TEST(ReadRows, ShortLinesContinueOnTheNext) {
  const Rows rows = readAll(",1,300,\n10000,5\n6,4\n,1,300,20000,5,6,5\n");
  ASSERT_EQ(rows.count, 2);
  EXPECT_EQ(rows.points[0].moment, 4.0f);
  EXPECT_EQ(rows.points[1].moment, 5.0f);
}

TEST(ReadRowsDeathTest, FailedSystemReadEndsTheRun) {
  EXPECT_EXIT(
      {
        test::MemoryInput input(",1,300,10000,5,6,1\n,1,300,10000,5,6,1\n", 8);
        input.source.failingRead = 3;
        RawPoint points[MaxPoints];
        readRows(input.line, "d.dat", 300.0f, points);
      },
      ::testing::ExitedWithCode(1), "F6500: READ\\(d.dat\\)");
}

}  // namespace
}  // namespace korvenal
