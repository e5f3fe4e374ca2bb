// What the example data set holds: which isotherms, which field sweep, which
// sample, which table. The generator writes the files from these values, and
// the example test uses them to know what the files must contain.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>
#include <string>

namespace korvenal::example {

// Twenty isotherms 2 K apart, 274 K to 312 K: the Curie temperature (293 K)
// falls in the middle of the pair 292 K / 294 K.
constexpr int IsothermCount = 20;
constexpr double FirstTemperature = 274.0;
constexpr double TemperatureStep = 2.0;

inline double nominalTemperature(int index) {
  return FirstTemperature + TemperatureStep * index;
}

// The name of the data file of isotherm `index`: "isotherm_274K.csv".
inline std::string dataFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "isotherm_%03dK.csv", static_cast<int>(nominalTemperature(index)));
  return name;
}

// The rising half of the field sweep in oersted. Near the Curie temperature
// the magnetisation rises steeply at low field, so the sweep starts with fine
// steps and then goes on every 2500 Oe up to 5 T. The falling half runs back
// through the same fields to 0.
constexpr std::array<double, 7> LowFieldSteps = {0, 100, 200, 500, 1000, 1500, 2000};
constexpr double CoarseFieldStep = 2500.0;
constexpr double TopField = 50000.0;
constexpr int RisingPointCount = 7 + 20;  // 0 ... 2000 fine, then 2500 ... 50000

inline double risingField(int index) {
  if (index < 7) return LowFieldSteps[static_cast<std::size_t>(index)];
  return CoarseFieldStep * (index - 6);
}

// The whole sweep, 0 -> 5 T -> 0: point `index` of SweepPointCount.
constexpr int SweepPointCount = 2 * RisingPointCount - 1;

inline double sweepField(int index) {
  return index < RisingPointCount ? risingField(index) : risingField(SweepPointCount - 1 - index);
}

// The sample: 23.8 mg of the model material. The data files carry the mass;
// the control file gives 0 so that it is read from the first data file.
constexpr double SampleMassMilligrams = 23.8;

// The thermometer reading scatters around the set point by at most this much
// (uniformly, from a fixed seed); the sample itself is at the set point.
constexpr double TemperatureNoise = 0.05;
constexpr unsigned long long NoiseSeed = 0x6b6f7276656e616cULL;

// The table: six fields in tesla, the rising branch.
constexpr std::array<double, 6> TableFields = {0.5, 1.0, 2.0, 3.0, 4.0, 5.0};
constexpr int SweepSign = 1;

}  // namespace korvenal::example
