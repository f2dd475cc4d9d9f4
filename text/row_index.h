#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "text/leaf_rows.h"
#include "text/line_sums.h"

namespace tambrel::text {

// The node sizes of a RowIndex. The defaults suit the editor; tests shrink them so that a few
// dozen lines split and merge leaves and grow the tree.
struct RowIndexShape {
  // Lines in a leaf when it is cut or built; at least 8.
  std::size_t leaf_lines = 1024;
  // Children of an inner node at most; at least 4.
  std::size_t fanout = 64;
};

// How many display rows each hard line takes at the current width and font, for tens of millions
// of lines. A line is counted (its rows are known) or uncounted (not yet, or stale after an
// edit). Queries that need lines nobody has counted say so instead of guessing.
//
// A B+ tree: leaves of about a thousand lines hold the counts at four bytes a line, and each inner
// node keeps the sums of its children. A query or an edit walks one path, O(height * fanout) plus
// a scan of one leaf, and never touches the rest of the tree.
class RowIndex {
 public:
  explicit RowIndex(std::size_t line_count = 1, RowIndexShape shape = {});

  // `line_count` lines, all uncounted.
  void Reset(std::size_t line_count);
  // Mirrors an edit of the text: lines [first_line, first_line + removed) give way to `inserted`
  // uncounted ones (see Change).
  void Replace(std::size_t first_line, std::size_t removed, std::size_t inserted);
  // A line's row count, at least 1.
  void Set(std::size_t line, std::size_t rows);
  // The row counts of consecutive lines from `first_line` on.
  void Set(std::size_t first_line, std::span<const std::uint32_t> rows);

  std::size_t LineCount() const { return static_cast<std::size_t>(total_.lines); }
  bool IsCounted(std::size_t line) const;
  // A line's row count; nothing when it is uncounted.
  std::optional<std::size_t> RowsOf(std::size_t line) const;
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

  // The first way the tree breaks what it promises, or nothing: every leaf at the same depth and
  // within its size, no inner node empty or overfull, every sum that of the lines below it, every
  // node in use once or free. Visits every node: for tests.
  std::optional<std::string> CheckInvariants() const;

 private:
  using Leaf = LeafRows;
  struct Child {
    std::uint32_t node;  // an inner node, or a leaf on the lowest inner level
    LineSums sums;
  };
  struct Inner {
    std::vector<Child> children;
  };
  static constexpr int kMostLevels = 16;
  // The way from the root to a line: the child taken on each inner level, then the leaf.
  struct Path {
    std::array<std::uint32_t, kMostLevels> inner;
    std::array<std::size_t, kMostLevels> child;
    std::uint32_t leaf;
    std::size_t offset;      // of the line in the leaf
    std::size_t first_line;  // of the leaf
  };

  // The path to `line`, or to the end of the last leaf for LineCount().
  Path Find(std::size_t line) const;
  // The sums of lines [0, line).
  LineSums SumsBefore(std::size_t line) const;
  // Adds `delta` to the sums on the way to the path's leaf.
  void Propagate(const Path& path, const LineSums& delta);
  std::uint32_t NewLeaf(Leaf rows);
  std::uint32_t NewInner(std::vector<Child> children);
  // New inner nodes of about built_fanout_ children each that hold `children` in order: the
  // level above them.
  std::vector<Child> GroupInInners(const std::vector<Child>& children);
  // Cuts an overfull leaf into leaves of about kLeafLines.
  void SplitLeaf(const Path& path);
  // Puts children into the inner node on `level` of the path, at `at`, splitting it and those
  // above it as they overflow.
  void InsertChildren(const Path& path, int level, std::size_t at, std::vector<Child> children);
  // Takes the path's child off the inner node on `level`; an inner node left empty goes too.
  void RemoveChild(const Path& path, int level);
  // Moves a small leaf into a sibling that has room.
  void MergeIfSmall(const Path& path);
  std::size_t FirstUncountedBelow(std::uint32_t node, int level) const;
  // Makes every line under a node uncounted and answers its sums.
  LineSums Uncount(std::uint32_t node, int level);
  // The sums of a subtree, checked on the way down; counts every node visited in `seen`.
  std::optional<std::string> CheckSubtree(std::uint32_t node, int level, LineSums& sums,
                                          std::vector<bool>& seen_leaves,
                                          std::vector<bool>& seen_inners) const;

  // A leaf is cut above max_leaf_ lines and merged below min_leaf_: big enough that the tree
  // stays low, small enough that scanning one is quick.
  std::size_t leaf_lines_;
  std::size_t max_leaf_;
  std::size_t min_leaf_;
  // Room a new leaf keeps for a few more lines: without it the first line added to a leaf moves
  // it to new memory.
  std::size_t leaf_room_;
  // Children of an inner node: at most fanout_, and built_fanout_ after a split or a build.
  std::size_t fanout_;
  std::size_t built_fanout_;
  // The counts of a leaf that keeps none: max_leaf_ zeros.
  std::vector<std::uint32_t> zeros_;

  std::vector<Leaf> leaves_;
  std::vector<Inner> inners_;
  std::vector<std::uint32_t> free_leaves_;
  std::vector<std::uint32_t> free_inners_;
  std::uint32_t root_ = 0;
  int height_ = 1;  // inner levels above the leaves
  LineSums total_;
};

}  // namespace tambrel::text
