// Row reading throughput on one large data file, three ways:
//   ToolRows      the tool's row reading: the seven-value free-form read per
//                 row with the temperature test, over the whole file (the
//                 file has no row at the nominal temperature), with the file
//                 read in the tool's 1024-byte blocks through the system seam;
//   BaselineRows  the same seven columns read the obvious way, std::getline
//                 and std::strtod on a std::ifstream;
//   RawPass       the bytes alone: line ends counted with memchr over blocks
//                 read through the system seam (1024 bytes, as the tool reads,
//                 and 64 KiB).
// After the runs a summary gives each median in MB/s (10^6 bytes per second)
// and the ratios of the tool to the baseline and to the raw passes.
//
//   korvenal_bench [--data=FILE | --megabytes=N] [benchmark options]
// Without --data a file of N megabytes (default 200) is generated in the
// current directory and removed afterwards.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "big_data_layout.h"
#include "driver/data_file_reader.h"
#include "driver/run_tables.h"
#include "records/line_source.h"
#include "records/value_reader.h"
#include "runtime/os.h"

namespace {

using namespace korvenal;

std::string dataPath;
std::uint64_t dataBytes = 0;
constexpr char HeaderEnd[] = "Comment,Time S";

// A file read through the system seam in blocks of the caller's size.
class FileBlocks final : public BlockSource {
 public:
  explicit FileBlocks(const std::string& path) {
    const os::Opened opened = os::system().open(path.c_str(), os::AccessRequest::ReadOnly);
    if (opened.status != os::Status::Ok) {
      std::fprintf(stderr, "korvenal_bench: cannot open %s\n", path.c_str());
      std::exit(1);
    }
    handle_ = opened.handle;
  }
  FileBlocks(const FileBlocks&) = delete;
  FileBlocks& operator=(const FileBlocks&) = delete;
  ~FileBlocks() override { os::system().close(handle_); }

  BlockRead readBlock(unsigned char* into, std::int32_t capacity) override {
    const os::Transfer got = os::system().read(handle_, into, capacity);
    if (got.status != os::Status::Ok) return {0, true};
    return {static_cast<std::int32_t>(got.count), false};
  }

 private:
  os::Handle handle_ = os::InvalidHandle;
};

void countFile(benchmark::State& state) {
  state.counters["MB/s"] = benchmark::Counter(
      static_cast<double>(dataBytes) * static_cast<double>(state.iterations()) / 1e6,
      benchmark::Counter::kIsRate);
}

// (1) The tool: header lines read as 14-character labels up to
// "Comment,Time S", then readRows until the end of the file.
void ToolRows(benchmark::State& state) {
  int kept = 0;
  for (auto _ : state) {
    FileBlocks file(dataPath);
    LineSource line;
    attachLineSource(line, &file, DeviceMode{});
    char label[LabelWidth];
    std::memset(label, ' ', sizeof label);
    while (std::memcmp(label, HeaderEnd, LabelWidth) != 0) {
      readTextLine(line, "bench", label, LabelWidth, LabelWidth, ReadHandling::NoHandling);
    }
    RawPoint points[MaxPoints];
    kept = readRows(line, "bench", bench::AbsentTemperature, points);
    benchmark::DoNotOptimize(points);
  }
  if (kept != 0) state.SkipWithError("the file has rows at the absent temperature");
  countFile(state);
}

// (2) The obvious reader: a line at a time, seven columns with strtod, each
// value stored as a float, the temperature test on the third.
void BaselineRows(benchmark::State& state) {
  int kept = 0;
  for (auto _ : state) {
    std::ifstream in(dataPath, std::ios::binary);
    std::string text;
    while (std::getline(in, text) && text.compare(0, LabelWidth, HeaderEnd) != 0) {
    }
    float values[7] = {};
    RawPoint points[MaxPoints];
    kept = 0;
    while (std::getline(in, text) && kept < MaxPoints) {
      const char* at = text.c_str();
      for (float& value : values) {
        char* end = nullptr;
        const double read = std::strtod(at, &end);
        if (end != at) value = static_cast<float>(read);
        at = std::strchr(end, ',');
        if (at == nullptr) break;
        ++at;
      }
      if (std::fabs(static_cast<double>(values[2]) - static_cast<double>(bench::AbsentTemperature)) <=
          0.25) {
        points[kept++] = RawPoint{values[3], values[6]};
      }
    }
    benchmark::DoNotOptimize(points);
  }
  if (kept != 0) state.SkipWithError("the file has rows at the absent temperature");
  countFile(state);
}

// (3) The bytes alone: line ends counted with memchr, blocks of state.range(0).
void RawPass(benchmark::State& state) {
  const auto blockSize = static_cast<std::int32_t>(state.range(0));
  std::vector<unsigned char> block(static_cast<std::size_t>(blockSize));
  std::uint64_t lines = 0;
  for (auto _ : state) {
    FileBlocks file(dataPath);
    lines = 0;
    for (;;) {
      const BlockRead got = file.readBlock(block.data(), blockSize);
      if (got.failed || got.count == 0) break;
      const unsigned char* at = block.data();
      const unsigned char* const end = at + got.count;
      while (const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
        ++lines;
        at = static_cast<const unsigned char*>(lf) + 1;
      }
    }
    benchmark::DoNotOptimize(lines);
  }
  countFile(state);
}

BENCHMARK(ToolRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BaselineRows)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RawPass)->Arg(FileBlockSize)->Arg(64 * 1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the median of every benchmark for the summary.
class MedianReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single) continue;
      const double iterations = static_cast<double>(run.iterations);
      const double megabytes = static_cast<double>(dataBytes) / 1e6;
      std::string name = run.run_name.str();
      if (const auto suffix = name.find("/real_time"); suffix != std::string::npos) name.erase(suffix);
      rates[name] = {megabytes * iterations / run.real_accumulated_time,
                     megabytes * iterations / run.cpu_accumulated_time};
    }
  }
  struct Rates {
    double wall = 0.0;  // MB per second of wall time
    double cpu = 0.0;   // MB per second of the process's processor time
  };
  std::map<std::string, Rates> rates;
};

void printSummary(const MedianReporter& reporter) {
  const auto& rates = reporter.rates;
  auto rate = [&](const char* name) {
    const auto found = rates.find(name);
    return found == rates.end() ? MedianReporter::Rates{} : found->second;
  };
  std::printf("\nData file: %s, %llu bytes\n", dataPath.c_str(),
              static_cast<unsigned long long>(dataBytes));
  std::printf("%-22s %12s %12s\n", "median throughput", "wall MB/s", "cpu MB/s");
  for (const auto& [name, value] : rates) {
    std::printf("%-22s %12.1f %12.1f\n", name.c_str(), value.wall, value.cpu);
  }
  const auto tool = rate("ToolRows");
  std::printf("%-22s %12s %12s\n", "ratio", "wall", "cpu");
  const auto baseline = rate("BaselineRows");
  if (tool.wall > 0.0 && baseline.wall > 0.0) {
    std::printf("%-22s %12.2f %12.2f\n", "tool / baseline", tool.wall / baseline.wall,
                tool.cpu / baseline.cpu);
  }
  // The raw passes as "1 in N": the tool reads rows at 1/N of their speed.
  for (const char* raw : {"RawPass/1024", "RawPass/65536"}) {
    const auto other = rate(raw);
    if (tool.wall <= 0.0 || other.wall <= 0.0) continue;
    const std::string label = std::string("tool / ") + raw;
    std::printf("%-22s %7s%5.1f %7s%5.1f\n", label.c_str(), "1 in ", other.wall / tool.wall, "1 in ",
                other.cpu / tool.cpu);
  }
}

std::uint64_t fileSize(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  return in ? static_cast<std::uint64_t>(in.tellg()) : 0;
}

// Writes the generated file; returns false when it cannot.
bool writeDataFile(const std::string& path, double megabytes) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const std::string header = bench::campaignHeader();
  std::fwrite(header.data(), 1, header.size(), out);
  const auto target = static_cast<std::uint64_t>(megabytes * 1e6);
  std::uint64_t size = header.size();
  char row[160];
  for (std::uint64_t index = 0; size < target; ++index) {
    const int length = bench::campaignRow(index, row);
    std::fwrite(row, 1, static_cast<std::size_t>(length), out);
    size += static_cast<std::uint64_t>(length);
  }
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  double megabytes = 200.0;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strncmp(argv[i], "--data=", 7) == 0) {
      dataPath = argv[i] + 7;
    } else if (std::strncmp(argv[i], "--megabytes=", 12) == 0) {
      megabytes = std::atof(argv[i] + 12);
    } else {
      rest.push_back(argv[i]);
    }
  }
  const bool generated = dataPath.empty();
  if (generated) {
    dataPath = "korvenal_bench_data.csv";
    if (!writeDataFile(dataPath, megabytes)) {
      std::fprintf(stderr, "korvenal_bench: cannot write %s\n", dataPath.c_str());
      return 1;
    }
  }
  dataBytes = fileSize(dataPath);
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  printSummary(reporter);
  benchmark::Shutdown();
  if (generated) std::remove(dataPath.c_str());
  return 0;
}
