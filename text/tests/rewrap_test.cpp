#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "text/buffer_line.h"
#include "text/clusters.h"
#include "text/line_wrap.h"
#include "text/tests/test_metrics.h"
#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

template <std::size_t N>
std::u16string RandomText(std::mt19937& random, std::size_t length,
                          const std::u16string (&pieces)[N]) {
  std::uniform_int_distribution<std::size_t> piece(0, N - 1);
  std::u16string text;
  while (text.size() < length) text += pieces[piece(random)];
  return text;
}

std::u16string RandomWords(std::mt19937& random, std::size_t length) {
  static const std::u16string kPieces[] = {u"word", u" ", u"中文",    u"，", u"（", u"\t",
                                           u"a",    u"😀", u"e\u0301", u"W",  u"  "};
  return RandomText(random, length, kPieces);
}

// Words with clusters of several characters that the rules join, measured whole.
std::u16string RandomClusteredWords(std::mt19937& random, std::size_t length) {
  static const std::u16string kPieces[] = {u"word", u" ", u"中文", u"，",    u"（",      u"\t",
                                           u"a",    u"😀", u"W",    u"  ",    u"e\u0301", u"\u200D👩",
                                           u"🇨",    u"क्", u"ष",    u"\uFE0F"};
  return RandomText(random, length, kPieces);
}

struct Rewrapped {
  std::vector<std::size_t> starts;
  RowSplice splice;
};

Rewrapped EditAndRewrap(std::u16string& line, float width, const LineEdit& edit,
                        const std::u16string& inserted) {
  CharMetrics metrics = TestMetrics();
  std::vector<std::size_t> starts = RowStarts(metrics, width, LineOfText(line));
  line.replace(edit.offset, edit.removed, inserted);
  RowSplice splice = Rewrap(metrics, width, starts, edit, LineOfText(line));
  ApplySplice(starts, splice);
  return {std::move(starts), std::move(splice)};
}

TEST(Rewrap, RandomEditsGiveTheRowsOfAFullWrap) {
  std::mt19937 random(21);
  CharMetrics metrics = TestMetrics();
  for (int round = 0; round < 4000; ++round) {
    std::u16string line =
        RandomClusteredWords(random, std::uniform_int_distribution<std::size_t>(0, 400)(random));
    const float width = std::uniform_int_distribution<int>(-10, 200)(random);
    LineEdit edit;
    edit.offset = std::uniform_int_distribution<std::size_t>(0, line.size())(random);
    edit.removed = std::uniform_int_distribution<std::size_t>(
        0, std::min<std::size_t>(line.size() - edit.offset, 8))(random);
    const std::u16string inserted =
        RandomClusteredWords(random, std::uniform_int_distribution<std::size_t>(0, 6)(random));
    edit.inserted = inserted.size();
    const Rewrapped result = EditAndRewrap(line, width, edit, inserted);
    ASSERT_EQ(result.starts, RowStarts(metrics, width, LineOfText(line)))
        << "round " << round << " width " << width;
  }
}

// A keystroke in the middle of a long line, or at its end, re-wraps a few rows only: those that
// start within the longest cluster and a surrogate pair before it, and a couple more.
TEST(Rewrap, KeystrokeInALongLineRewrapsAFewRows) {
  std::mt19937 random(22);
  std::u16string line = RandomWords(random, 20000);
  const std::size_t end = line.size();
  for (const LineEdit& edit : {LineEdit{10001, 0, 1}, LineEdit{10001, 1, 1}, LineEdit{end, 0, 1}}) {
    CharMetrics metrics = TestMetrics();
    const std::vector<std::size_t> before = RowStarts(metrics, 300, LineOfText(line));
    const auto near = static_cast<std::size_t>(
        std::count_if(before.begin(), before.end(), [&edit](std::size_t start) {
          return start + kMaxClusterUnits + 2 >= edit.offset && start <= edit.offset;
        }));
    const Rewrapped typed = EditAndRewrap(line, 300, edit, u"x");
    EXPECT_LE(typed.splice.new_starts.size(), near + 4);
    EXPECT_GT(typed.splice.first_row, 30u);
    EXPECT_EQ(typed.starts, RowStarts(metrics, 300, LineOfText(line)));
  }
}

// The cluster that overflows a row can begin as far on as the start of the row after next, and
// an edit at its far end can change the row: here taking the selector off the end of a long
// cluster makes it narrow enough for the row two back.
TEST(Rewrap, EditAtTheEndOfTheClusterThatOverflowedTheRowTwoBack) {
  CharMetrics metrics(
      TestAdvance, [](std::u16string_view) { return 100.0f; }, kTestTabStop);
  const std::u16string cluster = u"e" + std::u16string(40, u'\u0301') + u"\uFE0F";
  // Rows of five 'b' fill the 50 px exactly; then "a b" and the cluster, 100 px with the
  // selector and 10 without.
  std::u16string line = std::u16string(1000, u'b') + u"a b" + cluster;
  std::vector<std::size_t> starts = RowStarts(metrics, 50, LineOfText(line));
  ASSERT_GE(starts.size(), 203u);
  ASSERT_EQ(std::vector<std::size_t>(starts.begin() + 200, starts.begin() + 203),
            (std::vector<std::size_t>{1000, 1002, 1003}));
  const LineEdit edit{1003 + cluster.size() - 1, 1, 0};
  line.erase(edit.offset, edit.removed);
  ApplySplice(starts, Rewrap(metrics, 50, starts, edit, LineOfText(line)));
  EXPECT_EQ(starts, RowStarts(metrics, 50, LineOfText(line)));
  EXPECT_EQ(starts.back(), 1000u);  // "a b" and the cluster now share a row
}

TEST(BufferLine, LineSpreadOverPiecesWrapsLikeItsText) {
  TextBuffer buffer(u"first line\r\n" + std::u16string(300, u'x') + u" tail\nlast");
  buffer.Replace(40, 0, u"中文 words ");
  buffer.Replace(100, 3, u"（新）");
  buffer.Replace(13, 1, u"😀");
  std::u16string scratch;
  const std::u16string text(buffer.LineText(1, scratch));
  CharMetrics metrics = TestMetrics();
  for (float width : {0.0f, 35.0f, 100.0f, 999.0f}) {
    EXPECT_EQ(RowStarts(metrics, width, LineOfBuffer(buffer, 1)),
              RowStarts(metrics, width, LineOfText(text)));
  }
}

TEST(BufferLine, CountingLinesInOneStreamMatchesLineByLine) {
  std::mt19937 random(24);
  CharMetrics metrics = TestMetrics();
  for (int round = 0; round < 200; ++round) {
    std::u16string text = RandomWords(random, 300);
    for (int k = 0; k < 12; ++k) {
      const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
      text.insert(at, k % 3 == 0 ? u"\r\n" : k % 3 == 1 ? u"\n" : u"\r");
    }
    TextBuffer buffer(text);
    // Pieces that end in a CR whose LF opens the next, and a high surrogate before a break.
    buffer.Replace(text.size() / 2, 0, u"x\r");
    buffer.Replace(text.size() / 2 + 2, 0, u"\n😀");
    buffer.Replace(text.size() / 3, 0, std::u16string(1, char16_t{0xD83D}) + u"\r");
    const float width = std::uniform_int_distribution<int>(-5, 150)(random);
    const std::size_t first =
        std::uniform_int_distribution<std::size_t>(0, buffer.LineCount() - 1)(random);
    std::vector<std::size_t> streamed;
    CountLineRows(buffer, first, metrics, width, [&](std::size_t line, std::size_t rows) {
      EXPECT_EQ(line, first + streamed.size());
      streamed.push_back(rows);
      return true;
    });
    std::vector<std::size_t> one_by_one;
    for (std::size_t line = first; line < buffer.LineCount(); ++line) {
      one_by_one.push_back(CountRows(metrics, width, LineOfBuffer(buffer, line)));
    }
    ASSERT_EQ(streamed, one_by_one) << "round " << round;
  }
}

TEST(BufferLine, CountingStopsWhenAsked) {
  const TextBuffer buffer(u"a\nb\r\nc\rd");
  CharMetrics metrics = TestMetrics();
  std::vector<std::size_t> lines;
  CountLineRows(buffer, 1, metrics, 100, [&](std::size_t line, std::size_t) {
    lines.push_back(line);
    return lines.size() < 2;
  });
  EXPECT_EQ(lines, (std::vector<std::size_t>{1, 2}));
}

TEST(BufferLine, BreaksInsideASingleLineAreDrawnAsCharacters) {
  CharMetrics metrics = TestMetrics();
  EXPECT_EQ(RowStarts(metrics, 20, LineOfText(u"ab\r\ncd")), (std::vector<std::size_t>{0, 2, 4}));
}

}  // namespace
}  // namespace tambrel::text
