#include "platform/text/line_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tambrel::platform::text {
namespace {

std::vector<std::uint64_t> Scan(std::u16string_view text, std::uint64_t base) {
  PositionList list;
  AppendLineStarts(text, base, list);
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < list.Size(); ++i) starts.push_back(list[i]);
  return starts;
}

std::vector<std::uint64_t> PlainScan(std::u16string_view text, std::uint64_t base) {
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool ends =
        text[i] == u'\n' || (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] != u'\n');
    if (ends) starts.push_back(base + i + 1);
  }
  return starts;
}

TEST(LineScan, FinalCrWaitsForTheNextUnit) {
  EXPECT_EQ(Scan(u"a\r", 0), std::vector<std::uint64_t>{});
  EXPECT_EQ(Scan(u"a\n", 10), std::vector<std::uint64_t>{12});
  EXPECT_EQ(Scan(u"\r\r\n\n\r", 0), (std::vector<std::uint64_t>{1, 3, 4}));
}

// Breaks at every place relative to the 32-unit blocks the scan tests at once, above all a CR
// at the end of a block whose LF opens the next one.
TEST(LineScan, AgreesWithAUnitByUnitScanAcrossBlockEdges) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> unit(0, 9);
  for (std::size_t length = 0; length < 200; ++length) {
    for (int round = 0; round < 20; ++round) {
      std::u16string text(length, u'x');
      for (char16_t& c : text) {
        const int roll = unit(random);
        c = roll == 0 ? u'\r' : roll == 1 ? u'\n' : roll == 2 ? u'\x0D0A' : u'字';
      }
      if (length >= 33 && round % 2 == 0) {
        text[31] = u'\r';
        text[32] = u'\n';
      }
      ASSERT_EQ(Scan(text, 5), PlainScan(text, 5)) << "length " << length;
    }
  }
}

}  // namespace
}  // namespace tambrel::platform::text
