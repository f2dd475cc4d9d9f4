#include "text/row_index.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <string>
#include <utility>

namespace tambrel::text {
namespace {

LineSums SumOf(std::span<const std::uint32_t> rows) {
  LineSums sums;
  sums.lines = rows.size();
  for (std::uint32_t count : rows) {
    sums.rows += count;
    sums.uncounted += count == 0 ? 1 : 0;
  }
  return sums;
}

std::uint32_t Stored(std::size_t rows) {
  assert(rows >= 1);
  return static_cast<std::uint32_t>(
      std::clamp<std::size_t>(rows, 1, std::numeric_limits<std::uint32_t>::max()));
}

bool SameSums(const LineSums& a, const LineSums& b) {
  return a.lines == b.lines && a.rows == b.rows && a.uncounted == b.uncounted;
}

std::string Describe(const LineSums& sums) {
  return std::to_string(sums.lines) + " lines, " + std::to_string(sums.rows) + " rows, " +
         std::to_string(sums.uncounted) + " uncounted";
}

// How many near-equal parts `count` things make with at most `most` in each.
std::size_t Parts(std::size_t count, std::size_t most) { return (count + most - 1) / most; }

}  // namespace

RowIndex::RowIndex(std::size_t line_count, RowIndexShape shape)
    : leaf_lines_(std::max<std::size_t>(shape.leaf_lines, 8)),
      max_leaf_(2 * leaf_lines_),
      min_leaf_(leaf_lines_ / 4),
      leaf_room_(leaf_lines_ / 8),
      fanout_(std::max<std::size_t>(shape.fanout, 4)),
      built_fanout_(fanout_ * 3 / 4),
      zeros_(max_leaf_, 0u) {
  Reset(line_count);
}

LineSums RowIndex::Uncount(std::uint32_t node, int level) {
  if (level == height_) {
    Leaf& leaf = leaves_[node];
    leaf.Uncount();
    return {leaf.size(), 0, leaf.size()};
  }
  LineSums sums;
  for (Child& child : inners_[node].children) {
    child.sums = Uncount(child.node, level + 1);
    sums += child.sums;
  }
  return sums;
}

void RowIndex::Reset(std::size_t line_count) {
  if (line_count == LineCount() && !leaves_.empty()) {
    // The same lines at a new width or font: the tree stays, only the counts go.
    total_ = Uncount(root_, 0);
    return;
  }
  leaves_.clear();
  inners_.clear();
  free_leaves_.clear();
  free_inners_.clear();
  // Room to grow to twice as many leaves before the pools move, which would cost an edit a pass
  // over all of them.
  const std::size_t leaf_count = Parts(line_count, leaf_lines_) + 1;
  leaves_.reserve(2 * leaf_count);
  inners_.reserve(2 * Parts(leaf_count, built_fanout_ / 2) + kMostLevels);
  std::vector<Child> level;
  for (std::size_t first = 0; first < line_count || level.empty(); first += leaf_lines_) {
    const std::size_t size = std::min(leaf_lines_, line_count - first);
    level.push_back({NewLeaf(Leaf::Uncounted(size)), {size, 0, size}});
  }
  height_ = 0;
  do {
    level = GroupInInners(level);
    ++height_;
  } while (level.size() > 1);
  root_ = level.front().node;
  total_ = level.front().sums;
}

std::vector<RowIndex::Child> RowIndex::GroupInInners(const std::vector<Child>& children) {
  std::vector<Child> above;
  const std::size_t parts = Parts(children.size(), built_fanout_);
  for (std::size_t k = 0; k < parts; ++k) {
    const auto first = children.begin() + static_cast<std::ptrdiff_t>(children.size() * k / parts);
    const auto last =
        children.begin() + static_cast<std::ptrdiff_t>(children.size() * (k + 1) / parts);
    LineSums sums;
    for (auto it = first; it != last; ++it) sums += it->sums;
    above.push_back({NewInner(std::vector<Child>(first, last)), sums});
  }
  return above;
}

std::uint32_t RowIndex::NewLeaf(Leaf rows) {
  if (!free_leaves_.empty()) {
    const std::uint32_t id = free_leaves_.back();
    free_leaves_.pop_back();
    leaves_[id] = std::move(rows);
    return id;
  }
  leaves_.push_back(std::move(rows));
  return static_cast<std::uint32_t>(leaves_.size() - 1);
}

std::uint32_t RowIndex::NewInner(std::vector<Child> children) {
  if (!free_inners_.empty()) {
    const std::uint32_t id = free_inners_.back();
    free_inners_.pop_back();
    inners_[id].children = std::move(children);
    return id;
  }
  inners_.push_back({std::move(children)});
  return static_cast<std::uint32_t>(inners_.size() - 1);
}

RowIndex::Path RowIndex::Find(std::size_t line) const {
  assert(line <= LineCount());
  Path path;
  path.first_line = 0;
  std::uint32_t node = root_;
  for (int level = 0; level < height_; ++level) {
    const std::vector<Child>& children = inners_[node].children;
    std::size_t k = 0;
    // Past the children that end at or before the line; the end of the text is in the last.
    while (k + 1 < children.size() && line - path.first_line >= children[k].sums.lines) {
      path.first_line += children[k].sums.lines;
      ++k;
    }
    path.inner[level] = node;
    path.child[level] = k;
    node = children[k].node;
  }
  path.leaf = node;
  path.offset = line - path.first_line;
  return path;
}

LineSums RowIndex::SumsBefore(std::size_t line) const {
  const Path path = Find(line);
  LineSums sums;
  for (int level = 0; level < height_; ++level) {
    const std::vector<Child>& children = inners_[path.inner[level]].children;
    for (std::size_t k = 0; k < path.child[level]; ++k) sums += children[k].sums;
  }
  sums += SumOf(leaves_[path.leaf].Rows(zeros_).first(path.offset));
  return sums;
}

void RowIndex::Propagate(const Path& path, const LineSums& delta) {
  for (int level = 0; level < height_; ++level) {
    inners_[path.inner[level]].children[path.child[level]].sums += delta;
  }
  total_ += delta;
}

void RowIndex::Set(std::size_t line, std::size_t rows) {
  assert(line < LineCount());
  const Path path = Find(line);
  std::uint32_t& stored = leaves_[path.leaf].Writable(leaf_room_)[path.offset];
  const LineSums before{1, stored, stored == 0 ? 1u : 0u};
  stored = Stored(rows);
  Propagate(path, LineSums{1, stored, 0} - before);
}

void RowIndex::Set(std::size_t first_line, std::span<const std::uint32_t> rows) {
  assert(first_line + rows.size() <= LineCount());
  while (!rows.empty()) {
    const Path path = Find(first_line);
    Leaf& leaf = leaves_[path.leaf];
    const std::size_t take = std::min(rows.size(), leaf.size() - path.offset);
    const auto target = leaf.Writable(leaf_room_).subspan(path.offset, take);
    const LineSums before = SumOf(target);
    for (std::size_t i = 0; i < take; ++i) target[i] = Stored(rows[i]);
    Propagate(path, SumOf(target) - before);
    first_line += take;
    rows = rows.subspan(take);
  }
}

void RowIndex::Replace(std::size_t first_line, std::size_t removed, std::size_t inserted) {
  assert(first_line + removed <= LineCount());
  while (removed > 0) {
    const Path path = Find(first_line);
    Leaf& leaf = leaves_[path.leaf];
    const std::size_t take = std::min(removed, leaf.size() - path.offset);
    const LineSums gone = SumOf(leaf.Rows(zeros_).subspan(path.offset, take));
    leaf.Erase(path.offset, take);
    Propagate(path, LineSums{} - gone);
    removed -= take;
    if (total_.lines == 0) {
      Reset(0);
    } else if (leaf.empty()) {
      free_leaves_.push_back(path.leaf);
      RemoveChild(path, height_ - 1);
    } else if (leaf.size() < min_leaf_) {
      MergeIfSmall(path);
    }
  }
  if (inserted > 0) {
    const Path path = Find(first_line);
    Leaf& leaf = leaves_[path.leaf];
    leaf.InsertUncounted(path.offset, inserted);
    Propagate(path, LineSums{inserted, 0, inserted});
    if (leaf.size() > max_leaf_) SplitLeaf(path);
  }
}

void RowIndex::SplitLeaf(const Path& path) {
  const Leaf whole = std::move(leaves_[path.leaf]);
  const std::size_t parts = Parts(whole.size(), leaf_lines_);
  std::vector<Child> added;
  for (std::size_t k = 0; k < parts; ++k) {
    const std::size_t first = whole.size() * k / parts;
    const std::size_t lines = whole.size() * (k + 1) / parts - first;
    // A leaf that keeps no counts may be far longer than any other, after a large paste.
    Leaf part = Leaf::Uncounted(lines);
    LineSums sums{lines, 0, lines};
    if (whole.KeepsCounts()) {
      const auto rows = whole.Rows({}).subspan(first, lines);
      part = Leaf::Of(rows, leaf_room_);
      sums = SumOf(rows);
    }
    if (k == 0) {
      leaves_[path.leaf] = std::move(part);
      inners_[path.inner[height_ - 1]].children[path.child[height_ - 1]].sums = sums;
    } else {
      added.push_back({NewLeaf(std::move(part)), sums});
    }
  }
  InsertChildren(path, height_ - 1, path.child[height_ - 1] + 1, std::move(added));
}

void RowIndex::InsertChildren(const Path& path, int level, std::size_t at,
                              std::vector<Child> children) {
  std::vector<Child>& siblings = inners_[path.inner[level]].children;
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(at), children.begin(),
                  children.end());
  if (siblings.size() <= fanout_) return;
  // Overfull: this node keeps the first part, new nodes take the rest, one level up.
  std::vector<Child> all = std::move(siblings);
  const std::size_t parts = Parts(all.size(), built_fanout_);
  std::vector<Child> added;
  LineSums kept;
  for (std::size_t k = 0; k < parts; ++k) {
    const auto first = all.begin() + static_cast<std::ptrdiff_t>(all.size() * k / parts);
    const auto last = all.begin() + static_cast<std::ptrdiff_t>(all.size() * (k + 1) / parts);
    LineSums sums;
    for (auto it = first; it != last; ++it) sums += it->sums;
    if (k == 0) {
      inners_[path.inner[level]].children.assign(first, last);
      kept = sums;
    } else {
      added.push_back({NewInner(std::vector<Child>(first, last)), sums});
    }
  }
  if (level == 0) {
    added.insert(added.begin(), Child{root_, kept});
    // Thousands of leaves that come at once (an undo that brings back millions of lines) split
    // the root into more nodes than a new root may hold: levels go on above it until one does.
    while (added.size() > fanout_) {
      added = GroupInInners(added);
      ++height_;
    }
    root_ = NewInner(std::move(added));
    ++height_;
    return;
  }
  inners_[path.inner[level - 1]].children[path.child[level - 1]].sums = kept;
  InsertChildren(path, level - 1, path.child[level - 1] + 1, std::move(added));
}

void RowIndex::RemoveChild(const Path& path, int level) {
  std::vector<Child>& children = inners_[path.inner[level]].children;
  children.erase(children.begin() + static_cast<std::ptrdiff_t>(path.child[level]));
  if (children.empty() && level > 0) {
    free_inners_.push_back(path.inner[level]);
    RemoveChild(path, level - 1);
    return;
  }
  // A root with one inner child is one level too many.
  while (height_ > 1 && inners_[root_].children.size() == 1) {
    free_inners_.push_back(root_);
    root_ = inners_[root_].children.front().node;
    --height_;
  }
}

void RowIndex::MergeIfSmall(const Path& path) {
  std::vector<Child>& siblings = inners_[path.inner[height_ - 1]].children;
  const std::size_t at = path.child[height_ - 1];
  // Into the sibling before, or the sibling after into this one.
  const std::size_t left = at > 0 ? at - 1 : at;
  const std::size_t right = at > 0 ? at : at + 1;
  if (right >= siblings.size()) return;
  Leaf& kept = leaves_[siblings[left].node];
  Leaf& gone = leaves_[siblings[right].node];
  if (kept.size() + gone.size() > max_leaf_) return;
  kept.Append(gone);
  gone = Leaf{};
  free_leaves_.push_back(siblings[right].node);
  siblings[left].sums += siblings[right].sums;
  Path to_right = path;
  to_right.child[height_ - 1] = right;
  RemoveChild(to_right, height_ - 1);
}

bool RowIndex::IsCounted(std::size_t line) const {
  assert(line < LineCount());
  const Path path = Find(line);
  return leaves_[path.leaf].Rows(zeros_)[path.offset] != 0;
}

std::size_t RowIndex::FirstUncountedBelow(std::uint32_t node, int level) const {
  std::size_t line = 0;
  for (; level < height_; ++level) {
    for (const Child& child : inners_[node].children) {
      if (child.sums.uncounted > 0) {
        node = child.node;
        break;
      }
      line += child.sums.lines;
    }
  }
  const std::span<const std::uint32_t> rows = leaves_[node].Rows(zeros_);
  return line + static_cast<std::size_t>(std::find(rows.begin(), rows.end(), 0u) - rows.begin());
}

std::size_t RowIndex::FirstUncounted(std::size_t from_line) const {
  if (from_line >= LineCount() || total_.uncounted == 0) return LineCount();
  const Path path = Find(from_line);
  const std::span<const std::uint32_t> rows = leaves_[path.leaf].Rows(zeros_);
  const auto found =
      std::find(rows.begin() + static_cast<std::ptrdiff_t>(path.offset), rows.end(), 0u);
  if (found != rows.end()) {
    return path.first_line + static_cast<std::size_t>(found - rows.begin());
  }
  // Up the path, then down the first subtree to the right that has an uncounted line.
  std::size_t line = path.first_line + rows.size();
  for (int level = height_ - 1; level >= 0; --level) {
    const std::vector<Child>& children = inners_[path.inner[level]].children;
    for (std::size_t k = path.child[level] + 1; k < children.size(); ++k) {
      if (children[k].sums.uncounted > 0) {
        return line + FirstUncountedBelow(children[k].node, level + 1);
      }
      line += children[k].sums.lines;
    }
  }
  return LineCount();
}

std::optional<std::size_t> RowIndex::FirstRowOf(std::size_t line) const {
  const LineSums before = SumsBefore(line);
  if (before.uncounted != 0) return std::nullopt;
  return static_cast<std::size_t>(before.rows);
}

std::optional<RowIndex::RowPlace> RowIndex::PlaceOfRow(std::size_t row) const {
  // Only rows before the first uncounted line are known.
  const std::optional<std::size_t> known =
      total_.uncounted == 0 ? TotalRows() : FirstRowOf(CountedLines());
  if (!known || row >= *known) return std::nullopt;
  std::size_t line = 0;
  std::uint32_t node = root_;
  for (int level = 0; level < height_; ++level) {
    for (const Child& child : inners_[node].children) {
      if (row < child.sums.rows) {
        node = child.node;
        break;
      }
      row -= static_cast<std::size_t>(child.sums.rows);
      line += static_cast<std::size_t>(child.sums.lines);
    }
  }
  for (std::uint32_t rows : leaves_[node].Rows(zeros_)) {
    if (row < rows) return RowPlace{line, row};
    row -= rows;
    ++line;
  }
  assert(false);  // the rows of the counted lines hold `row`
  return std::nullopt;
}

std::optional<std::size_t> RowIndex::RowsOf(std::size_t line) const {
  assert(line < LineCount());
  const Path path = Find(line);
  const std::uint32_t rows = leaves_[path.leaf].Rows(zeros_)[path.offset];
  if (rows == 0) return std::nullopt;
  return rows;
}

std::optional<std::size_t> RowIndex::TotalRows() const {
  if (total_.uncounted != 0) return std::nullopt;
  return static_cast<std::size_t>(total_.rows);
}

std::size_t RowIndex::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + leaves_.capacity() * sizeof(Leaf) +
                      inners_.capacity() * sizeof(Inner) +
                      (free_leaves_.capacity() + free_inners_.capacity() + zeros_.capacity()) *
                          sizeof(std::uint32_t);
  for (const Leaf& leaf : leaves_) bytes += leaf.MemoryBytes();
  for (const Inner& inner : inners_) bytes += inner.children.capacity() * sizeof(Child);
  return bytes;
}

std::optional<std::string> RowIndex::CheckSubtree(std::uint32_t node, int level, LineSums& sums,
                                                  std::vector<bool>& seen_leaves,
                                                  std::vector<bool>& seen_inners) const {
  if (level == height_) {
    const std::string name = "leaf " + std::to_string(node);
    if (node >= leaves_.size()) return name + " is outside the pool";
    if (seen_leaves[node]) return name + " is in two places (the tree or the free list)";
    seen_leaves[node] = true;
    const Leaf& leaf = leaves_[node];
    if (leaf.size() > max_leaf_) {
      return name + " holds " + std::to_string(leaf.size()) + " lines, more than " +
             std::to_string(max_leaf_);
    }
    // Only an index of no lines at all keeps an empty leaf.
    if (leaf.empty() && total_.lines != 0) return name + " is empty";
    sums = SumOf(leaf.Rows(zeros_));
    return std::nullopt;
  }
  const std::string name = "inner node " + std::to_string(node);
  if (node >= inners_.size()) return name + " is outside the pool";
  if (seen_inners[node]) return name + " is in two places (the tree or the free list)";
  seen_inners[node] = true;
  const std::vector<Child>& children = inners_[node].children;
  if (children.empty()) return name + " has no children";
  if (children.size() > fanout_) {
    return name + " has " + std::to_string(children.size()) + " children, more than " +
           std::to_string(fanout_);
  }
  sums = {};
  for (std::size_t k = 0; k < children.size(); ++k) {
    LineSums below;
    if (std::optional<std::string> problem =
            CheckSubtree(children[k].node, level + 1, below, seen_leaves, seen_inners)) {
      return problem;
    }
    if (!SameSums(below, children[k].sums)) {
      return name + " holds " + Describe(children[k].sums) + " for child " + std::to_string(k) +
             ", which has " + Describe(below);
    }
    sums += below;
  }
  return std::nullopt;
}

std::optional<std::string> RowIndex::CheckInvariants() const {
  // A path holds one entry a level.
  if (height_ < 1 || height_ > kMostLevels) {
    return "the tree is " + std::to_string(height_) + " inner levels high";
  }
  if (height_ > 1 && root_ < inners_.size() && inners_[root_].children.size() < 2) {
    return "the root has one child, a level too many";
  }
  std::vector<bool> seen_leaves(leaves_.size(), false);
  std::vector<bool> seen_inners(inners_.size(), false);
  for (const auto& [free, seen] :
       {std::pair(&free_leaves_, &seen_leaves), std::pair(&free_inners_, &seen_inners)}) {
    for (const std::uint32_t id : *free) {
      if (id >= seen->size() || (*seen)[id]) return "the free lists name a node twice or none";
      (*seen)[id] = true;
    }
  }
  LineSums sums;
  if (std::optional<std::string> problem = CheckSubtree(root_, 0, sums, seen_leaves, seen_inners)) {
    return problem;
  }
  if (!SameSums(sums, total_)) {
    return "the totals say " + Describe(total_) + " but the lines have " + Describe(sums);
  }
  for (const auto& [seen, kind] :
       {std::pair(&seen_leaves, "leaf "), std::pair(&seen_inners, "inner node ")}) {
    for (std::size_t id = 0; id < seen->size(); ++id) {
      if (!(*seen)[id]) return kind + std::to_string(id) + " is lost: in no tree and not free";
    }
  }
  return std::nullopt;
}

}  // namespace tambrel::text
