#include "text/position_list.h"

#include <algorithm>

namespace tambrel::text {

void PositionList::AddSteps(std::uint64_t high) {
  while (steps_.size() < high) steps_.push_back(low_.size());
}

void PositionList::Append(const PositionList& later) {
  // The entries of `later` go over a run at a time, each run sharing its high bits.
  std::size_t from = 0;
  for (std::uint64_t high = 0; from < later.low_.size(); ++high) {
    const std::size_t to = high < later.steps_.size() ? later.steps_[high] : later.low_.size();
    if (to == from) continue;
    if (high > steps_.size()) AddSteps(high);
    low_.insert(low_.end(), later.low_.begin() + static_cast<std::ptrdiff_t>(from),
                later.low_.begin() + static_cast<std::ptrdiff_t>(to));
    from = to;
  }
}

std::uint64_t PositionList::HighAt(std::size_t index) const {
  if (steps_.empty()) return 0;
  return static_cast<std::uint64_t>(std::upper_bound(steps_.begin(), steps_.end(), index) -
                                    steps_.begin());
}

std::uint64_t PositionList::operator[](std::size_t index) const {
  return HighAt(index) << 32 | low_[index];
}

std::size_t PositionList::UpperBound(std::uint64_t position) const {
  // Only the entries that share the high bits of `position` need comparing by their low bits.
  const std::uint64_t high = position >> 32;
  std::size_t first = 0;
  std::size_t last = low_.size();
  if (high > 0) first = high - 1 < steps_.size() ? steps_[high - 1] : low_.size();
  if (high < steps_.size()) last = steps_[high];
  const auto low = static_cast<std::uint32_t>(position);
  return static_cast<std::size_t>(
      std::upper_bound(low_.begin() + static_cast<std::ptrdiff_t>(first),
                       low_.begin() + static_cast<std::ptrdiff_t>(last), low) -
      low_.begin());
}

std::size_t PositionList::MemoryBytes() const {
  return low_.capacity() * sizeof(std::uint32_t) + steps_.capacity() * sizeof(std::size_t);
}

}  // namespace tambrel::text
