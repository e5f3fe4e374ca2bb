// The entropy-change table "KORVENAL.dat": one row per pair of neighbouring
// isotherms, one value per table field.
#pragma once

#include "driver/run_tables.h"

namespace korvenal {

// Writes the whole table on unit 11 and releases it.
void writeEntropyTable();

// The trapezoid integral of the moment over the field, from the isotherm's
// first point up to `field`; not extrapolated beyond the last point.
float integrateMoment(const Isotherm& isotherm, float field);

// The moment at `field` on the line through points k and k + 1 (from 0);
// requires k + 1 < count.
float interpolateMoment(const Isotherm& isotherm, int k, float field);

}  // namespace korvenal
