#include "driver/console_lines.h"

#include "runtime/console.h"

namespace korvenal {

void showText(std::string_view text) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addText(out, text);
  endMessage(out);
}

void showTexts(std::string_view first, std::string_view second) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addText(out, first);
  addText(out, second);
  endMessage(out);
}

void showTextReal(std::string_view text, float value) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addText(out, text);
  addReal(out, value);
  endMessage(out);
}

void showTextInteger(std::string_view text, std::int32_t value) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addText(out, text);
  addInteger(out, value);
  endMessage(out);
}

void showTextRealInteger(std::string_view text, float value, std::int32_t count) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addText(out, text);
  addReal(out, value);
  addInteger(out, count);
  endMessage(out);
}

void showReals(float first, float second) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addReal(out, first);
  addReal(out, second);
  endMessage(out);
}

void showReals(float first, float second, float third) {
  ConsoleWriter& out = console();
  beginMessage(out);
  addReal(out, first);
  addReal(out, second);
  addReal(out, third);
  endMessage(out);
}

void showEmptyLine() {
  ConsoleWriter& out = console();
  beginMessage(out);
  endMessage(out);
}

}  // namespace korvenal
