#include "records/table_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/memory_byte_sink.h"

namespace korvenal {
namespace {

using writer_test::MemoryByteSink;
using Call = MemoryByteSink::Call;

// The header line as the table writes it: the label, then every field.
void writeHeader(TableWriter& writer, const std::vector<float>& fields) {
  putText(writer, " T/B    ", 8);
  putBlanks(writer, 4);
  finishWrite(writer, true);
  for (const float field : fields) {
    putBlanks(writer, 4);
    putFixed(writer, field, 5, 2);
    putBlanks(writer, 4);
    finishWrite(writer, true);
  }
  finishWrite(writer, false);
}

// A row line: the mean temperature, then every value.
void writeRow(TableWriter& writer, float temperature, const std::vector<float>& values) {
  putFixed(writer, temperature, 8, 3);
  finishWrite(writer, true);
  for (const float value : values) {
    putBlanks(writer, 2);
    putFixed(writer, value, 11, 3);
    finishWrite(writer, true);
  }
  finishWrite(writer, false);
}

struct TableWriterTest : ::testing::Test {
  MemoryByteSink sink;
  TableWriter writer;
  void SetUp() override { attachTableWriter(writer, &sink); }
};

// The two-field table: blank positions before a following field are
// written, those at the end of the line are dropped. Every write statement
// is announced before any byte reaches the sink, and the bytes arrive at
// close, as one block.
TEST_F(TableWriterTest, HeaderAndRowLines) {
  writeHeader(writer, {1.0f, 2.5f});
  writeRow(writer, 301.0f, {50.0f, 78.125f});
  ASSERT_TRUE(close(writer));
  EXPECT_EQ(" T/B             1.00         2.50\r\n"
            " 301.000       50.000       78.125\r\n",
            sink.written);
  ASSERT_EQ(9u, sink.events.size());
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(Call::BeginStatement, sink.events[i].call) << i;
  EXPECT_EQ(Call::Write, sink.events[8].call);
}

// Pending blank positions: kept across continued writes and written in
// front of the next field together with its own, dropped by a line end, and
// written at the start of a line like any other character. Text fields are
// cut or right-aligned.
TEST_F(TableWriterTest, BlankPositionsAndTextFields) {
  putBlanks(writer, 3);
  finishWrite(writer, true);
  putBlanks(writer, 2);
  putText(writer, "ab", 4);
  putBlanks(writer, 5);
  finishWrite(writer, false);
  putText(writer, "abcdefghij", 8);
  putText(writer, "12345678", 8);
  finishWrite(writer, false);
  ASSERT_TRUE(close(writer));
  EXPECT_EQ("       ab\r\nabcdefgh12345678\r\n", sink.written);
}

// An ending write with no items only ends the line, and is a statement.
TEST_F(TableWriterTest, EmptyWriteEndsTheLine) {
  finishWrite(writer, false);
  putText(writer, "x", 1);
  finishWrite(writer, false);
  finishWrite(writer, false);
  ASSERT_TRUE(close(writer));
  EXPECT_EQ("\r\nx\r\n\r\n", sink.written);
  EXPECT_EQ(3u, sink.calls(Call::BeginStatement).size());
}

// Lines of 268 characters (label and 20 fields) cross the block boundary:
// the first 1024 bytes go when byte 1025 arrives, close writes the rest.
TEST_F(TableWriterTest, LongLinesSpanBlocks) {
  const std::vector<float> fields(20, 1.0f);
  std::string line = " T/B    ";
  for (int i = 0; i < 20; ++i) line += "         1.00";
  line += "\r\n";
  ASSERT_EQ(270u, line.size());
  for (int i = 0; i < 4; ++i) writeHeader(writer, fields);
  ASSERT_EQ(1u, sink.calls(Call::Write).size());
  EXPECT_EQ(1024u, sink.calls(Call::Write)[0].size());
  ASSERT_TRUE(close(writer));
  const auto writes = sink.calls(Call::Write);
  ASSERT_EQ(2u, writes.size());
  EXPECT_EQ(56u, writes[1].size());
  EXPECT_EQ(line + line + line + line, sink.written);
}

// A buffer holding exactly 1024 bytes is written only at close, and close
// writes nothing when nothing is buffered.
TEST_F(TableWriterTest, FullBlockWaitsForTheNextByte) {
  putText(writer, std::string(1022, 'a'), 1022);
  finishWrite(writer, false);
  EXPECT_TRUE(sink.calls(Call::Write).empty());
  ASSERT_TRUE(close(writer));
  ASSERT_EQ(1u, sink.calls(Call::Write).size());
  EXPECT_EQ(1024u, sink.written.size());

  MemoryByteSink emptySink;
  TableWriter empty;
  attachTableWriter(empty, &emptySink);
  EXPECT_TRUE(close(empty));
  EXPECT_TRUE(emptySink.events.empty());
}

// A block write that fails while the run is ending stops the writer: no
// more bytes are offered and close reports the failure.
TEST_F(TableWriterTest, FailedBlockWriteStopsWriting) {
  sink.failWrites = true;
  putText(writer, std::string(1100, 'a'), 1100);
  finishWrite(writer, false);
  writeRow(writer, 1.0f, {2.0f});
  EXPECT_FALSE(close(writer));
  EXPECT_EQ(1u, sink.calls(Call::Write).size());
}

// A statement that cannot begin is a failed write.
TEST_F(TableWriterTest, FailedStatementStartStopsWriting) {
  sink.failStatements = true;
  writeRow(writer, 1.0f, {2.0f});
  EXPECT_FALSE(close(writer));
  EXPECT_EQ(1u, sink.calls(Call::BeginStatement).size());
  EXPECT_TRUE(sink.calls(Call::Write).empty());
}

}  // namespace
}  // namespace korvenal
