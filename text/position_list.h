#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tambrel::text {

// An increasing list of positions at four bytes each: a document has tens of millions of line
// starts, and eight bytes apiece would double what the index costs. Each entry keeps the low 32
// bits; the few places where the high bits step up are listed apart.
class PositionList {
 public:
  void Push(std::uint64_t position) {
    if ((position >> 32) > steps_.size()) [[unlikely]]
      AddSteps(position >> 32);
    low_.push_back(static_cast<std::uint32_t>(position));
  }
  void Reserve(std::size_t count) { low_.reserve(count); }
  // Appends every entry of `later`, whose positions all come after this list's.
  void Append(const PositionList& later);
  // Gives back reserved room when it is much more than the entries need.
  void ShrinkIfLoose() {
    if (low_.capacity() > low_.size() + low_.size() / 4 + 1024) low_.shrink_to_fit();
  }

  std::size_t Size() const { return low_.size(); }
  std::uint64_t operator[](std::size_t index) const;
  // The index of the first position greater than `position` (Size() when there is none).
  std::size_t UpperBound(std::uint64_t position) const;

  std::size_t MemoryBytes() const;

 private:
  std::uint64_t HighAt(std::size_t index) const;
  void AddSteps(std::uint64_t high);

  std::vector<std::uint32_t> low_;
  // steps_[k] is the first index whose high bits are at least k + 1. Repeats mean a gap of more
  // than 2^32 between two entries.
  std::vector<std::size_t> steps_;
};

}  // namespace tambrel::text
