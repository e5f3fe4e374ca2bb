// make_example: writes the example working directory from the mean-field
// ferromagnet model, and compares a table with the model.
//
//   make_example DIR            writes DIR/KORVENAL.inp, one data file per
//                               isotherm and DIR/expected/KORVENAL.dat
//   make_example --model        prints the model's exact -dS for every pair
//                               and table field, with the allowed deviation
//   make_example --compare FILE checks a KORVENAL.dat against the model;
//                               exit status 1 when a value is out of bounds
//
// The output depends on nothing but the model and a fixed seed, so running it
// again reproduces the committed files byte for byte.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "example_layout.h"
#include "mean_field_model.h"
#include "model_bound.h"
#include "table_reference.h"

namespace korvenal::example {
namespace {

// A small random sequence defined here in full (splitmix64), so that the noise is
// the same on every platform and library.
struct NoiseSource {
  std::uint64_t state;
  // Returns a value uniform in [-1, 1).
  double next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-52 - 1.0;
  }
};

std::string format(const char* pattern, auto... values) {
  char line[512];
  std::snprintf(line, sizeof line, pattern, values...);
  return line;
}

// The control file: mass 0 (taken from the first data file), six fields,
// the rising branch, then temperature and file name of every isotherm.
std::string controlFileText() {
  std::string text = "0\r\n";
  text += format("%d %d\r\n", static_cast<int>(TableFields.size()), SweepSign);
  for (std::size_t f = 0; f < TableFields.size(); ++f) {
    text += format(f == 0 ? "%g" : " %g", TableFields[f]);
  }
  text += "\r\n";
  for (int i = 0; i < IsothermCount; ++i) {
    text += format("%.0f\r\n", nominalTemperature(i));
    text += dataFileName(i) + "\r\n";
  }
  return text;
}

// One isotherm's export: header lines, the harmonics line and the mass line,
// the data-start line, the column titles, then one row per field of the
// sweep 0 -> 5 T -> 0. Columns: comment (empty), time stamp, measured
// temperature, field (Oe), set point, field rate, moment (emu), moment error,
// fit quality, sweep branch.
std::string dataFileText(int index) {
  const double setPoint = nominalTemperature(index);
  const double massGrams = SampleMassMilligrams * 1e-3;
  NoiseSource noise{NoiseSeed + static_cast<std::uint64_t>(index)};
  std::string text;
  text += "# Magnetisation isotherm, comma-separated export\r\n";
  text += "FILE_FORMAT,2\r\n";
  text += "CREATED_BY,make_example (mean-field ferromagnet J=7/2 g=2 Tc=293 K)\r\n";
  text += "SAMPLE_NAME,Gd-like model ferromagnet\r\n";
  text += "SAMPLE_SHAPE,sphere\r\n";
  text += format("SET_TEMPERATURE,%.2f,K\r\n", setPoint);
  text += "INFO,HARMONICS,1\r\n";
  text += format("INFO,MASS(mg),%14.7f,sample mass\r\n", SampleMassMilligrams);
  text += "INFO,FIELD_SWEEP,0 to 50000 to 0 Oe\r\n";
  text += "BEGIN_DATA\r\n";
  text += "Comment,Time Stamp (sec),Temperature (K),Magnetic Field (Oe),Set Point (K),"
          "Field Rate (Oe/s),Moment (emu),Moment Error (emu),Fit Quality,Branch\r\n";
  double time = 36000.0 + 5400.0 * index;
  for (int k = 0; k < SweepPointCount; ++k) {
    const double field = sweepField(k);
    const double measured = setPoint + TemperatureNoise * noise.next();
    const double moment = magnetisation(setPoint, field * 1e-4) * massGrams;
    const bool rising = k < RisingPointCount;
    const double rate = k == 0 ? 0.0 : (rising ? 50.0 : -50.0);
    text += format(",%.2f,%.4f,%.4f,%.2f,%.1f,%.8e,%.2e,%.4f,%s\r\n", time, measured, field,
                   setPoint, rate, moment, 2e-6 + 1e-5 * moment, 0.998 + 0.001 * noise.next(),
                   rising ? "up" : "down");
    time += 8.0 + 2.0 * noise.next();
  }
  return text;
}

bool writeFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out);
}

int writeExample(const std::filesystem::path& directory) {
  std::filesystem::create_directories(directory / "expected");
  bool ok = writeFile(directory / "KORVENAL.inp", controlFileText());
  for (int i = 0; i < IsothermCount; ++i) {
    ok = ok && writeFile(directory / dataFileName(i), dataFileText(i));
  }
  ok = ok && writeFile(directory / "expected" / "KORVENAL.dat", referenceTable(directory.string()));
  if (!ok) {
    std::fprintf(stderr, "make_example: cannot write into %s\n", directory.string().c_str());
    return 1;
  }
  std::printf("wrote %d isotherms, KORVENAL.inp and expected/KORVENAL.dat into %s\n",
              IsothermCount, directory.string().c_str());
  return 0;
}

// The model's table: for each pair the exact averaged -dS and its bound.
int printModel() {
  std::printf("  T1     T2      B(T)   -dS exact   bound\n");
  double peak = 0.0;
  double peakTemperature = 0.0;
  for (int i = 0; i + 1 < IsothermCount; ++i) {
    const double lower = nominalTemperature(i);
    const double upper = nominalTemperature(i + 1);
    for (const double field : TableFields) {
      const ModelCell cell = modelCell(lower, upper, field);
      std::printf("%6.1f %6.1f %6.2f %11.5f %9.5f\n", lower, upper, field, cell.exact, cell.bound);
      if (field == TableFields.back() && cell.exact > peak) {
        peak = cell.exact;
        peakTemperature = (lower + upper) / 2.0;
      }
    }
  }
  std::printf("peak -dS for 0-5 T: %.4f J/(kg K) at %.1f K (pair average); "
              "-dS(Tc = %.0f K, 5 T) = %.4f J/(kg K)\n",
              peak, peakTemperature, CurieTemperature, -entropyChange(CurieTemperature, 5.0));
  return 0;
}

// Reads a KORVENAL.dat and checks every value against the model's bound.
int compareTable(const std::string& path) {
  const std::vector<std::string> lines = contentLines(readWholeFile(path));
  if (lines.size() != IsothermCount) {
    std::fprintf(stderr, "make_example: %s holds %zu lines, expected %d\n", path.c_str(),
                 lines.size(), IsothermCount);
    return 1;
  }
  int outside = 0;
  double worst = 0.0;
  std::printf("  mean T    B(T)     table    model   difference   bound\n");
  for (int i = 0; i + 1 < IsothermCount; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i) + 1];
    for (std::size_t f = 0; f < TableFields.size(); ++f) {
      const double value = std::strtod(line.substr(8 + 13 * f + 2, 11).c_str(), nullptr);
      const ModelCell cell = modelCell(nominalTemperature(i), nominalTemperature(i + 1), TableFields[f]);
      const double difference = value - cell.exact;
      worst = std::max(worst, std::fabs(difference) / cell.bound);
      const bool inside = std::fabs(difference) <= cell.bound;
      outside += inside ? 0 : 1;
      std::printf("%8s %6.2f %9.3f %9.4f %10.4f %9.4f%s\n", line.substr(0, 8).c_str(), TableFields[f],
                  value, cell.exact, difference, cell.bound, inside ? "" : "  OUTSIDE");
    }
  }
  std::printf("%d values outside their bound; largest |difference| / bound = %.3f\n", outside, worst);
  return outside == 0 ? 0 : 1;
}

}  // namespace
}  // namespace korvenal::example

int main(int argc, char** argv) {
  using namespace korvenal::example;
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc == 2 && first == "--model") return printModel();
  if (argc == 3 && first == "--compare") return compareTable(argv[2]);
  if (argc == 2 && !first.empty() && first[0] != '-') return writeExample(first);
  std::fprintf(stderr,
               "usage: make_example DIR | make_example --model | make_example --compare KORVENAL.dat\n");
  return 2;
}
