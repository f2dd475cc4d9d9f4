#include "platform/text/leaf_sums.h"

#include <bit>

namespace tambrel::platform::text {

void LeafSums::Rebuild(const std::vector<LineSums>& leaves) {
  const std::size_t count = leaves.size();
  tree_.assign(count + 1, LineSums{});
  total_ = LineSums{};
  for (std::size_t i = 1; i <= count; ++i) {
    tree_[i] += leaves[i - 1];
    total_ += leaves[i - 1];
    const std::size_t parent = i + (i & (~i + 1));
    if (parent <= count) tree_[parent] += tree_[i];
  }
  top_step_ = count == 0 ? 0 : std::bit_floor(count);
}

void LeafSums::Add(std::size_t leaf, const LineSums& delta) {
  total_ += delta;
  for (std::size_t i = leaf + 1; i < tree_.size(); i += i & (~i + 1)) tree_[i] += delta;
}

LineSums LeafSums::Before(std::size_t leaf) const {
  LineSums sums;
  for (std::size_t i = leaf; i > 0; i &= i - 1) sums += tree_[i];
  return sums;
}

LeafSums::Found LeafSums::Find(std::uint64_t LineSums::*field, std::uint64_t value) const {
  std::size_t leaf = 0;
  for (std::size_t step = top_step_; step > 0; step >>= 1) {
    const std::size_t next = leaf + step;
    if (next < tree_.size() && tree_[next].*field <= value) {
      leaf = next;
      value -= tree_[next].*field;
    }
  }
  return {leaf, value};
}

}  // namespace tambrel::platform::text
