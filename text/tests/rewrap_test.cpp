#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "text/buffer_line.h"
#include "text/line_wrap.h"
#include "text/tests/test_metrics.h"
#include "text/text_buffer.h"

namespace tambrel::text {
namespace {

std::u16string RandomWords(std::mt19937& random, std::size_t length) {
  static const std::u16string kPieces[] = {u"word", u" ", u"中文",    u"，", u"（", u"\t",
                                           u"a",    u"😀", u"e\u0301", u"W",  u"  "};
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::u16string text;
  while (text.size() < length) text += kPieces[piece(random)];
  return text;
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
        RandomWords(random, std::uniform_int_distribution<std::size_t>(0, 120)(random));
    const float width = std::uniform_int_distribution<int>(-10, 200)(random);
    LineEdit edit;
    edit.offset = std::uniform_int_distribution<std::size_t>(0, line.size())(random);
    edit.removed = std::uniform_int_distribution<std::size_t>(
        0, std::min<std::size_t>(line.size() - edit.offset, 8))(random);
    const std::u16string inserted =
        RandomWords(random, std::uniform_int_distribution<std::size_t>(0, 6)(random));
    edit.inserted = inserted.size();
    const Rewrapped result = EditAndRewrap(line, width, edit, inserted);
    ASSERT_EQ(result.starts, RowStarts(metrics, width, LineOfText(line)))
        << "round " << round << " width " << width;
  }
}

// A keystroke in the middle of a long line, or at its end, re-wraps a few rows only.
TEST(Rewrap, KeystrokeInALongLineRewrapsAFewRows) {
  std::mt19937 random(22);
  std::u16string line = RandomWords(random, 20000);
  const std::size_t end = line.size();
  for (const LineEdit& edit : {LineEdit{10001, 0, 1}, LineEdit{10001, 1, 1}, LineEdit{end, 0, 1}}) {
    const Rewrapped typed = EditAndRewrap(line, 300, edit, u"x");
    EXPECT_LE(typed.splice.new_starts.size(), 4u);
    EXPECT_GT(typed.splice.first_row, 30u);
    CharMetrics metrics = TestMetrics();
    EXPECT_EQ(typed.starts, RowStarts(metrics, 300, LineOfText(line)));
  }
}

// The cluster that overflows a row can lie as far on as the start of the row after next, and an
// edit inside it, here between the halves of a surrogate pair, changes that row.
TEST(Rewrap, EditInTheClusterThatOverflowedTheRowTwoBack) {
  CharMetrics metrics(
      [](char32_t c) -> CharMeasure {
        if (c == U'\u200B') return {0, CharClass::kSpace};  // zero-width space
        if (c == U'\u200D' || (c >= 0xD800 && c <= 0xDFFF)) return {0, CharClass::kOrdinary};
        return TestMeasure(c);
      },
      kTestTabStop);
  std::u16string line = u"\u200B\u200D𝐀abc";
  std::vector<std::size_t> starts = RowStarts(metrics, 5, LineOfText(line));
  ASSERT_EQ(starts, (std::vector<std::size_t>{0, 1, 2, 4, 5, 6}));
  const LineEdit edit{3, 1, 1};
  line.replace(edit.offset, edit.removed, u"\u200B");
  ApplySplice(starts, Rewrap(metrics, 5, starts, edit, LineOfText(line)));
  EXPECT_EQ(starts, (std::vector<std::size_t>{0, 4, 5, 6}));
  EXPECT_EQ(starts, RowStarts(metrics, 5, LineOfText(line)));
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
