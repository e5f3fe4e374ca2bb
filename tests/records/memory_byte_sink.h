// A byte sink in memory for the writer tests: it keeps every call in order,
// and can be told to fail a statement start or a write.
#pragma once

#include <string>
#include <vector>

#include "records/byte_sink.h"

namespace korvenal::writer_test {

class MemoryByteSink : public ByteSink {
 public:
  enum class Call { BeginStatement, Write, WriteIgnoringFailure };
  struct Event {
    Call call;
    std::string bytes;
  };

  bool beginStatement() override {
    events.push_back({Call::BeginStatement, {}});
    return !failStatements;
  }
  bool writeBytes(const unsigned char* bytes, std::int32_t count) override {
    events.push_back({Call::Write, text(bytes, count)});
    if (failWrites) return false;
    written += events.back().bytes;
    return true;
  }
  void writeIgnoringFailure(const unsigned char* bytes, std::int32_t count) override {
    events.push_back({Call::WriteIgnoringFailure, text(bytes, count)});
    written += events.back().bytes;
  }

  // The bytes of the calls of one kind, in order.
  std::vector<std::string> calls(Call call) const {
    std::vector<std::string> found;
    for (const auto& event : events) {
      if (event.call == call) found.push_back(event.bytes);
    }
    return found;
  }

  bool failStatements = false;
  bool failWrites = false;
  std::string written;  // every byte taken, in order
  std::vector<Event> events;

 private:
  static std::string text(const unsigned char* bytes, std::int32_t count) {
    return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count)};
  }
};

}  // namespace korvenal::writer_test
