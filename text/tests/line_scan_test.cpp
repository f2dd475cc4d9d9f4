#include "text/line_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
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

std::vector<std::uint64_t> Entries(const PositionList& list) {
  std::vector<std::uint64_t> entries;
  for (std::size_t i = 0; i < list.Size(); ++i) entries.push_back(list[i]);
  return entries;
}

// Breaks counted one unit at a time, a CR followed by an LF being one CR LF.
BreakCounts CountedByUnit(std::u16string_view text) {
  BreakCounts counts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++counts.crlf;
      ++i;
    } else if (text[i] == u'\r') {
      ++counts.cr;
    } else if (text[i] == u'\n') {
      ++counts.lf;
    }
  }
  return counts;
}

void ExpectSameCounts(const BreakCounts& got, const BreakCounts& expected) {
  EXPECT_EQ(got.crlf, expected.crlf);
  EXPECT_EQ(got.lf, expected.lf);
  EXPECT_EQ(got.cr, expected.cr);
}

// A decoder hands the scanner each stretch it wrote: wherever the spans end, even between a CR
// and its LF, the result is the whole text's.
TEST(LineScanner, SpansCutAnywhereGiveTheWholeTextsStartsAndBreaks) {
  std::mt19937 random(11);
  for (std::size_t length = 0; length < 90; ++length) {
    std::u16string text(length, u'x');
    for (char16_t& c : text) {
      const char16_t kUnits[] = {u'\r', u'\n', u'x', u'字'};
      c = kUnits[random() % std::size(kUnits)];
    }
    PositionList whole;
    AppendLineStarts(text, 0, whole);
    ExpectSameCounts(CountBreaks(text), CountedByUnit(text));
    for (std::size_t cut = 0; cut <= length; ++cut) {
      const std::size_t span = 1 + random() % 40;
      LineScanner scanner(length);
      for (std::size_t at = 0; at < cut; at += span) {
        scanner.Scan(std::u16string_view(text).substr(at, std::min(span, cut - at)));
      }
      scanner.Scan(std::u16string_view(text).substr(cut));
      const ScannedLines lines = std::move(scanner).Take();
      ASSERT_EQ(Entries(lines.starts), Entries(whole)) << "length " << length << ", cut " << cut;
      ExpectSameCounts(lines.breaks, CountedByUnit(text));
    }
  }
}

// Once the first span shows how dense the breaks are, the list is reserved for the whole part;
// a guess too small must still list every start.
TEST(LineScanner, ALongPartWhoseBreaksThickenLaterListsThemAll) {
  std::u16string text(std::size_t{200} << 10, u'x');
  for (std::size_t i = 1000; i < 40000; i += 1000) text[i] = u'\n';
  for (std::size_t i = 40000; i < text.size(); i += 3) text[i] = u'\r';
  LineScanner scanner(text.size());
  for (std::size_t at = 0; at < text.size(); at += 50000) {
    scanner.Scan(std::u16string_view(text).substr(at, 50000));
  }
  const ScannedLines lines = std::move(scanner).Take();
  PositionList whole;
  AppendLineStarts(text, 0, whole);
  EXPECT_EQ(Entries(lines.starts), Entries(whole));
  ExpectSameCounts(lines.breaks, CountedByUnit(text));
}

}  // namespace
}  // namespace tambrel::text
