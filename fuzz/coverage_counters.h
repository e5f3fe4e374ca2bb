// The executable's coverage counters (one byte per instrumented edge).
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvenal::fuzz {

std::uint8_t* coverageCounters();
std::size_t coverageCounterCount();

}  // namespace korvenal::fuzz
