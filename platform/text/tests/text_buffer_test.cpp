#include "platform/text/text_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/text/tests/plain_lines.h"

namespace tambrel::platform::text {
namespace {

// Longer than any small-string buffer, so that moving it keeps its storage.
std::u16string LongText() {
  std::u16string text;
  for (int i = 0; i < 40; ++i) text += u"第一行 line\r\n第二行\n第三行\r";
  return text;
}

TEST(TextBufferLines, EmptyTextIsOneEmptyLine) {
  const TextBuffer buffer;
  EXPECT_EQ(buffer.Length(), 0u);
  EXPECT_EQ(buffer.LineCount(), 1u);
  EXPECT_EQ(buffer.LineStart(0), 0u);
  EXPECT_EQ(buffer.LineLength(0), 0u);
  EXPECT_EQ(buffer.BreakLength(0), 0u);
  EXPECT_EQ(buffer.LineOfPosition(0), 0u);
}

TEST(TextBufferLines, AFinalBreakStartsAnEmptyLastLine) {
  for (const std::u16string text : {u"a\n", u"a\r", u"a\r\n"}) {
    const TextBuffer buffer(text);
    EXPECT_EQ(buffer.LineCount(), 2u);
    EXPECT_EQ(buffer.LineStart(1), text.size());
    EXPECT_EQ(buffer.LineLength(1), 0u);
    EXPECT_EQ(buffer.BreakLength(0), text.size() - 1);
  }
}

TEST(TextBufferLines, MixedBreaksAreKeptApart) {
  const std::u16string text = u"一\r\n二\n\r三\r\r\n四\n\n";
  const TextBuffer buffer(text);
  ExpectMatchesPlain(buffer, text);
  EXPECT_EQ(buffer.LineCount(), 8u);  // LF CR is two breaks, CR CR LF too
}

TEST(TextBufferLines, PositionBetweenCrAndLfBelongsToTheLineThePairEnds) {
  const TextBuffer buffer(u"ab\r\ncd");
  EXPECT_EQ(buffer.LineOfPosition(2), 0u);
  EXPECT_EQ(buffer.LineOfPosition(3), 0u);
  EXPECT_EQ(buffer.LineOfPosition(4), 1u);
}

TEST(TextBufferStorage, AdoptsTheTextWithoutCopying) {
  std::u16string text = LongText();
  const char16_t* storage = text.data();
  const TextBuffer buffer(std::move(text));
  EXPECT_EQ(buffer.SpanAt(0).data(), storage);
  std::u16string scratch;
  EXPECT_EQ(buffer.LineText(1, scratch).data(), storage + buffer.LineStart(1));
}

TEST(TextBufferStorage, MovedBufferKeepsTextAndHistory) {
  TextBuffer buffer(LongText());
  buffer.Replace(0, 3, u"改");
  TextBuffer moved(std::move(buffer));
  EXPECT_EQ(moved.Text(), u"改" + LongText().substr(3));
  ASSERT_TRUE(moved.Undo().has_value());
  EXPECT_EQ(moved.Text(), LongText());
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
  const std::u16string text = buffer.Text();
  std::u16string joined;
  std::size_t spans = 0;
  buffer.ForEachSpan(2, 9, [&](std::u16string_view span) {
    EXPECT_FALSE(span.empty());
    joined += span;
    ++spans;
  });
  EXPECT_EQ(joined, text.substr(2, 9));
  EXPECT_GT(spans, 1u);

  std::size_t visited = 0;
  buffer.ForEachSpan(0, text.size(), [&](std::u16string_view) { return ++visited < 2; });
  EXPECT_EQ(visited, 2u);
}

TEST(TextBufferStorage, ResetAdoptsNewTextAndForgetsHistory) {
  TextBuffer buffer(u"old");
  buffer.Replace(0, 0, u"x");
  buffer.Reset(u"new\ntext");
  EXPECT_FALSE(buffer.CanUndo());
  ExpectMatchesPlain(buffer, u"new\ntext");
}

TEST(TextBufferCrLf, LfInsertedAfterCrJoinsIt) {
  TextBuffer buffer(u"a\rb");
  buffer.Replace(2, 0, u"\n");
  ExpectMatchesPlain(buffer, u"a\r\nb");
  EXPECT_EQ(buffer.LineCount(), 2u);
}

TEST(TextBufferCrLf, InsertionBetweenCrAndLfSplitsThePair) {
  TextBuffer buffer(u"a\r\nb");
  buffer.Replace(2, 0, u"x");
  ExpectMatchesPlain(buffer, u"a\rx\nb");
  EXPECT_EQ(buffer.LineCount(), 3u);
}

TEST(TextBufferCrLf, DeletionThatBringsCrAndLfTogetherFormsOnePair) {
  TextBuffer buffer(u"a\rx\nb");
  buffer.Replace(2, 1, u"");
  ExpectMatchesPlain(buffer, u"a\r\nb");
}

TEST(TextBufferCrLf, TypedCrThenLfAtTheEndIsOneBreak) {
  TextBuffer buffer(u"ab");
  buffer.Replace(2, 0, u"\r", Merge::kWithPrevious);
  ExpectMatchesPlain(buffer, u"ab\r");
  buffer.Replace(3, 0, u"\n", Merge::kWithPrevious);
  ExpectMatchesPlain(buffer, u"ab\r\n");
  buffer.Replace(4, 0, u"\r", Merge::kWithPrevious);
  buffer.Replace(5, 0, u"c", Merge::kWithPrevious);
  ExpectMatchesPlain(buffer, u"ab\r\n\rc");
}

TEST(TextBufferCrLf, StoredCrLfCutApartByAnEditMeetsOtherNeighbours) {
  // The stored units stay CR LF side by side; in the document they no longer meet.
  TextBuffer buffer(u"x\r\ny");
  buffer.Replace(2, 0, u"--");
  ExpectMatchesPlain(buffer, u"x\r--\ny");
  buffer.Replace(2, 2, u"");
  ExpectMatchesPlain(buffer, u"x\r\ny");
}

TEST(TextBufferChange, ReportsTheLinesReplaced) {
  TextBuffer buffer(u"one\ntwo\nthree");
  EXPECT_EQ(buffer.Replace(5, 1, u"W"), (Change{5, 1, 1, 1, 1, 1}));
  EXPECT_EQ(buffer.Replace(3, 1, u""), (Change{3, 1, 0, 0, 2, 1}));  // joins one and two
  EXPECT_EQ(buffer.Replace(0, 0, u"a\nb\n"), (Change{0, 0, 4, 0, 1, 3}));
  EXPECT_EQ(buffer.Text(), u"a\nb\nonetWo\nthree");
}

TEST(TextBufferChange, EditRightAfterALoneCrIncludesTheCrsLine) {
  TextBuffer buffer(u"a\rb");
  // The LF turns the CR into CR LF, which changes line 0's break.
  EXPECT_EQ(buffer.Replace(2, 0, u"\n"), (Change{2, 0, 1, 0, 2, 2}));
}

TEST(TextBufferChange, NothingToDoChangesNothing) {
  TextBuffer buffer(u"abc");
  EXPECT_EQ(buffer.Replace(1, 0, u""), (Change{1, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferChange, PositionsPastTheEndAreClamped) {
  TextBuffer buffer(u"abc");
  EXPECT_EQ(buffer.Replace(9, 4, u"d").position, 3u);
  EXPECT_EQ(buffer.Replace(2, 100, u"").removed, 2u);
  EXPECT_EQ(buffer.Text(), u"ab");
}

TEST(TextBufferUndo, UndoAndRedoReportTheirChanges) {
  TextBuffer buffer(u"ab\ncd");
  buffer.Replace(1, 3, u"X\nY\nZ");
  EXPECT_EQ(buffer.Undo(), (Change{1, 5, 3, 0, 3, 2}));
  EXPECT_EQ(buffer.Text(), u"ab\ncd");
  EXPECT_EQ(buffer.Redo(), (Change{1, 3, 5, 0, 2, 3}));
  EXPECT_EQ(buffer.Text(), u"aX\nY\nZd");
  EXPECT_FALSE(buffer.Redo().has_value());
}

TEST(TextBufferUndo, NothingToUndoAnswersNothing) {
  TextBuffer buffer(u"abc");
  EXPECT_FALSE(buffer.CanUndo());
  EXPECT_FALSE(buffer.Undo().has_value());
  EXPECT_EQ(buffer.Text(), u"abc");
}

TEST(TextBufferUndo, TypingJoinsOneStep) {
  TextBuffer buffer(u"[]");
  const std::u16string typed = u"中文 text";
  for (std::size_t i = 0; i < typed.size(); ++i) {
    buffer.Replace(1 + i, 0, typed.substr(i, 1), Merge::kWithPrevious);
  }
  EXPECT_EQ(buffer.Undo(), (Change{1, typed.size(), 0, 0, 1, 1}));
  EXPECT_EQ(buffer.Text(), u"[]");
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, TypingOverASelectionJoinsTheReplacement) {
  TextBuffer buffer(u"abcdef");
  buffer.Replace(1, 3, u"x", Merge::kWithPrevious);
  buffer.Replace(2, 0, u"y", Merge::kWithPrevious);
  EXPECT_EQ(buffer.Text(), u"axyef");
  buffer.Undo();
  EXPECT_EQ(buffer.Text(), u"abcdef");
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, BackspacesJoinOneStep) {
  TextBuffer buffer(u"abcdef");
  buffer.Replace(4, 1, u"", Merge::kWithPrevious);
  buffer.Replace(3, 1, u"", Merge::kWithPrevious);
  buffer.Replace(2, 1, u"", Merge::kWithPrevious);
  EXPECT_EQ(buffer.Text(), u"abf");
  EXPECT_EQ(buffer.Undo(), (Change{2, 0, 3, 0, 1, 1}));
  EXPECT_EQ(buffer.Text(), u"abcdef");
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, ForwardDeletesJoinOneStep) {
  TextBuffer buffer(u"abcdef");
  buffer.Replace(1, 1, u"", Merge::kWithPrevious);
  buffer.Replace(1, 2, u"", Merge::kWithPrevious);
  EXPECT_EQ(buffer.Text(), u"aef");
  buffer.Undo();
  EXPECT_EQ(buffer.Text(), u"abcdef");
  EXPECT_FALSE(buffer.CanUndo());
}

TEST(TextBufferUndo, StepsThatDoNotContinueStayApart) {
  TextBuffer buffer(u"abcdef");
  buffer.Replace(1, 0, u"x", Merge::kWithPrevious);
  buffer.Replace(5, 0, u"y", Merge::kWithPrevious);  // not where the last insertion ended
  buffer.Replace(6, 1, u"", Merge::kWithPrevious);   // a deletion after an insertion
  buffer.Replace(6, 0, u"z", Merge::kWithPrevious);  // an insertion after a deletion
  buffer.Replace(7, 0, u"w", Merge::kNever);
  int steps = 0;
  while (buffer.Undo()) ++steps;
  EXPECT_EQ(steps, 5);
  EXPECT_EQ(buffer.Text(), u"abcdef");
}

TEST(TextBufferUndo, BreakingTheGroupStartsANewStep) {
  TextBuffer buffer(u"");
  buffer.Replace(0, 0, u"a", Merge::kWithPrevious);
  buffer.BreakUndoGroup();
  buffer.Replace(1, 0, u"b", Merge::kWithPrevious);
  buffer.Undo();
  EXPECT_EQ(buffer.Text(), u"a");
}

TEST(TextBufferUndo, UndoEndsTheGroup) {
  TextBuffer buffer(u"");
  buffer.Replace(0, 0, u"ab", Merge::kWithPrevious);
  buffer.Replace(2, 0, u"c", Merge::kNever);
  buffer.Undo();
  buffer.Replace(2, 0, u"d", Merge::kWithPrevious);
  buffer.Undo();
  EXPECT_EQ(buffer.Text(), u"ab");
}

TEST(TextBufferUndo, NewEditDropsRedo) {
  TextBuffer buffer(u"abc");
  buffer.Replace(0, 1, u"x");
  buffer.Undo();
  ASSERT_TRUE(buffer.CanRedo());
  buffer.Replace(3, 0, u"!");
  EXPECT_FALSE(buffer.CanRedo());
  EXPECT_EQ(buffer.Text(), u"abc!");
}

TEST(TextBufferUndo, ReplacingTheWholeTextIsUndoneWithoutCopying) {
  std::u16string text = LongText();
  const char16_t* storage = text.data();
  const std::size_t lines = PlainLines(text).size();
  TextBuffer buffer(std::move(text));
  const Change change = buffer.Replace(0, buffer.Length(), u"new");
  EXPECT_EQ(change.lines_removed, lines);
  EXPECT_EQ(change.lines_inserted, 1u);
  EXPECT_EQ(buffer.Undo(), (Change{0, 3, LongText().size(), 0, 1, lines}));
  EXPECT_EQ(buffer.SpanAt(0).data(), storage);
  ExpectMatchesPlain(buffer, LongText());
  buffer.Redo();
  ExpectMatchesPlain(buffer, u"new");
}

}  // namespace
}  // namespace tambrel::platform::text
