// Cases the random edits reach too seldom: counting budgets, counts kept through typing, long
// lines whose rows never fall back into step, the edges of positions and moves.
#include "text/wrapped_text.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <random>
#include <string>

#include "text/tests/test_metrics.h"
#include "text/tests/wrapped_model.h"

namespace tambrel::text {
namespace {

// Words of the test font in a fixed random order, the same for the same length: rows of about
// `width` / 10 letters that wrap at spaces and ideographs.
std::u16string Words(std::size_t length) {
  static const std::u16string kWords[] = {u"tea ", u"中文 ", u"words ", u"，", u"WW ", u"a "};
  std::mt19937 random(7);
  std::u16string text;
  while (text.size() < length) text += kWords[random() % std::size(kWords)];
  text.resize(length);
  return text;
}

std::u16string ShortLines(std::size_t lines, std::size_t line_units) {
  std::u16string text;
  for (std::size_t k = 0; k < lines; ++k) text += Words(line_units - 1) + u"\n";
  return text;
}

int CallsToCountAll(WrappedText& wrapped, std::size_t units, std::size_t from_line = 0) {
  int calls = 1;
  while (!wrapped.CountSome(units, from_line)) ++calls;
  return calls;
}

// A line of a million units counted in slices of ten thousand: a hundred slices, each reading
// about its share.
TEST(WrappedTextCounting, SlicesOfALongLineReadAboutTheirBudget) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 300);
  wrapped.Reset(Words(1'000'000));
  int calls = 0;
  while (!wrapped.CountSome(10'000)) {
    ++calls;
    ASSERT_EQ(wrapped.CountedLines(), 0u);
    ASSERT_LT(calls, 200);
  }
  EXPECT_EQ(calls + 1, 100);
  const WrappedModel model(metrics, 300, wrapped.Buffer().Text());
  EXPECT_EQ(wrapped.TotalRows(), model.places.size());
}

TEST(WrappedTextCounting, SlicesOfShortLinesReadAboutTheirBudget) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100);
  wrapped.Reset(ShortLines(25'000, 40));  // a million units
  EXPECT_FALSE(wrapped.CountSome(100'000));
  // The lines read whole within the budget.
  EXPECT_EQ(wrapped.CountedLines(), 100'000u / 40);
  EXPECT_EQ(CallsToCountAll(wrapped, 100'000), 9);
}

// A budget smaller than any line still counts a line, or a slice of a long one, each time.
TEST(WrappedTextCounting, TinyBudgetsStillMoveOn) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100, 64);
  wrapped.Reset(ShortLines(30, 40) + Words(1000));
  for (std::size_t line = 1; line <= 30; ++line) {
    EXPECT_FALSE(wrapped.CountSome(1));
    EXPECT_EQ(wrapped.CountedLines(), line);
  }
  EXPECT_EQ(CallsToCountAll(wrapped, 10), 100);
}

// Counting from the lines in view to the end first, then from the start: the second pass skips
// what the first counted, so its budget reaches a long line that an edit left uncounted after
// them.
TEST(WrappedTextCounting, CountingFromTheStartSkipsLinesCountedBefore) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100, 64);
  const std::size_t before_view = 1000 * 40;
  wrapped.Reset(ShortLines(1000, 40) + ShortLines(5000, 40) + Words(2000));
  CallsToCountAll(wrapped, 30'000, 1000);
  EXPECT_EQ(wrapped.CountedLines(), 0u);
  EXPECT_EQ(wrapped.RowNumberOf({1000, 0}), std::nullopt);
  // The long last line split in two long ones: both uncounted again.
  const std::size_t last_start = wrapped.Buffer().LineStart(6000);
  wrapped.Replace(last_start + 1000, 0, u"\n");
  EXPECT_EQ(wrapped.Buffer().LineCount(), 6002u);
  EXPECT_EQ(wrapped.CountedLines(), 0u);

  // The lines before the view, about 64 lines of look-ahead, and the two long lines.
  EXPECT_TRUE(wrapped.CountSome(before_view + 70 * 40 + 2001));
  const WrappedModel model(metrics, 100, wrapped.Buffer().Text());
  EXPECT_EQ(wrapped.TotalRows(), model.places.size());
}

TEST(WrappedTextCounting, EstimateIsNeverZeroAndNearOnceAPartIsCounted) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100);
  EXPECT_EQ(wrapped.EstimatedRows(), 1u);
  wrapped.Reset(Words(200'000));
  EXPECT_GE(wrapped.EstimatedRows(), 1u);

  wrapped.Reset(ShortLines(20'000, 85));
  EXPECT_GE(wrapped.EstimatedRows(), 20'000u);
  wrapped.CountSome(500'000);
  ASSERT_FALSE(wrapped.AllCounted());
  const WrappedModel model(metrics, 100, wrapped.Buffer().Text());
  const double total = static_cast<double>(model.places.size());
  EXPECT_NEAR(static_cast<double>(wrapped.EstimatedRows()), total, total * 0.02);
  CallsToCountAll(wrapped, 1'000'000);
  EXPECT_EQ(wrapped.EstimatedRows(), model.places.size());
}

// Typing into a line of 300 000 units wrapped to its end re-wraps a few rows and keeps the line
// counted, at its end, in its middle and when undone.
TEST(WrappedTextEditing, TypingInALongLineKeepsItCounted) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 300);
  wrapped.Reset(u"title\r\n" + Words(300'000) + u"\nend");
  CallsToCountAll(wrapped, 1 << 20);
  const std::size_t end = wrapped.Buffer().LineStart(2) - 1;
  for (std::size_t k = 0; k < 40; ++k) {
    const bool at_end = k % 2 == 0;
    wrapped.Replace(at_end ? end + k / 2 : 150'000, 0, k % 10 == 4 ? u" " : u"字");
    ASSERT_TRUE(wrapped.AllCounted()) << k;
  }
  wrapped.Replace(100'000, 3, u"");
  ASSERT_TRUE(wrapped.AllCounted());
  EXPECT_EQ(wrapped.TotalRows(), WrappedModel(metrics, 300, wrapped.Buffer().Text()).places.size());
  while (wrapped.Undo()) ASSERT_TRUE(wrapped.AllCounted());
  EXPECT_EQ(wrapped.TotalRows(), WrappedModel(metrics, 300, wrapped.Buffer().Text()).places.size());
}

// Typing, Enter, pasting a few lines and taking lines out count the short lines at once; a paste
// too big to count at once is left to CountSome.
TEST(WrappedTextEditing, EditedShortLinesAreCountedAtOnce) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100);
  wrapped.Reset(ShortLines(2000, 60));
  CallsToCountAll(wrapped, 1 << 20);
  for (const std::u16string& text :
       {std::u16string(u"x"), std::u16string(u"\r\n"), ShortLines(100, 50), std::u16string()}) {
    wrapped.Replace(30'000, text.empty() ? 20'000 : 0, text);
    EXPECT_TRUE(wrapped.AllCounted());
  }
  wrapped.Undo();
  EXPECT_TRUE(wrapped.AllCounted());
  EXPECT_EQ(wrapped.TotalRows(), WrappedModel(metrics, 100, wrapped.Buffer().Text()).places.size());

  wrapped.Replace(5'000, 0, ShortLines(20'000, 50));  // a million units
  EXPECT_FALSE(wrapped.AllCounted());
  EXPECT_GT(wrapped.CountedLines(), 100u);
  EXPECT_FALSE(wrapped.CountSome(100'000));
  CallsToCountAll(wrapped, 1 << 20);
  EXPECT_EQ(wrapped.TotalRows(), WrappedModel(metrics, 100, wrapped.Buffer().Text()).places.size());
}

// Where the re-wrap after an edit stops reading short of the line's end, it must not stop
// between the halves of a surrogate pair: alone, the first half measures differently.
TEST(WrappedTextEditing, RewrapNeverStopsInsideASurrogatePair) {
  CharMetrics metrics(
      [](char32_t c) -> float {
        if (c >= 0xD800 && c <= 0xDFFF) return 95;
        return TestAdvance(c);
      },
      TestClusterAdvance, kTestTabStop);
  // Letters only: rows of ten that an insertion moves for good, so the re-wrap never falls back
  // into step and stops 56 units past the edit, between the halves of the pair at 60.
  WrappedText wrapped(metrics, 100, 56);
  wrapped.Reset(std::u16string(60, u'a') + u"😀" + std::u16string(200, u'a'));
  wrapped.RowsOfLine(0);
  wrapped.Replace(5, 0, u"b");
  const WrappedModel model(metrics, 100, wrapped.Buffer().Text());
  ExpectCountedDocumentMatches(wrapped, model, 50);
  for (std::size_t row = 0; row < model.places.size(); ++row) {
    EXPECT_EQ(wrapped.RowOfLine(0, row).start, model.starts[0][row]) << row;
  }
}

// A line of letters with no break opportunity wraps every ten units at 100 px, so the rows after
// an insertion never fall back into step with the old ones: the re-wrap stops, the line waits to
// be counted again, and counting goes on from where the re-wrap stopped.
TEST(WrappedTextEditing, RowsThatNeverFallBackIntoStepAreCountedLater) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100);
  wrapped.Reset(u"title\n" + std::u16string(300'000, u'a') + u"\nend");
  CallsToCountAll(wrapped, 1 << 20);
  wrapped.Replace(6 + 100'000, 0, u"b");
  EXPECT_FALSE(wrapped.AllCounted());
  EXPECT_EQ(wrapped.RowNumberOf({1, 10'000}), 10'001u);  // the line before is counted
  EXPECT_EQ(wrapped.RowNumberOf({2, 0}), std::nullopt);
  EXPECT_EQ(wrapped.PlaceOfPosition(6 + 100'000), (RowPlace{1, 10'000}));
  // Some 130 000 units were left to wrap: not the whole line again.
  EXPECT_LE(CallsToCountAll(wrapped, 10'000), 15);
  EXPECT_EQ(wrapped.TotalRows(), 1 + 30'001 + 1u);
  EXPECT_EQ(wrapped.RowOfLine(1, 30'000).start, 300'000u);
}

// More long lines than keep their rows: those dropped are wrapped again when asked for.
TEST(WrappedTextEditing, ManyLongLinesOutlastTheirKeptRows) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100, 64);
  std::u16string text;
  for (int k = 0; k < 200; ++k) text += Words(100 + static_cast<std::size_t>(k)) + u"\n";
  wrapped.Reset(text);
  for (std::size_t line = 0; line < 200; ++line) wrapped.RowOfLine(line, 3);
  wrapped.Replace(wrapped.Buffer().LineStart(3) + 10, 0, u"中文");
  wrapped.Replace(wrapped.Buffer().LineStart(150) + 10, 5, u"");
  wrapped.Replace(wrapped.Buffer().LineStart(7), 0, u"new line\n");
  const WrappedModel model(metrics, 100, wrapped.Buffer().Text());
  const auto rows = static_cast<std::ptrdiff_t>(model.places.size());
  EXPECT_EQ(wrapped.MoveByRows(model.places.back(), 1 - rows), (RowPlace{0, 0}));
  EXPECT_EQ(wrapped.MoveByRows({0, 0}, rows - 1), model.places.back());
  std::mt19937 random(3);
  ExpectLineRowsMatch(wrapped, model, random, 100);
  ExpectCountedDocumentMatches(wrapped, model, 5000);
}

// Rows of ten letters at 100 px; positions in a CR LF belong to the line it ends.
TEST(WrappedTextPlaces, PositionsBelongToTheRowTheyStartOrEnd) {
  CharMetrics metrics = TestMetrics();
  for (std::size_t long_units : {std::size_t{5}, WrappedText::kLongLineUnits}) {
    WrappedText wrapped(metrics, 100, long_units);
    wrapped.Reset(std::u16string(25, u'a') + u"\r\n\nb");
    EXPECT_EQ(wrapped.PlaceOfPosition(0), (RowPlace{0, 0}));
    EXPECT_EQ(wrapped.PlaceOfPosition(9), (RowPlace{0, 0}));
    EXPECT_EQ(wrapped.PlaceOfPosition(10), (RowPlace{0, 1}));
    EXPECT_EQ(wrapped.PlaceOfPosition(25), (RowPlace{0, 2}));  // at the CR
    EXPECT_EQ(wrapped.PlaceOfPosition(26), (RowPlace{0, 2}));  // between CR and LF
    EXPECT_EQ(wrapped.PlaceOfPosition(27), (RowPlace{1, 0}));  // the empty line
    EXPECT_EQ(wrapped.PlaceOfPosition(29), (RowPlace{2, 0}));  // the end
    EXPECT_EQ(wrapped.PlaceOfPosition(1000), (RowPlace{2, 0}));
    EXPECT_EQ(wrapped.RowOfLine(0, 2).start, 20u);
    EXPECT_EQ(wrapped.RowOfLine(0, 2).end, 25u);
    EXPECT_EQ(wrapped.RowOfLine(1, 0).end, 0u);
  }
}

TEST(WrappedTextPlaces, MovesStopAtTheFirstAndLastRows) {
  CharMetrics metrics = TestMetrics();
  WrappedText wrapped(metrics, 100, 16);
  wrapped.Reset(std::u16string(25, u'a') + u"\n" + std::u16string(35, u'b'));  // 3 and 4 rows
  constexpr auto kMost = std::numeric_limits<std::ptrdiff_t>::max();
  constexpr auto kLeast = std::numeric_limits<std::ptrdiff_t>::min();
  EXPECT_EQ(wrapped.MoveByRows({0, 0}, -1), (RowPlace{0, 0}));
  EXPECT_EQ(wrapped.MoveByRows({0, 2}, 1), (RowPlace{1, 0}));
  EXPECT_EQ(wrapped.MoveByRows({1, 0}, -1), (RowPlace{0, 2}));
  EXPECT_EQ(wrapped.MoveByRows({1, 1}, -4), (RowPlace{0, 0}));
  EXPECT_EQ(wrapped.MoveByRows({0, 1}, 100), (RowPlace{1, 3}));
  EXPECT_EQ(wrapped.MoveByRows({0, 0}, kMost), (RowPlace{1, 3}));
  EXPECT_EQ(wrapped.MoveByRows({1, 3}, kLeast), (RowPlace{0, 0}));
  // A place past the end is taken as the last row there is.
  EXPECT_EQ(wrapped.MoveByRows({7, 9}, 0), (RowPlace{1, 3}));
  EXPECT_EQ(wrapped.MoveByRows({0, 9}, -1), (RowPlace{0, 1}));
}

}  // namespace
}  // namespace tambrel::text
