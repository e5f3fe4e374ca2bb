// Console messages laid out as records.
//
// A record starts with the line-control blank, which is not shown. Items are
// placed left to right: a text at its full length with no blank in front, a
// number right-aligned in its column (11 for an integer, 15 for a real, one
// more after another number), and a line is full after 79 columns:
//   "No de puntos para T = ", 25.0, 37
//   -> "No de puntos para T =       25.000000          37"
// The line end of a shown record is written only in front of the next one.
#include "records/console_writer.h"

#include <cassert>
#include <cstring>

#include "records/decimal_digits.h"

namespace korvenal {
namespace {

constexpr unsigned char LineEnd[] = {13, 10};
constexpr int SpecialRealWidth = 13;  // "1#INF........."

// Places `pendingBlanks` blanks, then `count` bytes, in the record.
void place(ConsoleWriter& console, const char* bytes, std::int32_t count) {
  assert(console.pendingBlanks >= 0 && count >= 0);
  assert(console.length + console.pendingBlanks + count <= ConsoleRecordSize);
  std::memset(console.record + console.length, ' ', static_cast<std::size_t>(console.pendingBlanks));
  console.length += console.pendingBlanks;
  console.pendingBlanks = 0;
  if (count > 0) std::memcpy(console.record + console.length, bytes, static_cast<std::size_t>(count));
  console.length += count;
}

// Shows the record as a line, after the line end of the line before, and
// empties it. The line-control blank is not written.
void showRecord(ConsoleWriter& console) {
  assert(console.out != nullptr && console.length >= 1);
  if (!console.failed) {
    if (console.linePending) console.out->writeIgnoringFailure(LineEnd, 2);
    if (!console.out->writeBytes(console.record + 1, console.length - 1)) console.failed = true;
  }
  console.linePending = true;
  console.length = 0;
}

// Places a number's text right-aligned in its column, on a new line when the
// column does not fit the columns left.
void addNumber(ConsoleWriter& console, const FieldText& text, std::int32_t width) {
  if (console.afterNumber) ++width;  // the separating blank
  console.afterNumber = true;
  console.pendingBlanks += width - text.length;
  if (console.columnsLeft <= width) {
    // The new record keeps the blanks: the first becomes its line-control blank.
    showRecord(console);
    console.columnsLeft = LineWidth;
  }
  place(console, text.bytes, text.length);
  console.columnsLeft -= width;
}

void put(FieldText& text, char c) {
  assert(text.length < MaxFieldText);
  text.bytes[text.length++] = c;
}

FieldText integerText(std::int32_t value) {
  char reversed[12];
  int count = 0;
  std::int64_t magnitude = value < 0 ? -std::int64_t{value} : std::int64_t{value};
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  FieldText text;
  if (value < 0) put(text, '-');
  while (count > 0) put(text, reversed[--count]);
  return text;
}

// 0.0123 -> "1.230000E-02"; 10 000 000.0 -> "1.000000E+07"; 0.0 -> "0.000000E+00".
FieldText exponentForm(DecimalDigits form) {
  roundDigits(form, MaxSignificantDigits);
  const bool zero = form.count == 1 && form.digits[0] == '0';
  const std::int32_t power = zero ? 0 : form.exponent - 1;
  FieldText text;
  if (form.sign == '-') put(text, '-');
  for (int i = 0; i < MaxSignificantDigits; ++i) {
    if (i == 1) put(text, '.');
    put(text, i < form.count ? form.digits[i] : '0');
  }
  put(text, 'E');
  put(text, power < 0 ? '-' : '+');
  const std::int32_t magnitude = power < 0 ? -power : power;
  assert(magnitude < 100);
  put(text, static_cast<char>('0' + magnitude / 10));
  put(text, static_cast<char>('0' + magnitude % 10));
  return text;
}

}  // namespace

void beginMessage(ConsoleWriter& console) {
  console.pendingBlanks = 1;
  console.columnsLeft = LineWidth;
  console.afterNumber = false;
  console.length = 0;
}

void addText(ConsoleWriter& console, std::string_view text) {
  // Only the line-control blank goes in front of a text.
  if (console.pendingBlanks != 1) console.pendingBlanks = 0;
  const char* rest = text.data();
  auto restLength = static_cast<std::int32_t>(text.size());
  // A text reaching the end of the line is split there; one that exactly
  // fills it is followed by a line break.
  while (console.columnsLeft <= restLength) {
    place(console, rest, console.columnsLeft);
    rest += console.columnsLeft;
    restLength -= console.columnsLeft;
    showRecord(console);
    console.pendingBlanks = 1;
    console.columnsLeft = LineWidth;
  }
  place(console, rest, restLength);
  console.columnsLeft -= restLength;
  console.afterNumber = false;
}

void addInteger(ConsoleWriter& console, std::int32_t value) {
  addNumber(console, integerText(value), IntegerWidth);
}

void addReal(ConsoleWriter& console, float value) {
  addNumber(console, composeFree(value), RealWidth);
}

void endMessage(ConsoleWriter& console) {
  if (console.length == 0) console.record[console.length++] = ' ';
  showRecord(console);
}

void endPendingLine(ConsoleWriter& console) {
  if (console.linePending) console.out->writeIgnoringFailure(LineEnd, 2);
}

void endOfRun(ConsoleWriter& console) {
  if (console.linePending) console.out->writeIgnoringFailure(LineEnd, 2);
}

FieldText composeFree(float value) {
  const DecimalDigits form = toDecimalDigits(value);
  if (!form.finite) return editSpecial(form, SpecialRealWidth);
  // 1 up to below 10 000 000, judged before rounding: 25.0 -> "25.000000".
  if (form.exponent >= 1 && form.exponent <= 7) return composeFixed(form, RealDecimals);
  return exponentForm(form);
}

}  // namespace korvenal
