// The mean-field (Weiss-Brillouin) ferromagnet behind the example data set:
// ions of angular momentum J = 7/2 and g = 2, as many per kilogram as
// gadolinium has (molar mass 157.25 g/mol), coupled by a molecular field that
// puts the Curie temperature at 293 K.
//
// Every ion sees the applied field plus a molecular field proportional to the
// mean moment, so one ion's state is the thermal state of -h Jz with
// h = g muB B + w <Jz>. The free energy of that state gives the magnetisation,
// the entropy and the field integral of the magnetisation exactly, so the
// entropy change that a pair of isotherms measures is known without numerical
// differentiation.
//
// Units: temperature in kelvin, field in tesla, magnetisation in A m^2/kg
// (numerically emu/g), entropy in J/(kg K), field integral in J/kg.
#pragma once

#include <cassert>
#include <cmath>

namespace korvenal::example {

constexpr double BohrMagneton = 9.2740100783e-24;   // J/T
constexpr double Boltzmann = 1.380649e-23;          // J/K
constexpr double Avogadro = 6.02214076e23;          // 1/mol
constexpr double MolarMass = 0.15725;               // kg/mol
constexpr double IonsPerKilogram = Avogadro / MolarMass;
constexpr double Spin = 3.5;                        // J
constexpr double GFactor = 2.0;
constexpr double CurieTemperature = 293.0;          // K
constexpr int SpinStates = 8;                       // 2J + 1
// Molecular-field constant w (J per unit Jz^2): linearising <Jz> = J(J+1)/3 y
// at zero field gives the ordering temperature w J(J+1) / (3 k).
constexpr double ExchangeConstant = 3.0 * Boltzmann * CurieTemperature / (Spin * (Spin + 1.0));
constexpr double IonMoment = GFactor * BohrMagneton;  // J/T per unit Jz

// Thermal averages of one ion at reduced field y = h / (k T): the partition
// function Z = sum of exp(y m) over m = -J ... J, and the first two moments
// of Jz. The plain sum over the eight states has no singularity at y = 0.
struct IonAverages {
  double partition = 0.0;
  double meanJz = 0.0;
  double varianceJz = 0.0;
};

inline IonAverages ionAverages(double y) {
  double z = 0.0;
  double first = 0.0;
  double second = 0.0;
  for (int state = 0; state < SpinStates; ++state) {
    const double m = -Spin + state;
    const double weight = std::exp(y * m);
    z += weight;
    first += m * weight;
    second += m * m * weight;
  }
  const double mean = first / z;
  return {z, mean, second / z - mean * mean};
}

// Reduced field of an ion whose neighbours have mean Jz s.
inline double reducedField(double temperature, double field, double s) {
  return (IonMoment * field + ExchangeConstant * s) / (Boltzmann * temperature);
}

// Returns the stable self-consistent <Jz> at temperature T > 0 and field
// B >= 0: the largest root of s = <Jz>(y(s)). s minus the Brillouin curve is
// convex for s >= 0, so the root is unique above a point where it is
// negative; bisection runs until the interval no longer shrinks.
inline double meanSpin(double temperature, double field) {
  assert(temperature > 0.0 && field >= 0.0);
  const auto excess = [&](double s) {
    return s - ionAverages(reducedField(temperature, field, s)).meanJz;
  };
  double low = 0.0;
  if (field == 0.0) {
    if (temperature >= CurieTemperature) return 0.0;
    low = 1e-6;  // above the trivial root at 0, where the curve still lies above s
  }
  double high = Spin;
  for (;;) {
    const double middle = 0.5 * (low + high);
    if (middle <= low || middle >= high) return middle;
    (excess(middle) < 0.0 ? low : high) = middle;
  }
}

// Magnetisation per kilogram, A m^2/kg (= emu/g).
inline double magnetisation(double temperature, double field) {
  return IonsPerKilogram * IonMoment * meanSpin(temperature, field);
}

// dM/dB at constant temperature, A m^2/(kg T): from s = <Jz>(y(s)),
// ds/dB = var (g muB / kT) / (1 - var w / kT).
inline double susceptibility(double temperature, double field) {
  const double s = meanSpin(temperature, field);
  const double variance = ionAverages(reducedField(temperature, field, s)).varianceJz;
  const double kt = Boltzmann * temperature;
  return IonsPerKilogram * IonMoment * (variance * IonMoment / kt) /
         (1.0 - variance * ExchangeConstant / kt);
}

// Entropy per kilogram, J/(kg K): the ion's thermal state has
// S / k = ln Z - y <Jz>.
inline double entropy(double temperature, double field) {
  const double s = meanSpin(temperature, field);
  const double y = reducedField(temperature, field, s);
  return IonsPerKilogram * Boltzmann * (std::log(ionAverages(y).partition) - y * s);
}

// Free energy per ion at its self-consistent state, J:
// G = -k T ln Z + w <Jz>^2 / 2 (the molecular field counted once).
// dG/dB = -g muB <Jz>, since G is stationary in <Jz>.
inline double ionFreeEnergy(double temperature, double field) {
  const double s = meanSpin(temperature, field);
  const double y = reducedField(temperature, field, s);
  return -Boltzmann * temperature * std::log(ionAverages(y).partition) +
         0.5 * ExchangeConstant * s * s;
}

// Integral of the magnetisation over the field from 0 to B, J/kg:
// Phi(T, B) = N (G(T, 0) - G(T, B)).
inline double fieldIntegral(double temperature, double field) {
  return IonsPerKilogram * (ionFreeEnergy(temperature, 0.0) - ionFreeEnergy(temperature, field));
}

// Isothermal entropy change S(T, B) - S(T, 0), J/(kg K).
inline double entropyChange(double temperature, double field) {
  return entropy(temperature, field) - entropy(temperature, 0.0);
}

// What a pair of isotherms at T1 and T2 measures for a field change 0 -> B,
// with its sign reversed: -[Phi(T2, B) - Phi(T1, B)] / (T2 - T1), which by
// dPhi/dT = S(T, B) - S(T, 0) is -dS averaged over the interval, J/(kg K).
inline double averagedEntropyChange(double lower, double upper, double field) {
  return -(fieldIntegral(upper, field) - fieldIntegral(lower, field)) / (upper - lower);
}

}  // namespace korvenal::example
