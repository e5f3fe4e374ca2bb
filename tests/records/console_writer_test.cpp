#include "records/console_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "records/memory_byte_sink.h"

namespace korvenal {
namespace {

using writer_test::MemoryByteSink;
using Call = MemoryByteSink::Call;

// One item of a message.
struct Item {
  enum class Kind { Text, Integer, Real } kind;
  std::string text;
  std::int32_t integer = 0;
  float real = 0.0f;
};
Item text(std::string t) { return {Item::Kind::Text, std::move(t)}; }
Item integer(std::int32_t value) { return {Item::Kind::Integer, {}, value}; }
Item real(float value) { return {Item::Kind::Real, {}, 0, value}; }

void showMessage(ConsoleWriter& console, const std::vector<Item>& items) {
  beginMessage(console);
  for (const Item& item : items) {
    switch (item.kind) {
      case Item::Kind::Text: addText(console, item.text); break;
      case Item::Kind::Integer: addInteger(console, item.integer); break;
      case Item::Kind::Real: addReal(console, item.real); break;
    }
  }
  endMessage(console);
}

struct ConsoleWriterTest : ::testing::Test {
  MemoryByteSink sink;
  ConsoleWriter console;
  void SetUp() override { console.out = &sink; }
};

// The program's message shapes: texts at full length with no blank added,
// numbers right-aligned in 11 or 15 columns, one more after a number.
TEST_F(ConsoleWriterTest, MessageLines) {
  const std::string name = "isoterma_300K.dat" + std::string(33, ' ');  // 50 characters
  struct Case {
    std::string expected;
    std::vector<Item> items;
  };
  const Case cases[] = {
      {"Temperatura:       25.000000", {text("Temperatura: "), real(25.0f)}},
      {"Temperatura:      300.000000", {text("Temperatura: "), real(300.0f)}},
      {"No puntos totales:         120", {text("No puntos totales: "), integer(120)}},
      {" masa(g):    1.230000E-02", {text(" masa(g): "), real(0.0123f)}},
      {"No de puntos para T =       25.000000          37",
       {text("No de puntos para T = "), real(25.0f), integer(37)}},
      {"      25.000000     1000.000000    5.000000E-01", {real(25.0f), real(1000.0f), real(0.5f)}},
      {"       1.500000    1.230000E-02", {real(1.5f), real(0.0123f)}},
      {"     -25.000000   -5.000000E-01          -7", {real(-25.0f), real(-0.5f), integer(-7)}},
      {" Puntos ordenados por el campo", {text(" Puntos ordenados por el campo")}},
      {" No temperaturas          12", {text(" No temperaturas "), integer(12)}},
      {"      25.000000K", {real(25.0f), text("K")}},
      {"Fichero de datos:" + name, {text("Fichero de datos:"), text(name)}},
      {"-2147483648  2147483647           0",
       {integer(std::numeric_limits<std::int32_t>::min()), integer(2147483647), integer(0)}},
      {"", {}},
  };
  for (const Case& c : cases) {
    MemoryByteSink lineSink;
    ConsoleWriter fresh;
    fresh.out = &lineSink;
    showMessage(fresh, c.items);
    EXPECT_EQ(std::vector<std::string>{c.expected}, lineSink.calls(Call::Write));
    EXPECT_TRUE(lineSink.calls(Call::WriteIgnoringFailure).empty());
  }
}

// The text of a real: fixed form for 1 up to below 10 000 000 (judged before
// rounding), exponent form otherwise, a carry through nines raising the
// exponent; special values filled to 13 with '.'.
TEST(ComposeFreeTest, FixedAndExponentForms) {
  const float infinity = std::numeric_limits<float>::infinity();
  struct Case {
    const char* expected;
    float value;
  };
  const Case cases[] = {
      {"9999999.000000", 9999999.0f},  {"1.000000E+07", 10000000.0f},
      {"1.000000", 1.0f},              {"9.999999E-01", 0.99999994f},
      {"77.300000", 77.3f},            {"3.400000E+38", 3.4e38f},
      {"25.000000", 25.0f},            {"1234.568000", 1234.5678f},
      {"5.000000E-01", 0.5f},          {"0.000000E+00", 0.0f},
      {"0.000000E+00", -0.0f},         {"-1.230000E-02", -0.0123f},
      {"1.401298E-45", 1.4e-45f},      {"1.000000E-02", 0.01f},  // 0.009999999776...
      {"1.000000E+17", 1.0e17f},       // 99999998430674944
      {"1#INF........", infinity},     {"1#INF........", -infinity},
      {"1#IND........", std::bit_cast<float>(0xFFC00000u)},
  };
  for (const Case& c : cases) {
    const FieldText t = composeFree(c.value);
    EXPECT_EQ(c.expected, std::string(t.bytes, static_cast<std::size_t>(t.length))) << c.value;
  }
}

// Lines of 79 columns: a text is split at the end of the line (one that
// exactly fills it is followed by an empty line), and a number that does not
// fit starts the next line, its first blank becoming the line-control blank.
TEST_F(ConsoleWriterTest, LongMessagesBreakAt79Columns) {
  const std::string full(79, 'a');
  const std::string longer = std::string(79, 'b') + std::string(21, 'c');
  showMessage(console, {text(full)});
  showMessage(console, {text(longer)});
  showMessage(console, {text(std::string(70, 'd')), real(25.0f), integer(3)});
  showMessage(console, {text(std::string(60, 'e')), integer(3), real(25.0f)});
  const std::vector<std::string> expected = {
      full, "", std::string(79, 'b'), std::string(21, 'c'),
      std::string(70, 'd'), "     25.000000           3",
      std::string(60, 'e') + "          3", "      25.000000",
  };
  EXPECT_EQ(expected, sink.calls(Call::Write));
}

// The console byte stream: the first line has no line end in front, every
// later record gets CR LF first, one write per record; a pending line end
// is written for a prompt and at the end of the run, and stays pending.
TEST_F(ConsoleWriterTest, LineEndsComeBeforeTheNextLine) {
  endOfRun(console);
  endPendingLine(console);
  EXPECT_TRUE(sink.events.empty());
  showMessage(console, {text("uno")});
  showMessage(console, {text("dos")});
  endPendingLine(console);
  showMessage(console, {});
  endOfRun(console);
  EXPECT_EQ("uno\r\ndos\r\n\r\n\r\n", sink.written);
  const std::vector<std::string> records = {"uno", "dos", ""};
  EXPECT_EQ(records, sink.calls(Call::Write));
  EXPECT_EQ(4u, sink.calls(Call::WriteIgnoringFailure).size());
}

// A record write that fails while the run is ending stops further records.
TEST_F(ConsoleWriterTest, FailedRecordStopsWriting) {
  sink.failWrites = true;
  showMessage(console, {text("uno")});
  showMessage(console, {text("dos")});
  EXPECT_EQ(1u, sink.calls(Call::Write).size());
  EXPECT_TRUE(sink.calls(Call::WriteIgnoringFailure).empty());
}

}  // namespace
}  // namespace korvenal
