// The text-line read and the fixed-column reader on arbitrary bytes: random
// sequences of text lines (random widths and variable lengths) and
// fixed-column records (text and number fields of random widths and implied
// decimals), every outcome handed back (AllHandled). Properties: the reads
// end, never touch a byte outside a variable (each variable is its own heap
// block, so AddressSanitizer sees any overrun), fill variables with exactly
// the line's bytes and blanks, keep the end-of-file mark, and give the same
// results whatever the block size of the file.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "memory_source.h"
#include "records/fixed_field_reader.h"
#include "records/value_reader.h"

namespace korvenal::fuzz {
namespace {

constexpr int MaxReads = 150;
constexpr std::uint32_t Untouched = 0x7fa5a5a5;

bool knownOutcome(const ReadOutcome& outcome) {
  switch (outcome.kind) {
    case ReadOutcome::Kind::Ok: return outcome.number == 0;
    case ReadOutcome::Kind::EndOfFile: return outcome.number == 6501 || outcome.number == 6405;
    case ReadOutcome::Kind::Error:
      return outcome.number == 6102 || outcome.number == 6103 || outcome.number == 6104 || outcome.number == 6500;
  }
  return false;
}

// A text variable's bytes never hold a line end: the field stops before it.
void checkText(const char* variable, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i) {
    require(variable[i] != '\n' && variable[i] != '\r', "a line end inside a text field");
  }
  // Comparing with itself blank-extended, and assigning it back, change nothing.
  require(sameText(variable, length, variable, length), "a text differs from itself");
}

struct Log {
  std::vector<std::string> entries;
  void add(const ReadOutcome& outcome) {
    entries.push_back("#" + std::to_string(static_cast<int>(outcome.kind)) + ":" + std::to_string(outcome.number));
  }
};

Log readAll(std::string_view file, std::int32_t blockSize, int failingRead, std::uint32_t seed) {
  test::MemoryInput input(file, blockSize);
  input.source.failingRead = failingRead;
  Choices choices(seed);
  Log log;
  bool endMet = false;
  for (int r = 0; r < MaxReads; ++r) {
    ReadOutcome outcome;
    if (choices.below(2) == 0) {
      const std::int32_t length = choices.below(61);
      const std::int32_t width = choices.below(3) == 0 ? length : choices.below(61);
      auto variable = std::make_unique<char[]>(static_cast<std::size_t>(length));
      outcome = readTextLine(input.line, "fuzz.dat", variable.get(), length, width, ReadHandling::AllHandled);
      if (outcome.isOk()) {
        checkText(variable.get(), length);
        log.entries.emplace_back(variable.get(), static_cast<std::size_t>(length));
      }
    } else {
      FixedRead read;
      beginFixedRead(read, input.line, "fuzz.dat", ReadHandling::AllHandled);
      const int fields = choices.below(5);
      for (int f = 0; f < fields && outcome.isOk(); ++f) {
        if (choices.below(2) == 0) {
          const std::int32_t length = choices.below(30);
          const std::int32_t width = choices.below(30);
          auto variable = std::make_unique<char[]>(static_cast<std::size_t>(length));
          outcome = readTextField(read, variable.get(), length, width);
          if (outcome.isOk()) {
            checkText(variable.get(), length);
            log.entries.emplace_back(variable.get(), static_cast<std::size_t>(length));
          }
        } else {
          float target;
          std::memcpy(&target, &Untouched, sizeof target);
          outcome = readNumberField(read, target, choices.below(40), choices.below(12));
          std::uint32_t bits;
          std::memcpy(&bits, &target, sizeof bits);
          log.entries.push_back(std::to_string(bits));
        }
      }
      if (outcome.isOk()) outcome = endFixedRead(read);
    }
    require(knownOutcome(outcome), "an outcome the reader does not define");
    if (endMet) {
      require(outcome == ReadOutcome::endOfFile(6405), "a read after the end of the file did not end at once");
      break;
    }
    if (outcome.kind == ReadOutcome::Kind::EndOfFile) endMet = true;
    log.add(outcome);
  }
  return log;
}

}  // namespace
}  // namespace korvenal::fuzz

// Settings: block size (2 bytes), read seed (4), failing read (1); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvenal;
  using namespace korvenal::fuzz;
  Settings settings(data, size);
  const std::int32_t blockSize = 1 + settings.word() % FileBlockSize;
  const std::uint32_t seed = settings.quad();
  const std::uint8_t failing = settings.byte();
  const std::string_view file = settings.rest();
  if (failing % 8 == 7) {
    readAll(file, blockSize, 1 + failing / 8 % 8, seed);  // a system read that fails part-way
    return 0;
  }
  const Log fuzzed = readAll(file, blockSize, 0, seed);
  const Log whole = readAll(file, FileBlockSize, 0, seed);
  require(fuzzed.entries == whole.entries, "the outcome depends on the block size");
  return 0;
}
