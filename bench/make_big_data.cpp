// Writes a large magnetometer data file for the speed measurements:
//   make_big_data FILE MEGABYTES
// The file gets the header and then whole rows until it holds at least
// MEGABYTES x 1000000 bytes. Prints the file's size, row count and mean row
// length.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "big_data_layout.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_big_data FILE MEGABYTES\n");
    return 2;
  }
  char* end = nullptr;
  const double megabytes = std::strtod(argv[2], &end);
  if (end == argv[2] || *end != '\0' || !(megabytes > 0.0)) {
    std::fprintf(stderr, "make_big_data: MEGABYTES must be a positive number\n");
    return 2;
  }
  const auto target = static_cast<std::uint64_t>(megabytes * 1e6);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "make_big_data: %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  static char buffer[1 << 20];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);

  const std::string header = korvenal::bench::campaignHeader();
  std::fwrite(header.data(), 1, header.size(), out);
  std::uint64_t size = header.size();
  std::uint64_t rows = 0;
  char row[160];
  while (size < target) {
    const int length = korvenal::bench::campaignRow(rows, row);
    std::fwrite(row, 1, static_cast<std::size_t>(length), out);
    size += static_cast<std::uint64_t>(length);
    ++rows;
  }
  if (std::fclose(out) != 0) {
    std::fprintf(stderr, "make_big_data: %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  std::printf("%s: %llu bytes, %llu rows, %.1f bytes per row\n", argv[1],
              static_cast<unsigned long long>(size), static_cast<unsigned long long>(rows),
              rows > 0 ? static_cast<double>(size - header.size()) / static_cast<double>(rows) : 0.0);
  return 0;
}
