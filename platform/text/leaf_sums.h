#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tambrel::platform::text {

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

// Prefix sums over a list of leaves (a Fenwick tree): a leaf's sums change in O(log n), and the
// leaf where a running total passes a value is found in O(log n).
class LeafSums {
 public:
  // Starts over from every leaf's sums, in O(n).
  void Rebuild(const std::vector<LineSums>& leaves);
  void Add(std::size_t leaf, const LineSums& delta);
  // The sums of leaves [0, leaf).
  LineSums Before(std::size_t leaf) const;
  LineSums Total() const { return total_; }

  struct Found {
    std::size_t leaf;    // leaves [0, leaf) sum to at most the value; Count() when all do
    std::uint64_t rest;  // the value less their sum
  };
  // The most leaves from the start whose `field` adds up to at most `value`.
  Found Find(std::uint64_t LineSums::*field, std::uint64_t value) const;

  std::size_t Count() const { return tree_.empty() ? 0 : tree_.size() - 1; }

 private:
  std::vector<LineSums> tree_;  // 1-based
  LineSums total_;
  std::size_t top_step_ = 0;  // the highest power of two <= Count()
};

}  // namespace tambrel::platform::text
