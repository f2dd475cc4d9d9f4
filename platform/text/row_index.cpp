#include "platform/text/row_index.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <limits>
#include <utility>

namespace tambrel::platform::text {
namespace {

// A leaf is split above kMaxLeaf lines and merged below kMinLeaf: big enough that the prefix sums
// over leaves stay small, small enough that scanning one is quick.
constexpr std::size_t kLeafLines = 1024;
constexpr std::size_t kMaxLeaf = 2 * kLeafLines;
constexpr std::size_t kMinLeaf = kLeafLines / 4;
// How far a small leaf looks for a neighbour to merge into.
constexpr std::size_t kMergeReach = 4;
// Room a new leaf keeps for a few more lines: without it the first line added to a leaf moves
// it to new memory, and a fresh page costs the kernel more than the edit.
constexpr std::size_t kLeafRoom = kLeafLines / 8;

std::vector<std::uint32_t> NewLeaf(std::span<const std::uint32_t> rows) {
  std::vector<std::uint32_t> leaf;
  leaf.reserve(rows.size() + kLeafRoom);
  leaf.assign(rows.begin(), rows.end());
  return leaf;
}

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

// Cuts lines into leaves of near-equal size when there are too many for one.
void AppendLeaves(std::vector<std::vector<std::uint32_t>>& leaves,
                  std::vector<std::uint32_t>&& lines) {
  if (lines.size() <= kMaxLeaf) {
    if (!lines.empty()) leaves.push_back(std::move(lines));
    return;
  }
  const std::size_t count = (lines.size() + kLeafLines - 1) / kLeafLines;
  for (std::size_t k = 0; k < count; ++k) {
    const std::size_t first = lines.size() * k / count;
    leaves.push_back(
        NewLeaf(std::span(lines).subspan(first, lines.size() * (k + 1) / count - first)));
  }
}

}  // namespace

RowIndex::RowIndex(std::size_t line_count) { Reset(line_count); }

void RowIndex::Reset(std::size_t line_count) {
  // Every other slot free, as Respread lays them out.
  const std::size_t leaves = (line_count + kLeafLines - 1) / kLeafLines;
  slots_.assign(std::max<std::size_t>(2, 2 * leaves), Leaf{});
  slot_sums_.assign(slots_.size(), LineSums{});
  for (std::size_t i = 0; i < leaves; ++i) {
    const std::size_t size = std::min(kLeafLines, line_count - i * kLeafLines);
    slots_[2 * i].reserve(size + kLeafRoom);
    slots_[2 * i].assign(size, 0u);
    slot_sums_[2 * i] = {size, 0, size};
  }
  used_slots_ = leaves;
  sums_.Rebuild(slot_sums_);
}

void RowIndex::Respread() {
  std::vector<Leaf> leaves;
  for (Leaf& leaf : slots_) AppendLeaves(leaves, std::move(leaf));
  // Every other slot free; at least two slots, so that there is always a place to insert.
  slots_.assign(std::max<std::size_t>(2, 2 * leaves.size()), Leaf{});
  for (std::size_t i = 0; i < leaves.size(); ++i) slots_[2 * i] = std::move(leaves[i]);
  used_slots_ = leaves.size();
  slot_sums_.resize(slots_.size());
  for (std::size_t slot = 0; slot < slots_.size(); ++slot) slot_sums_[slot] = SumOf(slots_[slot]);
  sums_.Rebuild(slot_sums_);
}

RowIndex::Place RowIndex::Locate(std::size_t line) const {
  assert(line < LineCount());
  const LeafSums::Found found = sums_.Find(&LineSums::lines, line);
  return {found.leaf, static_cast<std::size_t>(found.rest)};
}

RowIndex::Place RowIndex::InsertionPlace(std::size_t line) const {
  if (line < LineCount()) return Locate(line);
  if (line == 0) return {0, 0};
  const Place last = Locate(line - 1);
  return {last.slot, last.offset + 1};
}

void RowIndex::Changed(std::size_t slot, const LineSums& before) {
  sums_.Add(slot, slot_sums_[slot] - before);
}

void RowIndex::PutLeaf(std::size_t slot, Leaf leaf) {
  const LineSums before = slot_sums_[slot];
  used_slots_ -= slots_[slot].empty() ? 0 : 1;
  used_slots_ += leaf.empty() ? 0 : 1;
  slots_[slot] = std::move(leaf);
  slot_sums_[slot] = SumOf(slots_[slot]);
  Changed(slot, before);
}

void RowIndex::Set(std::size_t line, std::size_t rows) {
  const Place place = Locate(line);
  std::uint32_t& stored = slots_[place.slot][place.offset];
  const LineSums before = slot_sums_[place.slot];
  LineSums& sums = slot_sums_[place.slot];
  sums.rows = sums.rows - stored + Stored(rows);
  sums.uncounted -= stored == 0 ? 1 : 0;
  stored = Stored(rows);
  Changed(place.slot, before);
}

void RowIndex::Set(std::size_t first_line, std::span<const std::uint32_t> rows) {
  assert(first_line + rows.size() <= LineCount());
  while (!rows.empty()) {
    const Place place = Locate(first_line);
    Leaf& leaf = slots_[place.slot];
    const std::size_t take = std::min(rows.size(), leaf.size() - place.offset);
    const auto target = std::span(leaf).subspan(place.offset, take);
    const LineSums before = slot_sums_[place.slot];
    const LineSums old = SumOf(target);
    for (std::size_t i = 0; i < take; ++i) target[i] = Stored(rows[i]);
    const LineSums now = SumOf(target);
    LineSums& sums = slot_sums_[place.slot];
    sums.rows = sums.rows - old.rows + now.rows;
    sums.uncounted = sums.uncounted - old.uncounted + now.uncounted;
    Changed(place.slot, before);
    first_line += take;
    rows = rows.subspan(take);
  }
}

void RowIndex::Replace(std::size_t first_line, std::size_t removed, std::size_t inserted) {
  assert(first_line + removed <= LineCount());
  // A removal leaves at most two partial leaves, its first and its last.
  std::size_t partial[2] = {slots_.size(), slots_.size()};
  for (int k = 0; removed > 0; k = 1) {
    const Place place = Locate(first_line);
    Leaf& leaf = slots_[place.slot];
    const std::size_t take = std::min(removed, leaf.size() - place.offset);
    const auto first = leaf.begin() + static_cast<std::ptrdiff_t>(place.offset);
    const LineSums before = slot_sums_[place.slot];
    slot_sums_[place.slot] = before - SumOf({&*first, take});
    leaf.erase(first, first + static_cast<std::ptrdiff_t>(take));
    Changed(place.slot, before);
    if (leaf.empty()) {
      --used_slots_;
    } else {
      partial[k] = place.slot;
    }
    removed -= take;
  }
  if (inserted > 0) {
    const Place place = InsertionPlace(first_line);
    Leaf& leaf = slots_[place.slot];
    used_slots_ += leaf.empty() ? 1 : 0;
    leaf.insert(leaf.begin() + static_cast<std::ptrdiff_t>(place.offset), inserted, 0u);
    const LineSums before = slot_sums_[place.slot];
    slot_sums_[place.slot] += LineSums{inserted, 0, inserted};
    Changed(place.slot, before);
    if (leaf.size() > kMaxLeaf) Split(place.slot);
  } else {
    for (std::size_t slot : partial) {
      if (slot < slots_.size()) MergeIfSmall(slot);
    }
  }
  // Mostly free slots after a large removal: pack them again.
  if (slots_.size() > 64 && used_slots_ * 8 < slots_.size()) Respread();
}

void RowIndex::MergeIfSmall(std::size_t slot) {
  const std::size_t size = slots_[slot].size();
  if (size == 0 || size >= kMinLeaf) return;
  const auto merge_into = [&](std::size_t other, bool after) {
    if (slots_[other].size() + size > kMaxLeaf) return;
    Leaf joined = slots_[other];
    joined.insert(after ? joined.end() : joined.begin(), slots_[slot].begin(), slots_[slot].end());
    PutLeaf(other, std::move(joined));
    PutLeaf(slot, Leaf{});
  };
  for (std::size_t step = 1; step <= kMergeReach; ++step) {
    if (slot >= step && !slots_[slot - step].empty()) return merge_into(slot - step, true);
    if (slot + step < slots_.size() && !slots_[slot + step].empty()) {
      return merge_into(slot + step, false);
    }
  }
}

void RowIndex::Split(std::size_t slot) {
  const std::size_t parts = (slots_[slot].size() + kLeafLines - 1) / kLeafLines;
  // The smallest aligned window around the slot that is at most three quarters full once the
  // new leaves are in; its leaves are spread evenly over it.
  for (std::size_t window = 8; window < slots_.size(); window *= 2) {
    const std::size_t first = slot / window * window;
    const std::size_t last = std::min(first + window, slots_.size());
    std::size_t used = parts - 1;
    for (std::size_t s = first; s < last; ++s) used += slots_[s].empty() ? 0 : 1;
    if (used * 4 <= (last - first) * 3) return Spread(first, last);
  }
  Respread();
}

void RowIndex::Spread(std::size_t first, std::size_t last) {
  std::vector<Leaf> leaves;
  for (std::size_t slot = first; slot < last; ++slot) {
    used_slots_ -= slots_[slot].empty() ? 0 : 1;
    AppendLeaves(leaves, std::move(slots_[slot]));
    slots_[slot] = Leaf{};
  }
  used_slots_ += leaves.size();
  const std::size_t window = last - first;
  assert(leaves.size() <= window);
  std::vector<Leaf> spread(window);
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    spread[i * window / leaves.size()] = std::move(leaves[i]);
  }
  // Slot by slot when few, else all the sums at once.
  const bool rebuild =
      window * static_cast<std::size_t>(std::bit_width(slots_.size())) > slots_.size();
  for (std::size_t i = 0; i < window; ++i) {
    const std::size_t slot = first + i;
    slots_[slot] = std::move(spread[i]);
    const LineSums before = slot_sums_[slot];
    slot_sums_[slot] = SumOf(slots_[slot]);
    if (!rebuild) Changed(slot, before);
  }
  if (rebuild) sums_.Rebuild(slot_sums_);
}

bool RowIndex::IsCounted(std::size_t line) const {
  const Place place = Locate(line);
  return slots_[place.slot][place.offset] != 0;
}

std::size_t RowIndex::FirstUncounted(std::size_t from_line) const {
  if (from_line >= LineCount() || sums_.Total().uncounted == 0) return LineCount();
  const Place place = Locate(from_line);
  const Leaf& leaf = slots_[place.slot];
  const auto found =
      std::find(leaf.begin() + static_cast<std::ptrdiff_t>(place.offset), leaf.end(), 0u);
  if (found != leaf.end()) {
    return from_line + static_cast<std::size_t>(found - leaf.begin()) - place.offset;
  }
  // The first later leaf with an uncounted line: the first past which the running count of
  // uncounted lines exceeds that up to the end of this one.
  const std::uint64_t through = sums_.Before(place.slot + 1).uncounted;
  const std::size_t next = sums_.Find(&LineSums::uncounted, through).leaf;
  if (next >= slots_.size()) return LineCount();
  const Leaf& holder = slots_[next];
  return FirstLineOf(next) +
         static_cast<std::size_t>(std::find(holder.begin(), holder.end(), 0u) - holder.begin());
}

std::optional<std::size_t> RowIndex::FirstRowOf(std::size_t line) const {
  assert(line <= LineCount());
  const Place place = InsertionPlace(line);
  const LineSums before = sums_.Before(place.slot);
  if (before.uncounted != 0) return std::nullopt;
  const LineSums head = SumOf(std::span(slots_[place.slot]).first(place.offset));
  if (head.uncounted != 0) return std::nullopt;
  return static_cast<std::size_t>(before.rows + head.rows);
}

std::optional<RowIndex::RowPlace> RowIndex::PlaceOfRow(std::size_t row) const {
  // Only rows before the first uncounted line are known.
  const LineSums total = sums_.Total();
  const std::optional<std::size_t> known = total.uncounted == 0
                                               ? std::optional(static_cast<std::size_t>(total.rows))
                                               : FirstRowOf(CountedLines());
  if (!known || row >= *known) return std::nullopt;
  const LeafSums::Found found = sums_.Find(&LineSums::rows, row);
  std::uint64_t rest = found.rest;
  const Leaf& leaf = slots_[found.leaf];
  for (std::size_t i = 0; i < leaf.size(); ++i) {
    if (rest < leaf[i]) {
      return RowPlace{FirstLineOf(found.leaf) + i, static_cast<std::size_t>(rest)};
    }
    rest -= leaf[i];
  }
  assert(false);  // the rows of the counted lines hold `row`
  return std::nullopt;
}

std::optional<std::size_t> RowIndex::TotalRows() const {
  const LineSums total = sums_.Total();
  if (total.uncounted != 0) return std::nullopt;
  return static_cast<std::size_t>(total.rows);
}

std::size_t RowIndex::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + slots_.capacity() * sizeof(Leaf) +
                      slot_sums_.capacity() * sizeof(LineSums) * 2;
  for (const Leaf& leaf : slots_) bytes += leaf.capacity() * sizeof(leaf[0]);
  return bytes;
}

}  // namespace tambrel::platform::text
