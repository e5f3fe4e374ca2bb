// The free-form read operation: separators, null values, repeat counts, the
// slash, parenthesised and quoted values, and where the input stands after
// every outcome. Also the text-field rule and the text-line read.
#include "records/value_reader.h"

#include <cassert>
#include <cstring>

#include "records/read_failure.h"

namespace korvenal {

namespace {

constexpr unsigned char Blank = ' ';
constexpr unsigned char Tab = 9;
constexpr unsigned char LineFeed = 10;
constexpr unsigned char CarriageReturn = 13;
constexpr unsigned char Comma = ',';
constexpr unsigned char Slash = '/';

// What a byte means to the scanner; every byte not listed is a value character.
enum class ByteClass : std::uint8_t { Value, LineEnd, Blank, Open, Close, Quote, Star, Comma, Slash };

struct ByteClasses {
  ByteClass of[256] = {};
  constexpr ByteClasses() {
    of[LineFeed] = of[CarriageReturn] = ByteClass::LineEnd;
    of[Blank] = of[Tab] = ByteClass::Blank;
    of[static_cast<unsigned char>('(')] = ByteClass::Open;
    of[static_cast<unsigned char>(')')] = ByteClass::Close;
    of[static_cast<unsigned char>('\'')] = of[static_cast<unsigned char>('"')] = ByteClass::Quote;
    of[static_cast<unsigned char>('*')] = ByteClass::Star;
    of[Comma] = ByteClass::Comma;
    of[Slash] = ByteClass::Slash;
  }
};
constexpr ByteClasses byteClasses;

// Ends the read operation with `outcome`: hands it back when the read's
// handling takes it, otherwise the run ends.
ReadOutcome fail(const ValueRead& read, ReadOutcome outcome) {
  return endWithFailure(*read.line, read.unitName, read.handling, outcome);
}

// A target of either type; a quoted value writes into its bytes.
struct Target {
  float* real = nullptr;
  std::int32_t* integer = nullptr;
  unsigned char* bytes() const {
    return real != nullptr ? reinterpret_cast<unsigned char*>(real)
                           : reinterpret_cast<unsigned char*>(integer);
  }
};
constexpr std::int32_t TargetBytes = 4;

// Scans a quoted value after its opening quote: its bytes go into the
// target's first four bytes. Returns 0 when the value has ended, or a
// negative line source answer.
int scanQuoted(ValueRead& read, unsigned char quote, unsigned char* bytes) {
  LineSource& line = *read.line;
  for (;;) {
    int c = nextByte(line);
    if (c < 0) return c;
    if (c == LineFeed || c == CarriageReturn) {
      // The line end, and the first byte of the next line, are not text.
      unread(line);
      if (const int done = finishLine(line); done < 0) return done;
      if (const int dropped = nextByte(line); dropped < 0) return dropped;
      continue;
    }
    if (c == quote) {
      c = nextByte(line);
      if (c < 0) return c;
      if (c != quote) {
        // The byte after the closing quote ends the value; an LF stays for
        // the next value, any other byte (a CR too) is used up.
        if (c == LineFeed) unread(line);
        read.lastSeparator = static_cast<unsigned char>(c);
        return 0;
      }
    }
    if (read.value.length < TargetBytes) bytes[read.value.length] = static_cast<unsigned char>(c);
    ++read.value.length;
  }
}

// What the scan of the buffered bytes did.
enum class QuickScan {
  NotTaken,  // nothing changed; the byte-by-byte scan does the work
  Scanned,   // the value's text is in read.value, for `deliver`
  Given,     // a short decimal went straight into the real target
};

bool endsPlainValue(ByteClass kind) {
  return kind == ByteClass::Blank || kind == ByteClass::Comma || kind == ByteClass::Slash ||
         kind == ByteClass::LineEnd;
}

// Where the plain value that starts at `at` ends: the first byte that is
// not a value character ("(", ")" and quotes are value characters after
// the first); `end` when the buffer ends first.
std::int32_t endOfPlainValue(const unsigned char* bytes, std::int32_t at, std::int32_t end) {
  while (++at != end) {
    const ByteClass kind = byteClasses.of[bytes[at]];
    if (kind != ByteClass::Value && kind != ByteClass::Close && kind != ByteClass::Open &&
        kind != ByteClass::Quote) {
      break;
    }
  }
  return at;
}

// The common case of a scan, in one pass over the buffered bytes: blanks
// and a comma that joins them before the value, a plain value, and the
// separator that ends it, all within the current block. "  12.5, 3" gives
// 12.5 and stops after the comma; ",," gives a null value. A short decimal
// for a real target is converted as it is found, straight from the buffer.
// Nothing is taken when any other rule could apply (the block ends first, a
// line end before the value, a quote, a parenthesis or a repeat count, a
// value too long to keep as text). Otherwise `outcome` is the outcome of the
// scan, or of the whole delivery when the value was given.
QuickScan scanBufferedValue(ValueRead& read, Target target, ReadOutcome& outcome) {
  LineSource& line = *read.line;
  const unsigned char* const bytes = line.bytes;
  const std::int32_t end = line.length;
  std::int32_t at = line.position;
  unsigned char separator = read.lastSeparator;
  ByteClass kind = ByteClass::Value;
  for (;; ++at) {
    if (at == end) return QuickScan::NotTaken;
    kind = byteClasses.of[bytes[at]];
    if (kind == ByteClass::Blank) continue;
    if (kind != ByteClass::Comma || separator != Blank) break;
    separator = Comma;  // "1 , 2": the comma joins the blanks
  }
  if (kind == ByteClass::LineEnd) return QuickScan::NotTaken;  // skipped like blanks, on the next line
  const std::int32_t start = at;
  RealResult quick{0.0f, NotShortDecimal};
  if (kind == ByteClass::Value && target.real != nullptr) {
    const auto* const text = reinterpret_cast<const char*>(bytes + start);
    RealResult number;
    const std::int32_t length = readShortDecimal({text, static_cast<std::size_t>(end - start)}, 0, number);
    if (length > 0 && length < end - start && endsPlainValue(byteClasses.of[bytes[start + length]])) {
      quick = number;
      at = start + length;
      kind = byteClasses.of[bytes[at]];
    }
  }
  if (quick.failure == NotShortDecimal && (kind == ByteClass::Value || kind == ByteClass::Close)) {
    at = endOfPlainValue(bytes, at, end);
    if (at == end || at - start > ValueTextCapacity) return QuickScan::NotTaken;
    kind = byteClasses.of[bytes[at]];
  }
  if (!endsPlainValue(kind)) return QuickScan::NotTaken;  // a repeat count, or a value that begins specially
  ValueToken& value = read.value;
  clearToken(value);
  value.kind = ValueKind::Plain;
  if (quick.failure == NotShortDecimal) {
    value.length = at - start;
    std::memcpy(value.text, bytes + start, static_cast<std::size_t>(value.length));
  }
  const bool lineEnd = kind == ByteClass::LineEnd;
  read.lastSeparator = kind == ByteClass::Comma ? Comma : kind == ByteClass::Slash ? Slash : Blank;
  read.lineEndTaken = lineEnd;
  // The separator is used up; a line end is left for finishLine, which
  // also drops what a CR hides (and may read the next block).
  line.position = lineEnd ? at : at + 1;
  outcome = ReadOutcome::ok();
  if (lineEnd) {
    if (const int done = finishLine(line); done < 0) {
      outcome = sourceFailure(done);
      return QuickScan::Scanned;
    }
  }
  if (quick.failure == NotShortDecimal) return QuickScan::Scanned;
  if (quick.failure != 0) {
    outcome = ReadOutcome::error(quick.failure);
  } else {
    *target.real = quick.value;
    read.lastTargetAssigned = true;
  }
  return QuickScan::Given;
}

// Scans the next value into read.value. Returns Ok when a value (maybe
// null) has ended, or the failure.
ReadOutcome scanValue(ValueRead& read, Target target) {
  LineSource& line = *read.line;
  ValueToken& value = read.value;
  clearToken(value);
  value.kind = ValueKind::Plain;
  read.lineEndTaken = false;
  for (;;) {
    const int c = nextByte(line);
    if (c < 0) return sourceFailure(c);
    const auto byte = static_cast<unsigned char>(c);
    switch (byteClasses.of[byte]) {
      case ByteClass::Value:
        addToToken(value, byte);
        continue;
      case ByteClass::LineEnd: {
        // A CR hides the rest of its line; the line end then acts as a blank.
        unread(line);
        if (const int done = finishLine(line); done < 0) return sourceFailure(done);
        if (value.length == 0 && read.repeatLeft == 0) continue;
        if (value.kind == ValueKind::Parenthesised) continue;
        read.lastSeparator = Blank;
        read.lineEndTaken = true;
        return ReadOutcome::ok();
      }
      case ByteClass::Blank:
        if (value.length == 0 && read.repeatLeft == 0) continue;
        if (value.kind == ValueKind::Parenthesised) continue;
        read.lastSeparator = Blank;
        return ReadOutcome::ok();
      case ByteClass::Open:
        if (value.length == 0) {
          value.kind = ValueKind::Parenthesised;
        } else {
          addToToken(value, byte);
        }
        continue;
      case ByteClass::Close:
        if (value.kind == ValueKind::Parenthesised) {
          read.lastSeparator = Blank;
          return ReadOutcome::ok();
        }
        addToToken(value, byte);
        continue;
      case ByteClass::Quote:
        if (value.length != 0) {
          addToToken(value, byte);
          continue;
        }
        value.kind = ValueKind::Quoted;
        if (const int done = scanQuoted(read, byte, target.bytes()); done < 0) {
          return sourceFailure(done);
        }
        return ReadOutcome::ok();
      case ByteClass::Star: {
        // What came before is a repeat count.
        if (read.repeatLeft > 0) return ReadOutcome::error(failure::RepeatOnRepeat);
        const IntegerResult count = tokenAsInteger(value);
        if (count.failure != 0) return ReadOutcome::error(count.failure);
        if (count.value < 1) return ReadOutcome::error(failure::RepeatBelowOne);
        read.repeatLeft = count.value - 1;
        clearToken(value);
        continue;
      }
      case ByteClass::Comma:
        if (value.length == 0 && read.lastSeparator == Blank && read.repeatLeft == 0) {
          read.lastSeparator = Comma;  // "1 , 2": the comma joins the blanks
          continue;
        }
        if (value.kind == ValueKind::Parenthesised) {
          addToToken(value, byte);
          continue;
        }
        read.lastSeparator = Comma;
        return ReadOutcome::ok();
      case ByteClass::Slash:
        read.lastSeparator = Slash;
        return ReadOutcome::ok();
    }
  }
}

// Gives the target the scanned (or kept) value: a null value keeps it.
ReadOutcome deliver(ValueRead& read, Target target) {
  const ValueToken& value = read.value;
  if (value.length == 0) return ReadOutcome::ok();
  if (value.kind != ValueKind::Plain) return ReadOutcome::error(failure::QuotedNumber);
  if (target.real != nullptr) {
    const RealResult result = tokenAsReal(value);
    if (result.failure != 0) return ReadOutcome::error(result.failure);
    *target.real = result.value;
  } else {
    const IntegerResult result = tokenAsInteger(value);
    if (result.failure != 0) return ReadOutcome::error(result.failure);
    *target.integer = result.value;
  }
  read.lastTargetAssigned = true;
  return ReadOutcome::ok();
}

ReadOutcome giveValue(ValueRead& read, Target target) {
  assert(read.line != nullptr);
  read.lastTargetAssigned = false;
  if (read.firstTarget) {
    read.firstTarget = false;
    if (endMarkHolds(*read.line)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  }
  if (read.lastSeparator == Slash && read.repeatLeft == 0) return ReadOutcome::ok();
  if (read.repeatLeft > 0) {
    --read.repeatLeft;
  } else {
    ReadOutcome scanned;
    const QuickScan quick = scanBufferedValue(read, target, scanned);
    if (quick == QuickScan::NotTaken) scanned = scanValue(read, target);
    if (!scanned.isOk()) return fail(read, scanned);
    if (quick == QuickScan::Given) return scanned;
  }
  const ReadOutcome given = deliver(read, target);
  return given.isOk() ? given : fail(read, given);
}

}  // namespace

void beginRead(ValueRead& read, LineSource& line, std::string_view unitName,
               ReadHandling handling) {
  read.line = &line;
  read.unitName = unitName;
  read.handling = handling;
  read.lastSeparator = Comma;
  read.repeatLeft = 0;
  read.lineEndTaken = false;
  read.firstTarget = true;
  read.lastTargetAssigned = false;
  clearToken(read.value);
  read.value.kind = ValueKind::Plain;
}

ReadOutcome readReal(ValueRead& read, float& target) {
  return giveValue(read, Target{&target, nullptr});
}

ReadOutcome readInteger(ValueRead& read, std::int32_t& target) {
  return giveValue(read, Target{nullptr, &target});
}

ReadOutcome endRead(ValueRead& read) {
  assert(read.line != nullptr);
  if (read.firstTarget) {
    read.firstTarget = false;
    if (endMarkHolds(*read.line)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  }
  if (read.lineEndTaken) return ReadOutcome::ok();
  if (const int done = finishLine(*read.line); done < 0) return fail(read, sourceFailure(done));
  return ReadOutcome::ok();
}

int readTextField(LineSource& line, char* variable, std::int32_t length, std::int32_t width) {
  assert(length >= 0 && width >= 0);
  // A field wider than the variable: its first width - length bytes are dropped.
  const std::int32_t skip = width > length ? width - length : 0;
  std::int32_t stored = 0;
  for (std::int32_t i = 0; i < width; ++i) {
    const int c = nextByte(line);
    if (c < 0) return c;
    if (c == LineFeed || c == CarriageReturn) {
      unread(line);  // the line end stays for the next field and finishLine
      break;
    }
    if (i >= skip) variable[stored++] = static_cast<char>(c);
  }
  std::memset(variable + stored, Blank, static_cast<std::size_t>(length - stored));
  return 0;
}

ReadOutcome readTextLine(LineSource& line, std::string_view unitName, char* variable,
                         std::int32_t length, std::int32_t width, ReadHandling handling) {
  ValueRead read;
  read.line = &line;
  read.unitName = unitName;
  read.handling = handling;
  if (endMarkHolds(line)) return fail(read, ReadOutcome::endOfFile(failure::EndAlreadyReached));
  if (const int got = readTextField(line, variable, length, width); got < 0) {
    return fail(read, sourceFailure(got));
  }
  if (const int done = finishLine(line); done < 0) return fail(read, sourceFailure(done));
  return ReadOutcome::ok();
}

}  // namespace korvenal
