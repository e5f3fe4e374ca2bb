// The example data set: korvenal run on examples/ must write exactly the
// committed table examples/expected/KORVENAL.dat, and every value of that
// table must agree with the exact entropy change of the mean-field model that
// produced the data.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "../../tools/example_layout.h"
#include "../../tools/mean_field_model.h"
#include "../../tools/model_bound.h"
#include "../../tools/table_reference.h"

namespace {

namespace fs = std::filesystem;
namespace ex = korvenal::example;

const std::string ExampleDir = std::string(KORVENAL_SOURCE_DIR) + "/examples";
const std::string ExpectedTablePath = ExampleDir + "/expected/KORVENAL.dat";

// Checks every value of a KORVENAL.dat written for the example against the
// model's -dS averaged over the pair's interval, within the bound derived in
// model_bound.h (trapezoid shortfall, single precision, 3 decimals).
void expectAgreementWithModel(const std::string& table) {
  const std::vector<std::string> lines = ex::contentLines(table);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(ex::IsothermCount));
  for (int i = 0; i + 1 < ex::IsothermCount; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i) + 1];
    ASSERT_EQ(line.size(), 8 + 13 * ex::TableFields.size()) << line;
    const double lower = ex::nominalTemperature(i);
    const double upper = ex::nominalTemperature(i + 1);
    EXPECT_EQ(std::strtod(line.substr(0, 8).c_str(), nullptr), (lower + upper) / 2.0) << line;
    for (std::size_t f = 0; f < ex::TableFields.size(); ++f) {
      const double value = std::strtod(line.substr(8 + 13 * f + 2, 11).c_str(), nullptr);
      const ex::ModelCell cell = ex::modelCell(lower, upper, ex::TableFields[f]);
      EXPECT_NEAR(value, cell.exact, cell.bound)
          << "pair " << lower << " K / " << upper << " K, field " << ex::TableFields[f] << " T";
    }
  }
}

// The model behind the data obeys its own thermodynamics: the field integral
// from the free energy is the integral of the magnetisation, its temperature
// derivative is the entropy change (Maxwell), the magnetisation is concave in
// the field (which the bound relies on), and -dS(Tc, 5 T) is about 10.1.
TEST(ExampleModel, IsThermodynamicallyConsistent) {
  for (const double temperature : {280.0, 291.0, 300.0}) {
    const double field = 2.0;
    const int intervals = 2000;  // Simpson's rule on a smooth curve
    const double h = field / intervals;
    double simpson = 0.0;
    for (int k = 0; k <= intervals; ++k) {
      const double weight = k == 0 || k == intervals ? 1.0 : (k % 2 == 1 ? 4.0 : 2.0);
      simpson += weight * ex::magnetisation(temperature, k * h);
    }
    simpson *= h / 3.0;
    EXPECT_NEAR(ex::fieldIntegral(temperature, field), simpson, 1e-6 * simpson) << temperature;

    const double dt = 1e-3;
    const double dPhi = (ex::fieldIntegral(temperature + dt, field) -
                         ex::fieldIntegral(temperature - dt, field)) / (2.0 * dt);
    EXPECT_NEAR(dPhi, ex::entropyChange(temperature, field), 1e-5) << temperature;

    for (int k = 1; k + 1 < ex::RisingPointCount; ++k) {
      const double a = ex::risingField(k) * 1e-4;
      const double b = ex::risingField(k + 1) * 1e-4;
      EXPECT_LT(ex::magnetisation(temperature, a), ex::magnetisation(temperature, b));
      EXPECT_GT(ex::susceptibility(temperature, a), ex::susceptibility(temperature, b));
    }
  }
  const double peak = -ex::entropyChange(ex::CurieTemperature, 5.0);
  EXPECT_GT(peak, 10.05);
  EXPECT_LT(peak, 10.2);
}

// The reference that produced the expected table follows the tool's rules:
// its field editing and its trapezoid rule on cases worked out by hand.
TEST(ExampleReference, FollowsTheTableRules) {
  struct Case {
    const char* expected;
    float value;
    int width;
    int decimals;
  };
  const Case cases[] = {
      {"    .500", 0.5f, 8, 3},           {"  25.000", 25.0f, 8, 3},
      {" 275.500", 275.5f, 8, 3},         {"  10.000", 9.9996f, 8, 3},
      {" 1.00", 1.0f, 5, 2},              {"  .50", 0.5f, 5, 2},
      {"-9.99", -9.99f, 5, 2},            {"*****", 99.995f, 5, 2},
      {"  12345.680", 12345.678f, 11, 3}, {" 123456.800", 123456.789f, 11, 3},
      {"      -.123", -0.123f, 11, 3},    {"     -3.142", -3.14159f, 11, 3},
      {"       .000", -0.0004f, 11, 3},   {"      -.001", -0.0005f, 11, 3},
      {"       .000", -0.0f, 11, 3},      {"***********", 12345678.0f, 11, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, ex::referenceFixed(c.value, c.width, c.decimals)) << c.value;
  }

  const std::vector<ex::ReferencePoint> lower = {{0, 0}, {1, 10}, {2, 20}};
  const std::vector<ex::ReferencePoint> upper = {{0, 0}, {1, 8}, {2, 16}};
  EXPECT_EQ(5.0f, ex::referenceIntegral(lower, 1.0f));
  EXPECT_EQ(4.0f, ex::referenceIntegral(upper, 1.0f));
  EXPECT_EQ(7.8125f, ex::referenceIntegral(lower, 1.25f));
  EXPECT_EQ(20.0f, ex::referenceIntegral(lower, 1.995f));  // 2.0 counts as reached
  EXPECT_EQ(20.0f, ex::referenceIntegral(lower, 7.0f));    // no extrapolation
  // A point 0.005 above B counts as reached; the partial step that follows
  // has width -0.005 and takes the excess back: 5 B^2 for a moment of 10 B.
  const std::vector<ex::ReferencePoint> longer = {{0, 0}, {1, 10}, {2, 20}, {3, 30}};
  EXPECT_NEAR(5.0 * 1.995 * 1.995, static_cast<double>(ex::referenceIntegral(longer, 1.995f)), 1e-5);
}

// The committed expected table is the reference computed from the committed
// control file and data files, so the two cannot drift apart.
TEST(ExampleTable, ExpectedTableIsTheReference) {
  EXPECT_EQ(ex::readWholeFile(ExpectedTablePath), ex::referenceTable(ExampleDir));
}

// The committed expected table agrees with the model, and its 0-5 T column
// peaks at the pair around the Curie temperature near 10 J/(kg K).
TEST(ExampleTable, ExpectedTableAgreesWithModel) {
  const std::string table = ex::readWholeFile(ExpectedTablePath);
  expectAgreementWithModel(table);

  const std::vector<std::string> lines = ex::contentLines(table);
  double peak = 0.0;
  std::string peakTemperature;
  for (std::size_t row = 1; row < lines.size(); ++row) {
    const double value = std::strtod(lines[row].substr(lines[row].size() - 11).c_str(), nullptr);
    if (value > peak) {
      peak = value;
      peakTemperature = lines[row].substr(0, 8);
    }
  }
  EXPECT_EQ(" 293.000", peakTemperature);
  EXPECT_NEAR(10.0, peak, 0.1);
}

// A fresh directory under the system's temporary directory, removed at the end.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::random_device entropy;
    for (;;) {
      path_ = fs::temp_directory_path() / ("korvenal-example-" + std::to_string(entropy()));
      if (fs::create_directory(path_)) break;
    }
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// korvenal run in a copy of the example with standard input from /dev/null
// (every pause goes straight on) ends with status 0, reports nothing on
// standard error, leaves the inputs as they were, adds only KORVENAL.dat,
// and that table is the expected one byte for byte and agrees with the model.
TEST(ExampleRun, WritesTheExpectedTable) {
  ScratchDirectory scratch;
  const fs::path run = scratch.path() / "run";
  fs::create_directory(run);
  std::vector<std::string> inputs;
  for (const fs::directory_entry& entry : fs::directory_iterator(ExampleDir)) {
    if (!entry.is_regular_file() || entry.path().filename().string().starts_with('.')) continue;
    fs::copy_file(entry.path(), run / entry.path().filename());
    inputs.push_back(entry.path().filename().string());
  }
  const fs::path out = scratch.path() / "stdout";
  const fs::path err = scratch.path() / "stderr";
  const fs::path status = scratch.path() / "status";
  const std::string command = "(cd '" + run.string() + "' && '" KORVENAL_EXE "' < /dev/null > '" +
                              out.string() + "' 2> '" + err.string() + "'); echo $? > '" +
                              status.string() + "'";
  ASSERT_EQ(0, std::system(command.c_str()));

  const std::string table = ex::readWholeFile((run / "KORVENAL.dat").string());
  if (table.empty() && ex::readWholeFile(out.string()).empty()) {
    GTEST_SKIP() << "korvenal wrote neither console output nor a table: the run is not built yet";
  }
  EXPECT_EQ("0\n", ex::readWholeFile(status.string()));
  EXPECT_EQ("", ex::readWholeFile(err.string()));
  for (const std::string& name : inputs) {
    EXPECT_EQ(ex::readWholeFile(ExampleDir + "/" + name), ex::readWholeFile((run / name).string()))
        << name << " changed";
  }
  const auto files = std::distance(fs::directory_iterator(run), fs::directory_iterator());
  EXPECT_EQ(static_cast<std::ptrdiff_t>(inputs.size()) + 1, files) << "files other than KORVENAL.dat left behind";

  EXPECT_EQ(ex::readWholeFile(ExpectedTablePath), table);
  expectAgreementWithModel(table);
}

}  // namespace
