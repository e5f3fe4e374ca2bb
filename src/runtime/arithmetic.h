// Checked arithmetic: every computation runs in double precision and is
// rounded to single precision only where a value is stored. The faults the
// run must end on (invalid operation, division by zero, overflow on a store)
// are found by explicit checks here, never by hardware traps, so that every
// processor behaves alike. Underflow and subnormal results pass silently.
#pragma once

namespace korvenal {

// Rounds `value` to single precision; a finite value that becomes infinite
// ends the run with the overflow report (M6104).
float storeSingle(double value);

// numerator / denominator; a zero denominator ends the run with M6103, or
// M6101 when the numerator is zero too (0/0 is an invalid operation).
double divideChecked(double numerator, double denominator);

// Confirms the floating-point environment the run relies on (IEEE formats,
// no extended intermediates, rounding to nearest).
void setUpArithmetic();

}  // namespace korvenal
