// Helpers shared by the fuzz targets: reading settings from the front of the
// fuzzer's bytes, and a small deterministic generator for the choices that
// follow from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace korvenal::fuzz {

// Takes settings from the front of the input; missing bytes read as 0.
class Settings {
 public:
  Settings(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
  std::uint32_t quad() { return static_cast<std::uint32_t>(word()) << 16 | word(); }
  // The bytes not taken as settings.
  std::string_view rest() const {
    const std::size_t from = at_ < size_ ? at_ : size_;
    return {reinterpret_cast<const char*>(data_) + from, size_ - from};
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// xorshift: the same seed always gives the same choices.
class Choices {
 public:
  explicit Choices(std::uint32_t seed) : state_(seed | 1u) {}
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  // 0 .. bound - 1
  std::int32_t below(std::int32_t bound) { return static_cast<std::int32_t>(next() % static_cast<std::uint32_t>(bound)); }

 private:
  std::uint32_t state_;
};

// A broken property: say which, and abort so that the fuzzer keeps the input.
[[noreturn]] inline void broken(const char* what) {
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

inline void require(bool holds, const char* what) {
  if (!holds) broken(what);
}

}  // namespace korvenal::fuzz
