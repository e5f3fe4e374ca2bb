// A large magnetometer data file for the speed measurements: the header of
// the example files, then rows of a whole measurement campaign (every
// temperature of the campaign, rising and falling field, DC and AC rows),
// about 100 bytes each, every line ending in CR LF. The file holds no row at
// `AbsentTemperature`, so a reader looking for that isotherm reads it whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace korvenal::bench {

// The campaign: isotherms 250 K to 348 K, 2 K apart; none is within a
// quarter degree of 400 K.
constexpr int CampaignIsotherms = 50;
constexpr double CampaignFirstTemperature = 250.0;
constexpr double CampaignTemperatureStep = 2.0;
constexpr float AbsentTemperature = 400.0f;
constexpr int RowsPerSweep = 201;  // 0 -> 50000 -> 0 Oe in 500 Oe steps

// Header lines, as the example files have them.
inline std::string campaignHeader() {
  return "# Magnetisation isotherms, comma-separated export\r\n"
         "FILE_FORMAT,2\r\n"
         "CREATED_BY,make_big_data (speed measurements)\r\n"
         "SAMPLE_NAME,campaign\r\n"
         "INFO,HARMONICS,1\r\n"
         "INFO,MASS(mg),    23.8000000,sample mass\r\n"
         "BEGIN_DATA\r\n"
         "Comment,Time Stamp (sec),Temperature (K),Magnetic Field (Oe),Set Point (K),"
         "Field Rate (Oe/s),Moment (emu),Moment Error (emu),Fit Quality,Sample Position (cm),Branch,Mode\r\n";
}

// Row `index` of the campaign, with its line end, written at `out` (room for
// 160 bytes). Returns its length. The values are made from the index alone,
// with a small integer hash standing in for measurement scatter.
inline int campaignRow(std::uint64_t index, char* out) {
  const std::uint64_t sweep = index / RowsPerSweep;
  const auto step = static_cast<int>(index % RowsPerSweep);
  const int isotherm = static_cast<int>(sweep % CampaignIsotherms);
  const bool ac = (sweep / CampaignIsotherms) % 2 == 1;
  const bool rising = step <= RowsPerSweep / 2;
  const int fieldStep = rising ? step : RowsPerSweep - 1 - step;
  const std::uint64_t hash = (index + 1) * 0x9E3779B97F4A7C15ULL;
  const double scatter = static_cast<double>((hash >> 40) % 1000) / 1000.0 - 0.5;  // -0.5 .. 0.5
  const double setPoint = CampaignFirstTemperature + CampaignTemperatureStep * isotherm;
  const double temperature = setPoint + 0.1 * scatter;
  const double field = 500.0 * fieldStep;
  const double moment = 3.2 * field / (field + 8000.0 + 40.0 * isotherm) * (1.0 + 0.001 * scatter);
  const double error = 2.0e-6 + 1.0e-6 * moment;
  const double time = 106200000.0 + 7.25 * static_cast<double>(index);
  const double position = 3.45 + 0.002 * scatter;
  return std::snprintf(out, 160, ",%.3f,%.4f,%.4f,%.2f,%.1f,%.8e,%.8e,%.6f,%.4f,%s,%s\r\n", time,
                       temperature, field, setPoint, rising ? 50.0 : -50.0, moment, error,
                       0.997 + 0.002 * scatter, position, rising ? "up" : "down", ac ? "AC" : "DC");
}

}  // namespace korvenal::bench
