#include "platform/text/leaf_sums.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace tambrel::platform::text {
namespace {

TEST(LeafSums, PrefixesAndSearchesMatchRunningTotals) {
  std::mt19937 random(41);
  for (std::size_t count : {0u, 1u, 2u, 7u, 8u, 9u, 100u}) {
    std::vector<LineSums> leaves(count);
    for (LineSums& leaf : leaves) {
      leaf.lines = random() % 4;  // empty leaves too
      leaf.rows = random() % 10;
    }
    LeafSums sums;
    sums.Rebuild(leaves);
    for (int change = 0; change < 20 && count > 0; ++change) {
      const std::size_t leaf = random() % count;
      const LineSums before = leaves[leaf];
      leaves[leaf].rows = random() % 10;
      sums.Add(leaf, leaves[leaf] - before);
    }
    std::uint64_t lines = 0;
    for (std::size_t leaf = 0; leaf <= count; ++leaf) {
      ASSERT_EQ(sums.Before(leaf).lines, lines);
      if (leaf < count) lines += leaves[leaf].lines;
    }
    ASSERT_EQ(sums.Total().lines, lines);
    for (std::uint64_t value = 0; value <= lines + 1; ++value) {
      // The most leaves whose lines add up to at most value.
      std::size_t most = 0;
      std::uint64_t sum = 0;
      while (most < count && sum + leaves[most].lines <= value) sum += leaves[most++].lines;
      const LeafSums::Found found = sums.Find(&LineSums::lines, value);
      ASSERT_EQ(found.leaf, most) << "value " << value;
      ASSERT_EQ(found.rest, value - sum);
    }
  }
}

}  // namespace
}  // namespace tambrel::platform::text
