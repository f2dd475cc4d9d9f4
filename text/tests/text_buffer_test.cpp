#include "text/text_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "text/tests/plain_lines.h"
#include "text/tests/stored_part.h"

namespace tambrel::text {
namespace {

// Longer than any small-string buffer, so that moving it keeps its storage.
std::u16string LongText() {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"第一行 line\r\n第二行\n第三行\r";
  return text;
}

TEST(TextBufferLines, EmptyTextIsOneEmptyLine) {
  const TextBuffer buffer;
  EXPECT_EQ(buffer.LineCount(), 1u);
  EXPECT_EQ(buffer.LineLength(0), 0u);
  EXPECT_EQ(buffer.BreakLength(0), 0u);
  EXPECT_EQ(buffer.LineOfPosition(0), 0u);
}

TEST(TextBufferLines, MixedBreaksAreKeptApart) {
  const std::u16string text = u"一\r\n二\n\r三\r\r\n四\n\n";
  const TextBuffer buffer(text);
  ExpectMatchesPlain(buffer, text);
  EXPECT_EQ(buffer.LineCount(), 8u);        // LF CR is two breaks, CR CR LF too
  EXPECT_EQ(buffer.LineOfPosition(2), 0u);  // between CR and LF
}

TEST(TextBufferStorage, AdoptsTheTextWithoutCopyingAndMovesWithIt) {
  std::u16string text = LongText();
  const char16_t* storage = text.data();
  TextBuffer buffer(std::move(text));
  std::u16string scratch;
  EXPECT_EQ(buffer.LineText(1, scratch).data(), storage + buffer.LineStart(1));
  buffer.Replace(0, 3, u"改");
  const TextBuffer moved(std::move(buffer));
  EXPECT_EQ(moved.SpanAt(1, scratch).data(), storage + 3);
  EXPECT_EQ(moved.Text(), u"改" + LongText().substr(3));
}

// `text` cut at `cuts` into parts as a decoder stores them.
std::vector<TextPart> PartsOf(std::u16string_view text, const std::vector<std::size_t>& cuts,
                              PartStorage storage) {
  std::vector<TextPart> parts;
  for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
    parts.push_back(StoredPart(text.substr(cuts[k], cuts[k + 1] - cuts[k]), storage));
  }
  return parts;
}

const char* NameOf(PartStorage storage) {
  switch (storage) {
    case PartStorage::kUtf16:
      return "UTF-16";
    case PartStorage::kAsciiInBytes:
      return "ASCII in bytes";
    case PartStorage::kCoded:
      return "coded";
  }
  return "";
}

constexpr PartStorage kEveryStorage[] = {PartStorage::kUtf16, PartStorage::kAsciiInBytes,
                                         PartStorage::kCoded};

// A text adopted in parts reads and edits as the same text adopted whole, wherever the parts are
// cut: between a CR and its LF, after a lone CR, or into empty parts; and whether the parts of
// ASCII keep their units in two bytes or in one, or the parts keep the bytes they were read from.
TEST(TextBufferStorage, ATextInPartsIsTheTextTheyMakeTogether) {
  const std::u16string text = u"一\r\nab\r三\n\r\ncd\r";
  for (const PartStorage storage : kEveryStorage) {
    for (std::size_t first = 0; first <= text.size(); ++first) {
      for (std::size_t second = first; second <= text.size(); ++second) {
        SCOPED_TRACE("cut at " + std::to_string(first) + " and " + std::to_string(second) + ", " +
                     NameOf(storage));
        std::vector<TextPart> parts = PartsOf(text, {0, first, second, text.size()}, storage);
        const bool second_in_bytes = parts[1].text.empty();
        const char16_t* second_part = parts[1].text.data();
        TextBuffer buffer(std::move(parts));
        ExpectMatchesPlain(buffer, text);
        ASSERT_EQ(buffer.CheckInvariants(), std::nullopt);
        std::u16string scratch;
        if (second > first && !second_in_bytes) {
          EXPECT_EQ(buffer.SpanAt(first, scratch).data(), second_part) << "not adopted";
        }
        buffer.Replace(first, second - first, u"改\n");
        ExpectMatchesPlain(buffer, text.substr(0, first) + u"改\n" + text.substr(second));
        buffer.Undo();
        ExpectMatchesPlain(buffer, text);
      }
    }
  }
}

// A text made of runs that alternate between two parts: the first and third runs follow each other
// in one part, so a CR that ends the first and an LF that starts the third meet in storage but not
// in the text, and the other way round across parts.
TEST(TextBufferStorage, RunsOfPartsMakeTheTextInTheirOrder) {
  const std::u16string text = u"ab\r\n中\r\ncd\r文\n\r\nef\r";
  for (std::size_t first = 0; first <= text.size(); ++first) {
    for (std::size_t second = first; second <= text.size(); ++second) {
      SCOPED_TRACE("runs cut at " + std::to_string(first) + " and " + std::to_string(second));
      const std::u16string outer = text.substr(0, first) + text.substr(second);
      const std::u16string inner = text.substr(first, second - first);
      // As a decoder keeps them: ASCII in bytes where it can, the rest as read.
      std::vector<TextPart> parts = PartsOf(outer, {0, outer.size()}, PartStorage::kAsciiInBytes);
      std::vector<TextPart> more = PartsOf(inner, {0, inner.size()}, PartStorage::kCoded);
      parts.push_back(std::move(more[0]));
      TextBuffer buffer(std::move(parts), {PartRun{0, 0, first}, PartRun{1, 0, inner.size()},
                                           PartRun{0, first, text.size() - second}});
      ExpectMatchesPlain(buffer, text);
      ASSERT_EQ(buffer.CheckInvariants(), std::nullopt);
      buffer.Replace(first, second - first, u"\n改");
      ExpectMatchesPlain(buffer, text.substr(0, first) + u"\n改" + text.substr(second));
      buffer.Undo();
      ExpectMatchesPlain(buffer, text);
    }
  }
}

// Units kept a byte each are widened a few at a time, never the whole piece at once, and always
// into the scratch the caller gave.
TEST(TextBufferStorage, UnitsKeptInBytesAreWidenedIntoScratchAsFarAsAsked) {
  std::u16string text;
  for (int k = 0; k < 6000; ++k) text += u"line " + std::u16string(1, u'a' + k % 26) + u"\r\n";
  TextBuffer buffer(PartsOf(text, {0, text.size() / 2, text.size()}, PartStorage::kAsciiInBytes));
  std::u16string scratch;
  const std::u16string_view five = buffer.SpanAt(3, scratch, 5);
  EXPECT_EQ(five, text.substr(3, 5));
  EXPECT_EQ(five.data(), scratch.data());
  const std::u16string_view rest = buffer.SpanAt(text.size() / 2 + 1, scratch);
  EXPECT_EQ(rest.size(), TextBuffer::kWidenedUnits);
  EXPECT_EQ(rest, text.substr(text.size() / 2 + 1, rest.size()));
  const std::u16string_view line = buffer.LineText(5999, scratch);
  EXPECT_EQ(line, u"line " + std::u16string(1, u'a' + 5999 % 26));
  EXPECT_EQ(line.data(), scratch.data());
  std::u16string walked;
  buffer.ForEachPiece(0, buffer.Length(), [&](std::u16string_view span) {
    EXPECT_LE(span.size(), TextBuffer::kWidenedUnits);
    walked += span;
  });
  EXPECT_EQ(walked, text);
  EXPECT_EQ(buffer.CheckInvariants(), std::nullopt);
}

// Units kept as the bytes they were read from are decoded block by block wherever they are read:
// a single unit, a span that starts and ends inside blocks, or a line; never more than asked.
TEST(TextBufferStorage, UnitsKeptAsReadAreDecodedFromTheBlockTheyLieIn) {
  std::u16string text;
  for (int k = 0; k < 3000; ++k) text += u"第" + std::u16string(1, u'a' + k % 26) + u"行\r\n";
  for (const std::size_t block_bytes :
       {std::size_t{1}, std::size_t{5}, CodedUnits::kMostBlockBytes}) {
    SCOPED_TRACE("blocks of " + std::to_string(block_bytes) + " bytes");
    std::vector<TextPart> parts;
    parts.push_back(StoredPart(text, PartStorage::kCoded, block_bytes));
    TextBuffer buffer(std::move(parts));
    ASSERT_EQ(buffer.Length(), text.size());
    ASSERT_EQ(buffer.LineCount(), 3001u);
    for (std::size_t at = 0; at < text.size(); at += 37) ASSERT_EQ(buffer.At(at), text[at]) << at;
    std::u16string scratch;
    for (const std::size_t from :
         {std::size_t{0}, std::size_t{2}, text.size() / 3, text.size() - 3}) {
      for (const std::size_t most : {std::size_t{1}, std::size_t{4}, std::size_t{5000}}) {
        const std::u16string_view span = buffer.SpanAt(from, scratch, most);
        EXPECT_EQ(span, text.substr(from, most)) << from << ", " << most;
        EXPECT_EQ(span.data(), scratch.data());
      }
    }
    EXPECT_EQ(buffer.LineText(2999, scratch), u"第" + std::u16string(1, u'a' + 2999 % 26) + u"行");
    EXPECT_EQ(buffer.Text(), text);
    buffer.Replace(text.size() / 2, 4, u"改");
    EXPECT_EQ(buffer.Text(),
              text.substr(0, text.size() / 2) + u"改" + text.substr(text.size() / 2 + 4));
    EXPECT_EQ(buffer.CheckInvariants(), std::nullopt);
  }
}

TEST(TextBufferStorage, LineAcrossPiecesIsCopiedIntoScratch) {
  TextBuffer buffer(u"hello\nworld");
  buffer.Replace(8, 0, u"--");
  std::u16string scratch;
  const std::u16string_view line = buffer.LineText(1, scratch);
  EXPECT_EQ(line, u"wo--rld");
  EXPECT_EQ(line.data(), scratch.data());
}

TEST(TextBufferStorage, SpansCoverTheRangeAndStopWhenAsked) {
  TextBuffer buffer(u"0123456789");
  buffer.Replace(3, 0, u"abc");
  buffer.Replace(8, 1, u"XY");
  std::u16string joined;
  buffer.ForEachPiece(2, 9, [&](std::u16string_view span) { joined += span; });
  EXPECT_EQ(joined, buffer.Text().substr(2, 9));
  std::size_t visited = 0;
  buffer.ForEachPiece(0, buffer.Length(), [&](std::u16string_view) { return ++visited < 2; });
  EXPECT_EQ(visited, 2u);
}

TEST(TextBufferCrLf, EditsThatFormOrSplitCrLfKeepTheLinesOfThePlainText) {
  TextBuffer buffer(u"a\rb");
  buffer.Replace(2, 0, u"\n");  // joins the stored CR
  ExpectMatchesPlain(buffer, u"a\r\nb");
  buffer.Replace(2, 0, u"x");  // splits the pair again
  ExpectMatchesPlain(buffer, u"a\rx\nb");
  buffer.Replace(2, 1, u"");  // CR and LF of different pieces meet
  ExpectMatchesPlain(buffer, u"a\r\nb");
  buffer.Replace(4, 0, u"\r", Merge::kWithPrevious);  // typed CR then LF, stored side by side
  buffer.Replace(5, 0, u"\n", Merge::kWithPrevious);
  ExpectMatchesPlain(buffer, u"a\r\nb\r\n");
}

TEST(TextBufferChange, ReportsTheLinesReplaced) {
  TextBuffer buffer(u"one\ntwo\nthree");
  EXPECT_EQ(buffer.Replace(5, 1, u"W"), (Change{5, 1, 1, 1, 1, 1}));
  EXPECT_EQ(buffer.Replace(3, 1, u""), (Change{3, 1, 0, 0, 2, 1}));  // joins one and two
  EXPECT_EQ(buffer.Replace(0, 0, u"a\nb\n"), (Change{0, 0, 4, 0, 1, 3}));
  EXPECT_EQ(buffer.Replace(1, 0, u""), (Change{1, 0, 0, 0, 0, 0}));
  const std::size_t end = buffer.Length();
  EXPECT_EQ(buffer.Replace(99, 0, u"!").position, end);  // clamped
}

TEST(TextBufferChange, EditRightAfterALoneCrIncludesTheCrsLine) {
  TextBuffer buffer(u"a\rb");
  EXPECT_EQ(buffer.Replace(2, 0, u"\n"), (Change{2, 0, 1, 0, 2, 2}));
}

TEST(TextBufferUndo, UndoAndRedoReportTheirChanges) {
  TextBuffer buffer(u"ab\ncd");
  EXPECT_FALSE(buffer.Undo().has_value());
  buffer.Replace(1, 3, u"X\nY\nZ");
  EXPECT_EQ(buffer.Undo(), (Change{1, 5, 3, 0, 3, 2}));
  EXPECT_EQ(buffer.Text(), u"ab\ncd");
  EXPECT_EQ(buffer.Redo(), (Change{1, 3, 5, 0, 2, 3}));
  EXPECT_EQ(buffer.Text(), u"aX\nY\nZd");
  EXPECT_FALSE(buffer.Redo().has_value());
}

TEST(TextBufferUndo, TypingJoinsOneStep) {
  TextBuffer buffer(u"[]");
  const std::u16string typed = u"中文 text";
  for (std::size_t i = 0; i < typed.size(); ++i) {
    buffer.Replace(1 + i, 0, typed.substr(i, 1), Merge::kWithPrevious);
  }
  EXPECT_EQ(buffer.Undo(), (Change{1, typed.size(), 0, 0, 1, 1}));
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, BackspacesAndDeletesJoinOneStep) {
  TextBuffer buffer(u"abcdefgh");
  buffer.Replace(4, 1, u"", Merge::kWithPrevious);  // backspace over e, d, c
  buffer.Replace(3, 1, u"", Merge::kWithPrevious);
  buffer.Replace(2, 1, u"", Merge::kWithPrevious);
  EXPECT_EQ(buffer.Undo(), (Change{2, 0, 3, 0, 1, 1}));
  buffer.Replace(1, 1, u"", Merge::kWithPrevious);  // delete b, then c d
  buffer.Replace(1, 2, u"", Merge::kWithPrevious);
  EXPECT_EQ(buffer.Text(), u"aefgh");
  buffer.Undo();
  EXPECT_EQ(buffer.Text(), u"abcdefgh");
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, StepsThatDoNotContinueStayApart) {
  TextBuffer buffer(u"abcdef");
  buffer.Replace(1, 0, u"x", Merge::kWithPrevious);
  buffer.Replace(5, 0, u"y", Merge::kWithPrevious);  // not where the last insertion ended
  buffer.Replace(6, 1, u"", Merge::kWithPrevious);   // a deletion after an insertion
  buffer.Replace(6, 0, u"z", Merge::kWithPrevious);  // an insertion after a deletion
  buffer.Replace(7, 0, u"w", Merge::kNever);
  buffer.BreakUndoGroup();
  buffer.Replace(8, 0, u"v", Merge::kWithPrevious);  // after the caret moved
  int steps = 0;
  while (buffer.Undo()) ++steps;
  EXPECT_EQ(steps, 6);
  EXPECT_EQ(buffer.Text(), u"abcdef");
}

TEST(TextBufferUndo, NewEditDropsRedo) {
  TextBuffer buffer(u"abc");
  buffer.Replace(0, 1, u"x");
  buffer.Undo();
  buffer.Replace(3, 0, u"!");
  EXPECT_FALSE(buffer.CanRedo());
  EXPECT_EQ(buffer.Text(), u"abc!");
}

TEST(TextBufferUndo, ReplacingTheWholeTextIsUndoneWithoutCopying) {
  std::u16string text = LongText();
  const char16_t* storage = text.data();
  const std::size_t lines = PlainLines(text).size();
  TextBuffer buffer(std::move(text));
  EXPECT_EQ(buffer.Replace(0, buffer.Length(), u"new"),
            (Change{0, LongText().size(), 3, 0, lines, 1}));
  EXPECT_EQ(buffer.Undo(), (Change{0, 3, LongText().size(), 0, 1, lines}));
  std::u16string scratch;
  EXPECT_EQ(buffer.SpanAt(0, scratch).data(), storage);
  ExpectMatchesPlain(buffer, LongText());
}

}  // namespace
}  // namespace tambrel::text
