#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/text/leaf_sums.h"

namespace tambrel::platform::text {

// How many display rows each hard line takes at the current width and font, for tens of millions
// of lines. A line is counted (its rows are known) or uncounted (not yet, or stale after an
// edit). Queries that need lines nobody has counted say so instead of guessing.
//
// Lines sit in leaves of about a thousand, with prefix sums over the leaves: a query or an update
// costs O(log n) plus a scan of one leaf, at four bytes a line and a little per leaf. The leaves
// lie in slots with free ones between them, so a leaf that splits or empties only shifts its
// neighbours (a packed-memory array) and an edit of a few lines never rebuilds the whole.
class RowIndex {
 public:
  explicit RowIndex(std::size_t line_count = 1);

  // `line_count` lines, all uncounted.
  void Reset(std::size_t line_count);
  // Mirrors an edit of the text: lines [first_line, first_line + removed) give way to `inserted`
  // uncounted ones (see Change).
  void Replace(std::size_t first_line, std::size_t removed, std::size_t inserted);
  // A line's row count, at least 1.
  void Set(std::size_t line, std::size_t rows);
  // The row counts of consecutive lines from `first_line` on.
  void Set(std::size_t first_line, std::span<const std::uint32_t> rows);

  std::size_t LineCount() const { return static_cast<std::size_t>(sums_.Total().lines); }
  bool IsCounted(std::size_t line) const;
  // The first uncounted line at or after `from_line`, or LineCount() when there is none.
  std::size_t FirstUncounted(std::size_t from_line) const;
  // How many lines from the start are counted.
  std::size_t CountedLines() const { return FirstUncounted(0); }

  // The display row a line starts on; nothing unless every line before it is counted.
  std::optional<std::size_t> FirstRowOf(std::size_t line) const;
  struct RowPlace {
    std::size_t line;
    std::size_t row_in_line;
    bool operator==(const RowPlace&) const = default;
  };
  // The line that shows a display row; nothing unless the lines up to it are counted.
  std::optional<RowPlace> PlaceOfRow(std::size_t row) const;
  // Nothing unless every line is counted.
  std::optional<std::size_t> TotalRows() const;

  std::size_t MemoryBytes() const;

 private:
  struct Place {
    std::size_t slot;
    std::size_t offset;
  };
  using Leaf = std::vector<std::uint32_t>;  // row counts, 0 for uncounted

  // The slot and offset of `line` < LineCount().
  Place Locate(std::size_t line) const;
  // Where lines inserted before `line` <= LineCount() go.
  Place InsertionPlace(std::size_t line) const;
  std::size_t FirstLineOf(std::size_t slot) const {
    return static_cast<std::size_t>(sums_.Before(slot).lines);
  }
  // Brings the sums up to date after slot_sums_[slot] changed from `before`.
  void Changed(std::size_t slot, const LineSums& before);
  void PutLeaf(std::size_t slot, Leaf leaf);
  // Splits an overfull leaf, spreading the leaves around it out to make room.
  void Split(std::size_t slot);
  // Moves a small leaf into a neighbour that has room.
  void MergeIfSmall(std::size_t slot);
  // Lays the leaves of slots [first, last) out evenly over those slots, cutting overfull ones.
  void Spread(std::size_t first, std::size_t last);
  // Lays every leaf out again over about twice as many slots as it needs.
  void Respread();

  std::vector<Leaf> slots_;  // empty slots are free
  std::vector<LineSums> slot_sums_;
  LeafSums sums_;
  std::size_t used_slots_ = 0;
};

}  // namespace tambrel::platform::text
