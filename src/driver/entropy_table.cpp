#include "driver/entropy_table.h"

#include <cassert>

#include "records/table_writer.h"
#include "runtime/arithmetic.h"
#include "runtime/units.h"

namespace korvenal {

namespace {

constexpr int TableUnit = 11;
constexpr char TableFileName[] = "KORVENAL.dat";

double wide(float value) { return static_cast<double>(value); }

// " T/B    " then, per field, 8 blanks and the field as 5.2.
void writeHeader(TableWriter& table, const RunSettings& settings) {
  putText(table, " T/B    ", 8);
  putBlanks(table, 4);
  finishWrite(table, true);
  for (int f = 0; f < settings.fieldCount; ++f) {
    putBlanks(table, 4);
    putFixed(table, settings.fields[f], 5, 2);
    putBlanks(table, 4);
    finishWrite(table, true);
  }
  finishWrite(table, false);
}

// -(((upper - lower) / (T2 - T1)) / mass), rounded once when stored.
float entropyChange(float lower, float upper, float t1, float t2, float mass) {
  const double perKelvin = divideChecked(wide(upper) - wide(lower), wide(t2) - wide(t1));
  return storeSingle(-divideChecked(perKelvin, wide(mass)));
}

// Pair i (from 0): the mean temperature as 8.3, then per field 2 blanks and
// the value as 11.3. Each value is written as soon as it is known, so a fault
// leaves the row's earlier fields in the file.
void writeRow(TableWriter& table, RunTables& tables, int i) {
  const float t1 = tables.temperatures[i];
  const float t2 = tables.temperatures[i + 1];
  putFixed(table, storeSingle((wide(t2) + wide(t1)) / 2.0), 8, 3);
  finishWrite(table, true);
  for (int f = 0; f < tables.settings.fieldCount; ++f) {
    const float field = tables.settings.fields[f];
    const float lower = integrateMoment(tables.isotherms[i], field);
    const float upper = integrateMoment(tables.isotherms[i + 1], field);
    tables.rowBuffer[f] = entropyChange(lower, upper, t1, t2, tables.settings.mass);
    putBlanks(table, 2);
    putFixed(table, tables.rowBuffer[f], 11, 3);
    finishWrite(table, true);
  }
  finishWrite(table, false);
}

}  // namespace

float interpolateMoment(const Isotherm& isotherm, int k, float field) {
  assert(k + 1 < isotherm.count);
  const RawPoint& a = isotherm.points[k];
  const RawPoint& b = isotherm.points[k + 1];
  const double weighted = (wide(b.field) - wide(field)) * wide(a.moment) +
                          (wide(field) - wide(a.field)) * wide(b.moment);
  return storeSingle(divideChecked(weighted, wide(b.field) - wide(a.field)));
}

float integrateMoment(const Isotherm& isotherm, float field) {
  const double reach = wide(field) + wide(FieldTolerance);
  float sum = 0.0f;
  for (int k = 0; k + 1 < isotherm.count; ++k) {
    const RawPoint& a = isotherm.points[k];
    const RawPoint& b = isotherm.points[k + 1];
    if (reach < wide(b.field)) {
      // The last, partial step up to the field.
      const float m = interpolateMoment(isotherm, k, field);
      return storeSingle((wide(field) - wide(a.field)) * (wide(a.moment) + wide(m)) * 0.5 +
                         wide(sum));
    }
    sum = storeSingle((wide(b.moment) + wide(a.moment)) * (wide(b.field) - wide(a.field)) * 0.5 +
                      wide(sum));
  }
  return sum;
}

void writeEntropyTable() {
  RunTables& tables = runTables();
  connectUnit(TableUnit, TableFileName, 12);
  TableWriter& table = connectedUnit(TableUnit).output;
  writeHeader(table, tables.settings);
  for (int i = 0; i + 1 < tables.temperatureCount; ++i) writeRow(table, tables, i);
  releaseUnit(TableUnit);
}

}  // namespace korvenal
