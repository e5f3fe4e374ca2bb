// The shapes of the run's console messages, each one record on the console.
#pragma once

#include <cstdint>
#include <string_view>

namespace korvenal {

void showText(std::string_view text);
void showTexts(std::string_view first, std::string_view second);
void showTextReal(std::string_view text, float value);
void showTextInteger(std::string_view text, std::int32_t value);
void showTextRealInteger(std::string_view text, float value, std::int32_t count);
void showReals(float first, float second);
void showReals(float first, float second, float third);
void showEmptyLine();

}  // namespace korvenal
