#include "driver/data_file_reader.h"

#include <cmath>

#include "driver/console_lines.h"
#include "driver/run_tables.h"
#include "records/fixed_field_reader.h"
#include "records/value_reader.h"
#include "runtime/arithmetic.h"
#include "runtime/failure.h"
#include "runtime/units.h"

namespace korvenal {

namespace {

constexpr int DataUnit = 12;
constexpr float MassThreshold = 0.0001f;
constexpr float MassScale = 0.001f;   // milligrams to grams
constexpr float FieldScale = 0.0001f;  // oersted to tesla
// Formed in double: 99.99999776482582...; for single-precision fields the
// same as a magnitude below 100.
constexpr double FieldZeroLimit = static_cast<double>(FieldTolerance) * 10000.0;

constexpr char MassMarker[LabelWidth + 1] = "INFO,HARMONICS";
constexpr char HeaderEnd[LabelWidth + 1] = "Comment,Time S";

struct Label {
  char text[LabelWidth] = {};
};

bool labelIs(const Label& label, const char (&marker)[LabelWidth + 1]) {
  return sameText(label.text, LabelWidth, marker, LabelWidth);
}

// Reads header lines, 14 characters each, until the label is `marker`.
// The test comes before each read.
void readLinesUntil(Unit& data, Label& label, const char (&marker)[LabelWidth + 1]) {
  while (!labelIs(label, marker)) {
    readTextLine(*data.input, data.name(), label.text, LabelWidth, LabelWidth,
                 ReadHandling::NoHandling);
  }
}

// The line after "INFO,HARMONICS": 14 characters of text, then the mass in
// milligrams as a width-14 number with 7 implied decimals.
void lookUpMass(Unit& data, Label& label, float& mass) {
  readLinesUntil(data, label, MassMarker);
  FixedRead read;
  beginFixedRead(read, *data.input, data.name(), ReadHandling::NoHandling);
  readTextField(read, label.text, LabelWidth, LabelWidth);
  readNumberField(read, mass, 14, 7);
  endFixedRead(read);
  mass = storeSingle(static_cast<double>(mass) * static_cast<double>(MassScale));
}

// The cells one row read fills: positions 3, 4 and 7 are kept, the others
// land in the discard cell.
struct RowCells {
  float discard = 0.0f;
  float temperature = 0.0f;
  float field = 0.0f;
  float moment = 0.0f;
};

enum class RowRead { Complete, Faulty, EndOfData };

// One free-form read of seven values. A row is complete only when the
// temperature, field and moment positions each received a value from it.
RowRead readRow(LineSource& line, std::string_view unitName, RowCells& cells) {
  ValueRead read;
  beginRead(read, line, unitName, ReadHandling::AllHandled);
  float* const targets[7] = {&cells.discard, &cells.discard, &cells.temperature, &cells.field,
                             &cells.discard, &cells.discard, &cells.moment};
  bool kept = true;
  for (int position = 0; position < 7; ++position) {
    const ReadOutcome outcome = readReal(read, *targets[position]);
    if (outcome.kind == ReadOutcome::Kind::EndOfFile) return RowRead::EndOfData;
    if (outcome.kind == ReadOutcome::Kind::Error) {
      if (outcome.number == failure::SystemReadFailed) {
        failUnhandled(outcome.number, Statement::Read, unitName);
        return RowRead::EndOfData;
      }
      // Drop the rest of the line the faulty value stood on, so that the next
      // row starts on a line of its own.
      if (!read.lineEndTaken) finishLine(*read.line);
      return RowRead::Faulty;
    }
    const bool needed = position == 2 || position == 3 || position == 6;
    if (needed && !read.lastTargetAssigned) kept = false;
  }
  if (!endRead(read).isOk()) return RowRead::EndOfData;
  return kept ? RowRead::Complete : RowRead::Faulty;
}

bool withinTolerance(float rowTemperature, float nominal) {
  const double distance =
      std::fabs(static_cast<double>(rowTemperature) - static_cast<double>(nominal));
  return distance <= static_cast<double>(TemperatureTolerance);
}

// A kept row becomes a point: small fields are zeroed with their moment, the
// field is scaled to the table's unit.
RawPoint pointFromRow(const RowCells& cells) {
  RawPoint point{cells.field, cells.moment};
  if (std::fabs(static_cast<double>(point.field)) < FieldZeroLimit) {
    point.moment = 0.0f;
    point.field = 0.0f;
  }
  point.field = storeSingle(static_cast<double>(point.field) * static_cast<double>(FieldScale));
  return point;
}

// The rows are read in large blocks: a data file may hold a whole measurement
// campaign, and one system call per 1024 bytes would cost more than the rows.
// One data file is read at a time and its unit is released after its rows,
// so a single buffer serves every file.
unsigned char rowBlocks[LargeBlockSize];

}  // namespace

int readRows(LineSource& line, std::string_view unitName, float nominal, RawPoint* points) {
  readInBlocksOf(line, rowBlocks, LargeBlockSize);
  RowCells cells;
  int kept = 0;
  while (kept < MaxPoints) {
    const RowRead row = readRow(line, unitName, cells);
    if (row == RowRead::EndOfData) break;
    if (row == RowRead::Faulty) continue;
    if (!withinTolerance(cells.temperature, nominal)) continue;
    points[kept++] = pointFromRow(cells);
  }
  return kept;
}

void readDataFile(int i) {
  RunTables& tables = runTables();
  Unit& data = connectedUnit(DataUnit);
  Label label;
  assignText(label.text, LabelWidth, " ", 1);

  float& mass = tables.settings.mass;
  if (std::fabs(mass) < MassThreshold) lookUpMass(data, label, mass);
  showTextReal(" masa(g): ", mass);

  readLinesUntil(data, label, HeaderEnd);
  tables.rawCount =
      readRows(*data.input, data.name(), tables.temperatures[i - 1], tables.rawPoints);
  releaseUnit(DataUnit);
  showTextInteger("No puntos totales: ", tables.rawCount);
}

}  // namespace korvenal
