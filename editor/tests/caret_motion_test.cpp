// The caret moves by what the user sees as one character, by word, by row and by page, and ends
// a wrapped row after its last character.
#include <gtest/gtest.h>

#include <random>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

constexpr char16_t kFamily[] = u"\U0001F468\u200D\U0001F469\u200D\U0001F467";

// Fifteen ideographs: ten fill a 200 px row of the test font.
constexpr char16_t kWrapped[] = u"一二三四五六七八九十甲乙丙丁戊";

std::size_t Step(TestEditor& editor, Motion motion, Selecting selecting = Selecting::kNo) {
  editor->Move(motion, selecting);
  return editor.Caret();
}

TEST(ClusterMotion, RightStepsOverAWholeEmojiFamily) {
  TestEditor editor;
  editor->SetText(std::u16string(u"A") + kFamily + u"B");
  Step(editor, Motion::kRight);
  Step(editor, Motion::kRight);
  editor->Type(u"#");
  EXPECT_EQ(editor.Text(), std::u16string(u"A") + kFamily + u"#B");
}

TEST(ClusterMotion, DeleteTakesAWholeFamilyAndBackspaceToo) {
  TestEditor editor;
  editor->SetText(std::u16string(u"A") + kFamily + u"B");
  editor->Select(1, 1);
  editor->DeleteForward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor.Text(), u"AB");
  editor->SetText(std::u16string(u"A") + kFamily + u"B");
  editor->Select(9, 9);
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor.Text(), u"AB");
}

TEST(ClusterMotion, AnAccentAndAnIndicConjunctAreOneStepEach) {
  TestEditor editor;
  editor->SetText(u"e\u0301x");
  EXPECT_EQ(Step(editor, Motion::kRight), 2u);
  editor->SetText(u"\u0915\u094D\u0937\u093F|");
  EXPECT_EQ(Step(editor, Motion::kRight), 4u);
  EXPECT_EQ(Step(editor, Motion::kLeft), 0u);
}

TEST(ClusterMotion, CrLfIsOneStepBothWays) {
  TestEditor editor;
  editor->SetText(u"a\r\nb");
  editor->Select(1, 1);
  EXPECT_EQ(Step(editor, Motion::kRight), 3u);
  EXPECT_EQ(Step(editor, Motion::kLeft), 1u);
}

TEST(ClusterMotion, APositionInsideAClusterGoesToItsStart) {
  TestEditor editor;
  editor->SetText(std::u16string(u"A") + kFamily);
  editor->Select(4, 4);
  EXPECT_EQ(editor.Caret(), 1u);
}

// Right from the start visits exactly the cluster boundaries of the text, across wrapped rows
// and every kind of line break, and Left visits them back.
TEST(ClusterMotion, ArrowsVisitEveryClusterBoundaryOnce) {
  const std::vector<std::u16string> pieces = {
      u"a", u"中", u"e\u0301", u"\r\n", u"\n", u"\r", kFamily, u"\U0001F1E8\U0001F1F3",
      u" ", u"\u0915\u094D\u0937\u093F", std::u16string(1, char16_t{0xD800}), u"\t"};
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    std::u16string text;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    std::vector<std::size_t> boundaries{0};
    while (boundaries.back() < text.size()) {
      boundaries.push_back(text::NextClusterBoundary(text, boundaries.back()));
    }
    TestEditor editor(60, 4);
    editor->SetText(text);
    std::vector<std::size_t> visited{editor.Caret()};
    while (visited.size() < boundaries.size() + 2 && visited.back() < text.size()) {
      visited.push_back(Step(editor, Motion::kRight));
    }
    ASSERT_EQ(visited, boundaries) << "round " << round;
    std::vector<std::size_t> back{editor.Caret()};
    while (back.size() < boundaries.size() + 2 && back.back() > 0) {
      back.push_back(Step(editor, Motion::kLeft));
    }
    std::reverse(back.begin(), back.end());
    ASSERT_EQ(back, boundaries) << "round " << round;
  }
}

TEST(RowEnds, EndOnAWrappedRowTypesAfterTheRowsLastCharacter) {
  TestEditor editor;
  editor->SetText(kWrapped);
  editor->Move(Motion::kRowEnd, Selecting::kNo);
  EXPECT_EQ(editor.Caret(), 10u);
  // Shown at the end of the first row, not at the start of the second.
  const auto spot = editor->CaretOnScreen();
  ASSERT_TRUE(spot.has_value());
  EXPECT_EQ(spot->screen_row, 0u);
  EXPECT_FLOAT_EQ(spot->x, 200.0f);
  editor->Type(u"X");
  EXPECT_EQ(editor.Text(), u"一二三四五六七八九十X甲乙丙丁戊");
}

TEST(RowEnds, AClickPastTheEndOfAWrappedRowStaysOnThatRow) {
  TestEditor editor;
  editor->SetText(kWrapped);
  editor->Click(0, 500, ClickCount::kSingle, Selecting::kNo);
  EXPECT_EQ(editor.Caret(), 10u);
  EXPECT_EQ(editor->CaretOnScreen()->screen_row, 0u);
  editor->Type(u"X");
  EXPECT_EQ(editor.Text(), u"一二三四五六七八九十X甲乙丙丁戊");
}

TEST(RowEnds, AnInputMethodCommitAfterEndLandsThereToo) {
  TestEditor editor;
  editor->SetText(kWrapped);
  editor->Move(Motion::kRowEnd, Selecting::kNo);
  editor->SetComposition(u"zhong", 5);
  editor->Commit(u"中");
  EXPECT_EQ(editor.Text(), u"一二三四五六七八九十中甲乙丙丁戊");
}

TEST(RowEnds, HomeAndEndKeepToTheCaretsRow) {
  TestEditor editor;
  editor->SetText(kWrapped);
  editor->Select(12, 12);
  EXPECT_EQ(Step(editor, Motion::kRowStart), 10u);
  EXPECT_EQ(Step(editor, Motion::kRowEnd), 15u);
  EXPECT_EQ(editor->CaretOnScreen()->screen_row, 1u);
  // From the end of the first row, Home goes to that row's start.
  editor->Select(0, 0);
  Step(editor, Motion::kRowEnd);
  EXPECT_EQ(Step(editor, Motion::kRowStart), 0u);
}

TEST(RowMotion, UpAndDownKeepTheColumnTheyStartedFrom) {
  TestEditor editor;
  editor->SetText(u"abcdefghij\nab\nabcdefghij");
  editor->Select(8, 8);
  EXPECT_EQ(Step(editor, Motion::kDown), 13u);  // the short line's end
  EXPECT_EQ(Step(editor, Motion::kDown), 22u);  // column 8 again
  EXPECT_EQ(Step(editor, Motion::kUp), 13u);
  EXPECT_EQ(Step(editor, Motion::kUp), 8u);
}

TEST(RowMotion, UpFromTheFirstRowAndDownFromTheLastGoToTheEnds) {
  TestEditor editor;
  editor->SetText(u"abc\ndef");
  editor->Select(1, 1);
  EXPECT_EQ(Step(editor, Motion::kUp), 0u);
  editor->Select(5, 5);
  EXPECT_EQ(Step(editor, Motion::kDown), 7u);
}

TEST(RowMotion, DownOntoAWrappedRowEndStaysOnThatRow) {
  TestEditor editor;
  // The second line wraps after ten ideographs; from the full row above, the caret goes to the
  // end of that row rather than the start of the next.
  editor->SetText(u"aaaaaaaaaaaaaaaaaaaa\n一二三四五六七八九十甲");
  editor->Select(20, 20);
  EXPECT_EQ(Step(editor, Motion::kDown), 31u);
  EXPECT_EQ(editor->CaretOnScreen()->screen_row, 1u);
}

TEST(WordMotion, StopsAtPunctuationBothWays) {
  TestEditor editor;
  editor->SetText(u"foo.bar baz");
  EXPECT_EQ(Step(editor, Motion::kWordRight), 3u);
  EXPECT_EQ(Step(editor, Motion::kWordRight), 4u);
  EXPECT_EQ(Step(editor, Motion::kWordRight), 8u);
  EXPECT_EQ(Step(editor, Motion::kWordRight), 11u);
  EXPECT_EQ(Step(editor, Motion::kWordLeft), 8u);
  EXPECT_EQ(Step(editor, Motion::kWordLeft), 4u);
  EXPECT_EQ(Step(editor, Motion::kWordLeft), 3u);
  EXPECT_EQ(Step(editor, Motion::kWordLeft), 0u);
}

TEST(WordMotion, ControlDeleteAndBackspaceTakeAWordUpToPunctuation) {
  TestEditor editor;
  editor->SetText(u"foo.bar");
  editor->DeleteForward(DeleteUnit::kWord);
  EXPECT_EQ(editor.Text(), u".bar");
  editor->SetText(u"foo.bar");
  editor->Move(Motion::kDocumentEnd, Selecting::kNo);
  editor->DeleteBackward(DeleteUnit::kWord);
  EXPECT_EQ(editor.Text(), u"foo.");
}

TEST(Selection, LeftAndRightEndASelectionAtItsEdges) {
  TestEditor editor;
  editor->SetText(u"abcdef");
  editor->Select(1, 4);
  EXPECT_EQ(Step(editor, Motion::kLeft), 1u);
  EXPECT_TRUE(editor->GetSelection().Empty());
  editor->Select(1, 4);
  EXPECT_EQ(Step(editor, Motion::kRight), 4u);
  editor->Select(4, 1);
  EXPECT_EQ(Step(editor, Motion::kRight), 4u);
}

TEST(Selection, ShiftMotionsExtendFromTheAnchor) {
  TestEditor editor;
  editor->SetText(u"abc def");
  editor->Select(1, 1);
  editor->Move(Motion::kWordRight, Selecting::kExtend);
  editor->Move(Motion::kRight, Selecting::kExtend);
  EXPECT_EQ(editor->SelectedText(), u"bc d");
}

TEST(RightToLeft, ArrowsMoveByScreenPositionInARightToLeftParagraph) {
  TestEditor editor;
  editor->SetText(u"\u05D0\u05D1\u05D2");
  // Reading runs leftwards: Left goes on through the text, Right back.
  EXPECT_EQ(Step(editor, Motion::kLeft), 1u);
  EXPECT_EQ(Step(editor, Motion::kLeft), 2u);
  EXPECT_EQ(Step(editor, Motion::kRight), 1u);
  // The caret stands at the right edge before the first letter.
  editor->Select(0, 0);
  EXPECT_FLOAT_EQ(editor->CaretOnScreen()->x, 200.0f);
}

TEST(Paging, PageDownScrollsAPageAndTakesTheCaretAlong) {
  TestEditor editor(200, 5);
  std::u16string text;
  for (int line = 0; line < 30; ++line) text += u"line\n";
  editor->SetText(text);
  editor->Select(12, 12);  // row 2
  editor->Move(Motion::kPageDown, Selecting::kNo);
  EXPECT_EQ(editor->View().Top().line, 4u);
  EXPECT_EQ(editor->CaretPlace().line, 6u);
  EXPECT_EQ(editor->CaretOnScreen()->screen_row, 2u);
  editor->Move(Motion::kPageUp, Selecting::kNo);
  EXPECT_EQ(editor->View().Top().line, 0u);
  EXPECT_EQ(editor->CaretPlace().line, 2u);
}

TEST(Paging, AtTheEndTheViewStopsAndTheCaretGoesOnToTheEnd) {
  TestEditor editor(200, 5);
  std::u16string text;
  for (int line = 0; line < 10; ++line) text += u"line\n";
  editor->SetText(text);  // eleven rows, the last empty
  for (int press = 0; press < 2; ++press) editor->Move(Motion::kPageDown, Selecting::kNo);
  EXPECT_EQ(editor->View().Top().line, 6u);  // the last five rows fill the view
  EXPECT_EQ(editor->CaretPlace().line, 8u);
  editor->Move(Motion::kPageDown, Selecting::kNo);
  EXPECT_EQ(editor->CaretPlace().line, 10u);
  editor->Move(Motion::kPageDown, Selecting::kNo);
  EXPECT_EQ(editor.Caret(), text.size());
}

}  // namespace
}  // namespace tambrel::editor
