// The free-form reader on arbitrary bytes: random lists of real and integer
// targets read until the end of the file, every outcome handed back
// (AllHandled), so no input can end the process. Properties: the reads end,
// stay in bounds, give only the reader's outcomes, keep the end-of-file mark,
// and give the same outcomes and values whatever the block size of the file
// (a file's behaviour may not depend on its blocks). A device (the console's
// typed lines) and a failing system read are exercised too, without the
// comparison.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "memory_source.h"
#include "records/value_reader.h"

namespace korvenal::fuzz {
namespace {

constexpr int MaxReads = 200;
constexpr int MaxTargets = 12;
constexpr std::uint32_t Untouched = 0x7fa5a5a5;  // a NaN no conversion makes

bool knownOutcome(const ReadOutcome& outcome) {
  switch (outcome.kind) {
    case ReadOutcome::Kind::Ok: return outcome.number == 0;
    case ReadOutcome::Kind::EndOfFile: return outcome.number == 6501 || outcome.number == 6405;
    case ReadOutcome::Kind::Error:
      for (int n : {6100, 6101, 6102, 6103, 6104, 6302, 6303, 6407, 6500, 6502, 6503, 6504}) {
        if (outcome.number == n) return true;
      }
      return false;
  }
  return false;
}

// Every read's outcome and its targets' bits, in order.
struct Log {
  std::vector<std::uint32_t> entries;
  void add(const ReadOutcome& outcome) {
    entries.push_back(static_cast<std::uint32_t>(outcome.kind) << 16 | static_cast<std::uint32_t>(outcome.number));
  }
};

Log readAll(std::string_view file, std::int32_t blockSize, DeviceMode mode, bool typedLines, int failingRead,
            std::uint32_t seed) {
  test::MemoryInput input(file, blockSize, mode);
  input.source.typedLines = typedLines;
  input.source.failingRead = failingRead;
  Choices choices(seed);
  Log log;
  bool endMet = false;
  for (int r = 0; r < MaxReads; ++r) {
    const int count = choices.below(MaxTargets + 1);
    std::uint32_t bits[MaxTargets];
    ValueRead read;
    beginRead(read, input.line, "fuzz.dat", ReadHandling::AllHandled);
    ReadOutcome outcome;
    int given = 0;
    for (; given < count; ++given) {
      bits[given] = Untouched;
      if (choices.below(2) == 0) {
        float target;
        std::memcpy(&target, &bits[given], sizeof target);
        outcome = readReal(read, target);
        std::memcpy(&bits[given], &target, sizeof target);
      } else {
        std::int32_t target = static_cast<std::int32_t>(Untouched);
        outcome = readInteger(read, target);
        bits[given] = static_cast<std::uint32_t>(target);
      }
      if (!outcome.isOk()) break;
    }
    if (outcome.isOk()) outcome = endRead(read);
    require(knownOutcome(outcome), "an outcome the reader does not define");
    // A file keeps its end-of-file mark: every later read ends at once.
    if (!mode.isDevice && endMet) {
      require(outcome == ReadOutcome::endOfFile(6405), "a read after the end of the file did not end at once");
      break;
    }
    if (outcome.kind == ReadOutcome::Kind::EndOfFile) endMet = true;
    log.add(outcome);
    for (int t = 0; t < given + (outcome.isOk() ? 0 : 1) && t < count; ++t) log.entries.push_back(bits[t]);
  }
  return log;
}

}  // namespace
}  // namespace korvenal::fuzz

// Settings: block size (2 bytes), target-list seed (4), mode (1); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvenal;
  using namespace korvenal::fuzz;
  Settings settings(data, size);
  const std::int32_t blockSize = 1 + settings.word() % FileBlockSize;
  const std::uint32_t seed = settings.quad();
  const std::uint8_t mode = settings.byte();
  const std::string_view file = settings.rest();

  switch (mode % 4) {
    case 0: {
      const Log fuzzed = readAll(file, blockSize, {}, false, 0, seed);
      const Log whole = readAll(file, FileBlockSize, {}, false, 0, seed);
      require(fuzzed.entries == whole.entries, "the outcome depends on the block size");
      break;
    }
    case 1:  // a system read that fails part-way
      readAll(file, blockSize, {}, false, 1 + (mode >> 2) % 8, seed);
      break;
    case 2:  // a console fed from a file or pipe
      readAll(file, blockSize, {true, false, false}, false, 0, seed);
      break;
    case 3:  // an interactive console: one typed line per fill
      readAll(file, DeviceBlockSize, {true, true, (mode & 4) != 0}, true, 0, seed);
      break;
  }
  return 0;
}
