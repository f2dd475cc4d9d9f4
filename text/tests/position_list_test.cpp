#include "text/position_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tambrel::text {
namespace {

constexpr std::uint64_t k4G = std::uint64_t{1} << 32;

TEST(PositionList, KeepsPositionsBeyondFourGigaUnits) {
  // Steps across one 4 Gi boundary, then a gap of several at once.
  const std::vector<std::uint64_t> positions = {1,       7,           k4G - 1,    k4G,
                                                k4G + 3, 2 * k4G + 5, 7 * k4G + 2};
  PositionList list;
  EXPECT_EQ(list.UpperBound(3 * k4G), 0u);
  for (std::uint64_t position : positions) list.Push(position);
  for (std::size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(list[i], positions[i]) << i;
  for (std::uint64_t probe :
       std::vector<std::uint64_t>{0, 1, 6, k4G - 2, k4G - 1, k4G, k4G + 2, 2 * k4G, 3 * k4G,
                                  7 * k4G, 7 * k4G + 2, 9 * k4G}) {
    EXPECT_EQ(list.UpperBound(probe),
              static_cast<std::size_t>(std::upper_bound(positions.begin(), positions.end(), probe) -
                                       positions.begin()))
        << probe;
  }
}

TEST(PositionList, AppendedListsKeepEveryPositionAndItsHighBits) {
  const std::vector<std::uint64_t> positions = {3,       k4G - 1,     k4G + 1,    2 * k4G,
                                                5 * k4G, 5 * k4G + 9, 6 * k4G + 1};
  // Every way of cutting the positions into an earlier and a later list.
  for (std::size_t cut = 0; cut <= positions.size(); ++cut) {
    PositionList earlier;
    PositionList later;
    for (std::size_t i = 0; i < positions.size(); ++i)
      (i < cut ? earlier : later).Push(positions[i]);
    earlier.Append(later);
    ASSERT_EQ(earlier.Size(), positions.size()) << cut;
    for (std::size_t i = 0; i < positions.size(); ++i) EXPECT_EQ(earlier[i], positions[i]) << cut;
    for (const std::uint64_t probe : {k4G, 2 * k4G, 4 * k4G, 5 * k4G + 9, 7 * k4G}) {
      EXPECT_EQ(
          earlier.UpperBound(probe),
          static_cast<std::size_t>(std::upper_bound(positions.begin(), positions.end(), probe) -
                                   positions.begin()))
          << cut << " " << probe;
    }
  }
}

}  // namespace
}  // namespace tambrel::text
