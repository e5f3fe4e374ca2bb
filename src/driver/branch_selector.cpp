#include "driver/branch_selector.h"

#include <algorithm>
#include <cmath>

#include "driver/console_lines.h"
#include "driver/run_tables.h"
#include "runtime/arithmetic.h"

namespace korvenal {

namespace {

// The step from the previous raw point passes when the sweep sign times the
// step is positive; equal neighbouring fields never pass.
bool stepInSweepDirection(const RawPoint& previous, const RawPoint& current, int sweepSign) {
  const float step =
      storeSingle(static_cast<double>(current.field) - static_cast<double>(previous.field));
  return static_cast<double>(sweepSign) * static_cast<double>(step) > 0.0;
}

}  // namespace

void selectBranch(int i) {
  RunTables& tables = runTables();
  Isotherm& isotherm = tables.isotherms[i - 1];
  const float temperature = tables.temperatures[i - 1];
  const RawPoint* raw = tables.rawPoints;

  // The first passing step brings in the file's first kept row as point 1,
  // wherever in the file that step lies.
  int count = 0;
  for (int j = 1; j < tables.rawCount; ++j) {
    if (!stepInSweepDirection(raw[j - 1], raw[j], tables.settings.sweepSign)) continue;
    if (count == 0) isotherm.points[count++] = raw[0];
    isotherm.points[count++] = raw[j];
  }
  isotherm.count = count;

  for (int k = 0; k < count; ++k) {
    showReals(temperature, isotherm.points[k].field, isotherm.points[k].moment);
  }
  showTextRealInteger("No de puntos para T = ", temperature, count);
}

void orderByField(int i) {
  Isotherm& isotherm = runTables().isotherms[i - 1];
  showText(" Puntos ordenados por el campo");
  const int count = isotherm.count;
  if (count < 2) return;
  if (!(std::fabs(isotherm.points[0].field) > std::fabs(isotherm.points[count - 1].field))) return;

  std::reverse(isotherm.points, isotherm.points + count);
  for (int k = 0; k < count; ++k) showReals(isotherm.points[k].field, isotherm.points[k].moment);
}

}  // namespace korvenal
