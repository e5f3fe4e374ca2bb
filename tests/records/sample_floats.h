// Deterministic samples of single-precision bit patterns for the sweeps.
#pragma once

#include <cstdint>

namespace korvenal::writer_test {

// A small, fast, reproducible generator (splitmix64).
struct SampleRandom {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from 0 to bound - 1.
  std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }
};

// How many values a sweep takes: a large sample in an optimised build, fewer
// without optimisation and fewer still under the sanitizers; many more when
// the slow sweeps are asked for.
#if defined(KORVENAL_SLOW_SWEEPS)
inline constexpr int SweepScale = 500;
#elif defined(__SANITIZE_ADDRESS__)
inline constexpr int SweepScale = 1;
#elif !defined(__OPTIMIZE__)
inline constexpr int SweepScale = 3;
#else
inline constexpr int SweepScale = 20;
#endif

}  // namespace korvenal::writer_test
