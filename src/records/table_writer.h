// Lines of the output table: text fields, blank positions and fixed-point
// fields placed left to right, each line ended by CR LF, collected in a
// 1024-byte block and handed to the sink a block at a time.
#pragma once

#include <cstdint>
#include <string_view>

#include "records/byte_sink.h"

namespace korvenal {

inline constexpr std::int32_t TableBlockSize = 1024;

struct TableWriter {
  ByteSink* sink = nullptr;
  std::int32_t pendingBlanks = 0;  // blank positions asked for, not yet written
  bool inStatement = false;        // a write has begun and not been finished
  bool failed = false;             // a block write failed while the run was ending
  std::int32_t used = 0;
  unsigned char buffer[TableBlockSize] = {};
};

void attachTableWriter(TableWriter& writer, ByteSink* sink);

// A text field of exactly `width` characters (cut, or right-aligned).
void putText(TableWriter& writer, std::string_view text, int width);
// Asks for `count` blank positions, written only if a field follows on the line.
void putBlanks(TableWriter& writer, int count);
// A fixed-point field of `width` characters with `decimals` places.
void putFixed(TableWriter& writer, float value, int width, int decimals);
// Ends one write: `continued` leaves the line open, otherwise CR LF ends it.
void finishWrite(TableWriter& writer, bool continued);
// Writes out what the buffer holds. False when that write failed.
bool close(TableWriter& writer);

}  // namespace korvenal
