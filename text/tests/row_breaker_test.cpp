#include "text/row_breaker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/line_wrap.h"
#include "text/tests/test_metrics.h"

namespace tambrel::text {
namespace {

using Rows = std::vector<std::u16string>;

Rows Wrap(std::u16string_view line, float width) {
  CharMetrics metrics = TestMetrics();
  return Slice(line, RowStarts(metrics, width, LineOfText(line)));
}

TEST(RowBreakerRules, RowsTakeWholeWordsAndSpacesHang) {
  EXPECT_EQ(Wrap(u"", 100), (Rows{u""}));
  EXPECT_EQ(Wrap(u"abc def", 70), (Rows{u"abc def"}));  // an exact fit
  EXPECT_EQ(Wrap(u"abc def", 69), (Rows{u"abc ", u"def"}));
  EXPECT_EQ(Wrap(u"one two three", 80), (Rows{u"one two ", u"three"}));
  EXPECT_EQ(Wrap(u"ab     cd", 30), (Rows{u"ab     ", u"cd"}));
}

TEST(RowBreakerRules, OverlongWordBreaksAnywhere) {
  EXPECT_EQ(Wrap(u"abcdefgh", 30), (Rows{u"abc", u"def", u"gh"}));
  // A word that fits no row starts a row of its own and is broken there.
  EXPECT_EQ(Wrap(u"ab cdefgh", 40), (Rows{u"ab ", u"cdef", u"gh"}));
}

TEST(RowBreakerRules, IdeographsBreakBetweenEachOther) {
  EXPECT_EQ(Wrap(u"中文中文中", 50), (Rows{u"中文", u"中文", u"中"}));
  EXPECT_EQ(Wrap(u"abc中def", 45), (Rows{u"abc", u"中", u"def"}));
}

TEST(RowBreakerRules, ClosingPunctuationStaysWithWhatPrecedesIt) {
  EXPECT_EQ(Wrap(u"中文，中文", 60), (Rows{u"中文，", u"中文"}));
  EXPECT_EQ(Wrap(u"中文，中文", 50), (Rows{u"中", u"文，", u"中文"}));
  EXPECT_EQ(Wrap(u"word! next", 50), (Rows{u"word! ", u"next"}));
  // Only a word too long for any row is cut before it, like anywhere else.
  EXPECT_EQ(Wrap(u"abcd!", 40), (Rows{u"abcd", u"!"}));
}

TEST(RowBreakerRules, OpeningPunctuationNeverEndsARow) {
  EXPECT_EQ(Wrap(u"中（文）", 60), (Rows{u"中", u"（文）"}));
  EXPECT_EQ(Wrap(u"中「文", 50), (Rows{u"中", u"「文"}));
}

TEST(RowBreakerRules, TabsAdvanceToTheNextStopFromTheRowStart) {
  EXPECT_EQ(Wrap(u"a\tb", 50), (Rows{u"a\tb"}));  // b ends at 50
  EXPECT_EQ(Wrap(u"a\tbc", 50), (Rows{u"a\t", u"bc"}));
  // Measured from the line start, the tab would end at 120 and "hij" would not fit.
  EXPECT_EQ(Wrap(u"abcdef g\thij", 70), (Rows{u"abcdef ", u"g\thij"}));
  // A tab at a stop goes to the next one.
  EXPECT_EQ(Wrap(u"abcd\tef", 70), (Rows{u"abcd\t", u"ef"}));
}

TEST(RowBreakerRules, TabsHangAndAlwaysAllowABreakAfter) {
  EXPECT_EQ(Wrap(u"abcde\t\tf", 50), (Rows{u"abcde\t\t", u"f"}));
  EXPECT_EQ(Wrap(u"ab\t，cd", 50), (Rows{u"ab\t", u"，cd"}));
}

TEST(RowBreakerRules, SurrogatePairIsOneCluster) {
  EXPECT_EQ(Wrap(u"😀😀😀", 50), (Rows{u"😀😀", u"😀"}));
  EXPECT_EQ(Wrap(u"𝐀𝐀𝐀𝐀𝐀", 25), (Rows{u"𝐀𝐀", u"𝐀𝐀", u"𝐀"}));
}

TEST(RowBreakerRules, LoneSurrogatesAreClustersOfTheirOwn) {
  const std::u16string line = {u'a', char16_t{0xDC00}, char16_t{0xD800}, u'b'};
  EXPECT_EQ(Wrap(line, 10), (Rows{u"a", line.substr(1, 1), line.substr(2, 1), u"b"}));
  const std::u16string high_last = {u'a', char16_t{0xD800}};
  EXPECT_EQ(Wrap(high_last, 10), (Rows{u"a", high_last.substr(1)}));
}

TEST(RowBreakerRules, CombiningMarksStayWithTheirBase) {
  EXPECT_EQ(Wrap(u"abe\u0301", 20), (Rows{u"ab", u"e\u0301"}));
  EXPECT_EQ(Wrap(u"ab\u0301\u0302c", 20), (Rows{u"ab\u0301\u0302", u"c"}));
  EXPECT_EQ(Wrap(u"ab\u0301c", 10), (Rows{u"a", u"b\u0301", u"c"}));
  // A mark adds no advance: "ab" plus marks still fits 20.
  EXPECT_EQ(Wrap(u"a\u0301\u0301b\u0301", 20), (Rows{u"a\u0301\u0301b\u0301"}));
}

TEST(RowBreakerRules, EveryRowHoldsAtLeastOneCluster) {
  EXPECT_EQ(Wrap(u"中W", 5), (Rows{u"中", u"W"}));
  for (float width : {0.0f, -3.0f}) {
    EXPECT_EQ(Wrap(u"ab \u200B中", width), (Rows{u"a", u"b ", u"\u200B", u"中"}));
  }
  // A zero-width cluster fits a row that is full but not past its width.
  EXPECT_EQ(Wrap(u"ab\u200Bc", 20), (Rows{u"ab\u200B", u"c"}));
}

TEST(CharMetricsTable, MeasuresEachCharacterOnceOnFirstUseOrAhead) {
  std::vector<char32_t> asked;
  CharMetrics metrics(
      [&asked](char32_t c) {
        asked.push_back(c);
        return TestAdvance(c);
      },
      TestClusterAdvance, kTestTabStop);
  const std::u16string line = u"abab 中中😀😀";
  EXPECT_EQ(CountRows(metrics, 1000, LineOfText(line)), 1u);
  EXPECT_EQ(asked, (std::vector<char32_t>{U'a', U'b', U' ', U'中', U'😀'}));
  CountRows(metrics, 30, LineOfText(line));
  metrics.MeasureRange(U'a', U'c');
  EXPECT_EQ(asked.size(), 6u);  // only c was new
  CountRows(metrics, 30, LineOfText(u"cab"));
  EXPECT_EQ(asked.size(), 6u);
}

TEST(CharMetricsTable, KeepsAdvancesInSixtyFourthsAndNoneForMarks) {
  CharMetrics metrics(
      [](char32_t c) -> float {
        if (c == U'x') return 2.5f;
        if (c == U'y') return -4;
        return 9;
      },
      TestClusterAdvance, 0);
  EXPECT_EQ(metrics.MeasureUnit(u'x') >> CharMetrics::kClassBits, 160u);
  EXPECT_EQ(metrics.MeasureUnit(u'y') >> CharMetrics::kClassBits, 0u);
  // A mark on its base never moves the pen; a variation selector is no such mark.
  EXPECT_EQ(metrics.MeasureUnit(u'\u0301') >> CharMetrics::kClassBits, 0u);
  EXPECT_EQ(metrics.MeasureUnit(u'\uFE0F') >> CharMetrics::kClassBits, 9u * 64);
}

TEST(CharMetricsTable, ClassesComeFromUnicode) {
  CharMetrics metrics = TestMetrics();
  const auto code = [&metrics](char32_t c) { return metrics.EntryOf(c) & CharMetrics::kClassMask; };
  const auto plain = [](CharClass c) { return static_cast<std::uint32_t>(c); };
  const auto with_rules = [](CharClass c) {
    return static_cast<std::uint32_t>(c) | CharMetrics::kClusterRules;
  };
  EXPECT_EQ(code(U'a'), plain(CharClass::kOrdinary));
  EXPECT_EQ(code(U'中'), plain(CharClass::kIdeographic));
  EXPECT_EQ(code(U'가'), plain(CharClass::kIdeographic));  // a whole syllable stands alone
  EXPECT_EQ(code(U'，'), plain(CharClass::kNoBreakBefore));
  EXPECT_EQ(code(U'）'), plain(CharClass::kNoBreakBefore));
  EXPECT_EQ(code(U'（'), plain(CharClass::kNoBreakAfter));
  EXPECT_EQ(code(U' '), plain(CharClass::kSpace));
  EXPECT_EQ(code(U'\u3000'), plain(CharClass::kSpace));
  EXPECT_EQ(code(U'\t'), plain(CharClass::kTab));
  EXPECT_EQ(code(U'𝐀'), plain(CharClass::kOrdinary));
  // Characters the cluster rules must look at.
  EXPECT_EQ(code(U'\u0301'), with_rules(CharClass::kOrdinary));
  EXPECT_EQ(code(U'\u200D'), with_rules(CharClass::kOrdinary));
  EXPECT_EQ(code(U'\u1100'), with_rules(CharClass::kIdeographic));  // a leading jamo
  EXPECT_EQ(code(U'क'), with_rules(CharClass::kOrdinary));          // a conjunct consonant
  EXPECT_EQ(code(U'\u0600'), with_rules(CharClass::kOrdinary));     // Prepend
  EXPECT_EQ(code(U'👨'), with_rules(CharClass::kIdeographic));
  EXPECT_EQ(code(U'🇨'), with_rules(CharClass::kIdeographic));
  EXPECT_EQ(code(U'☺'), with_rules(CharClass::kOrdinary));
  // Breaks drawn as characters follow the rules too: CR LF is one cluster.
  EXPECT_EQ(code(U'\r'), with_rules(CharClass::kOrdinary));
}

TEST(CharMetricsTable, MeasuresClustersWholeOnceAndMarksOnTheirBaseNever) {
  std::vector<std::u16string> asked;
  CharMetrics metrics(
      TestAdvance,
      [&asked](std::u16string_view cluster) {
        asked.emplace_back(cluster);
        return TestClusterAdvance(cluster);
      },
      kTestTabStop);
  const std::u16string family = u"👨\u200D👩\u200D👧";
  EXPECT_EQ(metrics.AdvanceOf(u"e\u0301\u0302"), 10 * 64);
  EXPECT_EQ(metrics.AdvanceOf(u"中"), 20 * 64);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(metrics.AdvanceOf(family), 25 * 64);
  EXPECT_EQ(metrics.AdvanceOf(u"☺\uFE0F"), 15 * 64);
  EXPECT_EQ(metrics.AdvanceOf(family), 25 * 64);
  EXPECT_EQ(asked, (std::vector<std::u16string>{family, u"☺\uFE0F"}));
  // Wrapping a line of families asks for the family once more at most: never per row.
  std::u16string line;
  for (int n = 0; n < 20; ++n) line += family + u"e\u0301";
  CountRows(metrics, 60, LineOfText(line));
  EXPECT_EQ(asked.size(), 2u);
}

}  // namespace
}  // namespace tambrel::text
