#pragma once

#include <cstdint>

namespace tambrel::text {

// What a run of lines adds up to in a row index.
struct LineSums {
  std::uint64_t lines = 0;
  std::uint64_t rows = 0;  // of the counted lines
  std::uint64_t uncounted = 0;

  LineSums& operator+=(const LineSums& other) {
    lines += other.lines;
    rows += other.rows;
    uncounted += other.uncounted;
    return *this;
  }
  // Modular, like the sums themselves: a difference added back restores the total.
  LineSums operator-(const LineSums& other) const {
    return {lines - other.lines, rows - other.rows, uncounted - other.uncounted};
  }
};

}  // namespace tambrel::text
