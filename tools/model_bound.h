// How far a value of the example's table may lie from the model's exact
// entropy change, and why.
//
// A table value for isotherms at T1 < T2 and field B is
// V = -(I2 - I1) / (T2 - T1) / mass, with I the trapezoid integral of the
// moment over the kept points of the rising branch. The model's value is
// X = -(Phi(T2, B) - Phi(T1, B)) / (T2 - T1), Phi the exact integral of the
// magnetisation per kilogram. Three things separate V from X:
//
// 1. The trapezoid rule. For B > 0 the mean-field magnetisation rises with
//    the field and is concave (the field as a function of the moment is the
//    convex inverse Brillouin curve minus a straight line), so on every step
//    the trapezoid lies below the curve: E(T) = I/mass - Phi <= 0. On the
//    first step the moment at field 0 is set to zero by the reader, which
//    only lowers the trapezoid further. On a step [a, b] of width h the
//    shortfall is at most h (M(b) - M(a)) / 2 (the curve lies between the
//    two rectangles, the trapezoid is their mean) and at most
//    h^2 (M'(a) - M'(b)) / 8 (concavity); on the first step, where M'(0) is
//    unbounded at and below the Curie temperature, h M(h) / 2. Summing the
//    smaller of the two over the steps up to B gives U(T) >= -E(T) >= 0. Both
//    errors having the same sign, |E2 - E1| <= max(U1, U2), so the trapezoid
//    moves V by at most max(U1, U2) / (T2 - T1).
// 2. Single precision. The moments are read into floats (relative error at
//    most 2^-24 plus the 9-digit text's 5e-9) and each of the n partial sums
//    is rounded to a float (at most 2^-24 of the sum, which stays below
//    Phi). Together at most (n + 2) 2^-24 (Phi1 + Phi2) / (T2 - T1). The
//    fields as floats change the step widths by a few parts in a million,
//    equally for both isotherms, and the mass and the final store add
//    2^-23 and 2^-24 of the value: 1e-5 of the value covers all three.
// 3. The table's 3 decimals: half a unit of the last place, 0.0005.
// The thermometer noise in the files moves no value: the moments are the
// model's at the set point and the noise only has to stay inside the tool's
// 0.25 K window.
#pragma once

#include <algorithm>
#include <cmath>

#include "example_layout.h"
#include "mean_field_model.h"

namespace korvenal::example {

// U(T): the largest trapezoid shortfall of the rising branch's integral up
// to `field` (tesla) at `temperature`, J/kg.
inline double trapezoidShortfallBound(double temperature, double field) {
  double bound = 0.0;
  for (int k = 0; k + 1 < RisingPointCount; ++k) {
    const double a = risingField(k) * 1e-4;
    const double b = risingField(k + 1) * 1e-4;
    if (b > field + 1e-9) break;
    const double h = b - a;
    if (k == 0) {
      bound += h * magnetisation(temperature, b) / 2.0;
      continue;
    }
    const double rectangles = h * (magnetisation(temperature, b) - magnetisation(temperature, a)) / 2.0;
    const double curvature =
        h * h * (susceptibility(temperature, a) - susceptibility(temperature, b)) / 8.0;
    bound += std::min(rectangles, curvature);
  }
  return bound;
}

// Number of trapezoid steps of the rising branch up to `field` (tesla).
inline int stepsUpTo(double field) {
  int steps = 0;
  while (steps + 1 < RisingPointCount && risingField(steps + 1) * 1e-4 <= field + 1e-9) ++steps;
  return steps;
}

struct ModelCell {
  double exact = 0.0;  // the model's -dS averaged over [T1, T2], J/(kg K)
  double bound = 0.0;  // how far the table value may lie from it
};

inline ModelCell modelCell(double lower, double upper, double field) {
  const double width = upper - lower;
  const double exact = averagedEntropyChange(lower, upper, field);
  const double trapezoid =
      std::max(trapezoidShortfallBound(lower, field), trapezoidShortfallBound(upper, field)) / width;
  const double singles = (stepsUpTo(field) + 2) * std::ldexp(1.0, -24) *
                             (fieldIntegral(lower, field) + fieldIntegral(upper, field)) / width +
                         1e-5 * std::fabs(exact);
  return {exact, trapezoid + singles + 0.0005};
}

}  // namespace korvenal::example
