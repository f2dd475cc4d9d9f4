#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tambrel::text {

// The row counts of a run of lines, 0 for a line not counted yet. While none of its lines is
// counted, it keeps no counts at all: a document of tens of millions of lines is then indexed
// without writing four bytes a line into memory that nothing reads until its rows are counted.
class LeafRows {
 public:
  LeafRows() = default;
  static LeafRows Uncounted(std::size_t lines) {
    LeafRows leaf;
    leaf.lines_ = lines;
    return leaf;
  }
  // `rows` kept, with room for a few more lines.
  static LeafRows Of(std::span<const std::uint32_t> rows, std::size_t room) {
    LeafRows leaf;
    leaf.lines_ = rows.size();
    leaf.rows_.reserve(rows.size() + room);
    leaf.rows_.assign(rows.begin(), rows.end());
    return leaf;
  }

  std::size_t size() const { return lines_; }
  bool empty() const { return lines_ == 0; }
  bool KeepsCounts() const { return !rows_.empty(); }

  // Every line's count; `zeros` stands for them while none is kept, and must be long enough.
  std::span<const std::uint32_t> Rows(std::span<const std::uint32_t> zeros) const {
    if (KeepsCounts()) return rows_;
    assert(zeros.size() >= lines_);
    return zeros.first(lines_);
  }
  // The counts, to be written: kept from now on, with room for a few more lines.
  std::span<std::uint32_t> Writable(std::size_t room) {
    if (!KeepsCounts() && lines_ > 0) {
      rows_.reserve(lines_ + room);
      rows_.assign(lines_, 0u);
    }
    return rows_;
  }

  void Erase(std::size_t offset, std::size_t count) {
    if (KeepsCounts()) {
      const auto first = rows_.begin() + static_cast<std::ptrdiff_t>(offset);
      rows_.erase(first, first + static_cast<std::ptrdiff_t>(count));
    }
    lines_ -= count;
  }
  void InsertUncounted(std::size_t offset, std::size_t count) {
    if (KeepsCounts()) rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(offset), count, 0u);
    lines_ += count;
  }
  void Append(const LeafRows& later) {
    if (KeepsCounts() || later.KeepsCounts()) {
      Writable(later.size());
      if (later.KeepsCounts()) {
        rows_.insert(rows_.end(), later.rows_.begin(), later.rows_.end());
      } else {
        rows_.insert(rows_.end(), later.size(), 0u);
      }
    }
    lines_ += later.size();
  }
  // Every line uncounted again; the room stays for the counts to come.
  void Uncount() { rows_.clear(); }

  std::size_t MemoryBytes() const { return rows_.capacity() * sizeof(std::uint32_t); }

 private:
  std::size_t lines_ = 0;
  // Empty while no line is counted; otherwise one count a line.
  std::vector<std::uint32_t> rows_;
};

}  // namespace tambrel::text
