// Where the writers put their bytes: a unit's file, the console output, or a
// test's memory. The sink reports its own failures (it knows the unit and the
// system's reason); a writer only learns that the bytes did not go.
#pragma once

#include <cstdint>

namespace korvenal {

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // A write statement begins. On a file not yet written since it was
  // connected, the first one cuts the file at the write position.
  virtual bool beginStatement() = 0;
  // Writes `count` bytes. A failure is reported by the sink; false comes
  // back only when the run is already ending and the caller must stop.
  virtual bool writeBytes(const unsigned char* bytes, std::int32_t count) = 0;
  // Writes without looking at the result (console line ends).
  virtual void writeIgnoringFailure(const unsigned char* bytes, std::int32_t count) = 0;
};

}  // namespace korvenal
