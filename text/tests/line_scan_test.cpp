#include "text/line_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tambrel::text {
namespace {

std::vector<std::uint64_t> Scan(std::u16string_view text) {
  PositionList list;
  AppendLineStarts(text, 5, list);
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < list.Size(); ++i) starts.push_back(list[i]);
  return starts;
}

// Breaks at every place relative to the 32-unit blocks the scan tests at once, above all a CR
// that ends a block and an LF that opens the next; a CR at the very end waits.
TEST(LineScan, AgreesWithAUnitByUnitScanAcrossBlockEdges) {
  std::mt19937 random(7);
  for (std::size_t length = 0; length < 200; ++length) {
    for (int round = 0; round < 20; ++round) {
      std::u16string text(length, u'x');
      for (char16_t& c : text) {
        const char16_t kUnits[] = {u'\r', u'\n', u'\x0D0A', u'字', u'字', u'字'};
        c = kUnits[random() % std::size(kUnits)];
      }
      if (length >= 33 && round % 2 == 0) text.replace(31, 2, u"\r\n");
      std::vector<std::uint64_t> expected;
      for (std::size_t i = 0; i < text.size(); ++i) {
        const bool ends =
            text[i] == u'\n' || (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] != u'\n');
        if (ends) expected.push_back(5 + i + 1);
      }
      ASSERT_EQ(Scan(text), expected) << "length " << length;
    }
  }
}

TEST(LineScan, ALongTextListedOnEveryProcessorHasTheStartsOfAOnePassScan) {
  // Long enough to be cut into parts, with breaks of every kind on each side of every place an
  // even share could end, a CR LF across it among them.
  std::u16string text(std::size_t{24} << 20, u'x');
  for (const std::size_t parts : {2u, 3u, 4u}) {
    for (std::size_t k = 1; k < parts; ++k) {
      // A lone CR or a CR LF just before the share's end, and breaks around them.
      const std::size_t at = text.size() / parts * k;
      text.replace(at - 4, 7, (parts + k) % 2 == 0 ? u"\n\rx\rx\r\n" : u"\n\rx\r\nx\r");
    }
  }
  text.back() = u'\r';
  PositionList listed;
  ListLineStarts(text, listed);
  PositionList one_pass;
  AppendLineStarts(text, 0, one_pass);
  ASSERT_EQ(listed.Size(), one_pass.Size());
  EXPECT_GE(listed.Size(), 15u);
  for (std::size_t i = 0; i < one_pass.Size(); ++i) EXPECT_EQ(listed[i], one_pass[i]) << i;
}

}  // namespace
}  // namespace tambrel::text
