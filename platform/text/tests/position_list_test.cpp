#include "platform/text/position_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tambrel::platform::text {
namespace {

constexpr std::uint64_t k4G = std::uint64_t{1} << 32;

TEST(PositionList, KeepsPositionsBeyondFourGigaUnits) {
  // Steps across one 4 Gi boundary, then a gap of several at once.
  const std::vector<std::uint64_t> positions = {1,       7,           k4G - 1,     k4G,
                                                k4G + 3, 2 * k4G + 5, 7 * k4G + 2, 7 * k4G + 9};
  PositionList list;
  for (std::uint64_t position : positions) list.Push(position);
  ASSERT_EQ(list.Size(), positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(list[i], positions[i]) << i;

  const std::vector<std::uint64_t> probes = {0,       1,           6,           7,       k4G - 2,
                                             k4G - 1, k4G,         k4G + 2,     2 * k4G, 3 * k4G,
                                             7 * k4G, 7 * k4G + 2, 7 * k4G + 9, 9 * k4G};
  for (std::uint64_t probe : probes) {
    const auto expected = static_cast<std::size_t>(
        std::upper_bound(positions.begin(), positions.end(), probe) - positions.begin());
    EXPECT_EQ(list.UpperBound(probe), expected) << probe;
  }
}

TEST(PositionList, EmptyListHasNothingAbove) {
  const PositionList list;
  EXPECT_EQ(list.UpperBound(0), 0u);
  EXPECT_EQ(list.UpperBound(5 * k4G), 0u);
}

}  // namespace
}  // namespace tambrel::platform::text
