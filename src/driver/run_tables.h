// The run's data: fixed tables that exist, zero-filled, for the whole process.
// Indices in the run's own terms count from 1; the arrays below are indexed
// from 0, so entry i lives at [i - 1].
#pragma once

#include <cstdint>

namespace korvenal {

inline constexpr int MaxFields = 20;
inline constexpr int MaxIsotherms = 100;
inline constexpr int MaxPoints = 100;
inline constexpr int FileNameWidth = 50;
inline constexpr int LabelWidth = 14;

// A data row is kept when its temperature lies within this of the entry's.
inline constexpr float TemperatureTolerance = 0.25f;
// A table field plus this still reaches a point; times 10000 it is the raw
// field below which a row's field and moment are zeroed.
inline constexpr float FieldTolerance = 0.01f;

struct RunSettings {
  float mass = 0.0f;  // grams; below 0.0001 in magnitude: taken from the data files
  std::int32_t fieldCount = 0;
  std::int32_t sweepSign = 0;  // > 0 rising branch, < 0 falling branch, 0 none
  float fields[MaxFields] = {};
};

struct IsothermEntry {
  float nominalTemperature = 0.0f;
  char dataFileName[FileNameWidth] = {};
};

struct RawPoint {
  float field = 0.0f;
  float moment = 0.0f;
};

struct Isotherm {
  RawPoint points[MaxPoints] = {};
  std::int32_t count = 0;  // 0, or 2 to 100
};

struct RunTables {
  RunSettings settings;
  float temperatures[MaxIsotherms] = {};
  std::int32_t temperatureCount = 0;
  RawPoint rawPoints[MaxPoints] = {};
  std::int32_t rawCount = 0;
  Isotherm isotherms[MaxIsotherms] = {};
  float rowBuffer[MaxFields] = {};
};

// The one set of run tables.
RunTables& runTables();

}  // namespace korvenal
