// Typing, overwriting, deleting, the clipboard's text, drops and drags, undo grouping, and the
// text at the top of the view staying there.
#include <gtest/gtest.h>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

TEST(Typing, ARunOfTypingIsOneUndoStepAndANewLineAnother) {
  TestEditor editor;
  editor->Type(u"a");
  editor->Type(u"b");
  editor->NewLine();
  editor->Type(u"c");
  EXPECT_EQ(editor.Text(), u"ab\r\nc");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab\r\n");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"");
  editor->Redo();
  EXPECT_EQ(editor.Text(), u"ab");
}

TEST(Typing, MovingTheCaretEndsTheUndoStep) {
  TestEditor editor;
  editor->Type(u"ab");
  editor->Move(Motion::kLeft, Selecting::kNo);
  editor->Type(u"c");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab");
}

TEST(Typing, TypedLineBreaksAreTheDocuments) {
  TestEditor editor;
  editor->SetNewLine(u"\n");
  editor->Type(u"a\r\nb\rc");
  editor->NewLine();
  EXPECT_EQ(editor.Text(), u"a\nb\nc\n");
}

TEST(Overwrite, TypingTakesThePlaceOfAsManyCharactersButNotTheLineBreak) {
  TestEditor editor;
  editor->SetText(u"abc\r\nd");
  editor->ToggleOverwrite();
  EXPECT_TRUE(editor->Overwriting());
  editor->Type(u"XY");
  EXPECT_EQ(editor.Text(), u"XYc\r\nd");
  editor->Type(u"Z");
  editor->Type(u"W");
  EXPECT_EQ(editor.Text(), u"XYZW\r\nd");
  editor->ToggleOverwrite();
  editor->Type(u"V");
  EXPECT_EQ(editor.Text(), u"XYZWV\r\nd");
}

TEST(Overwrite, ACharacterTakesThePlaceOfAWholeCluster) {
  TestEditor editor;
  editor->SetText(u"e\u0301f");
  editor->ToggleOverwrite();
  editor->Type(u"x");
  EXPECT_EQ(editor.Text(), u"xf");
}

TEST(Clipboard, CopiedTextHasTheDesktopsLineBreaks) {
  TestEditor editor;
  editor->SetText(u"a\r\nb\rc\nd");
  editor->SelectAll();
  EXPECT_EQ(editor->SelectedTextForClipboard(), u"a\nb\nc\nd");
  editor->SetClipboardLineBreak(u"\r\n");
  EXPECT_EQ(editor->SelectedTextForClipboard(), u"a\r\nb\r\nc\r\nd");
  // The text itself keeps its own breaks.
  EXPECT_EQ(editor->SelectedText(), u"a\r\nb\rc\nd");
}

TEST(Clipboard, PastedTextTakesTheDocumentsLineBreaksAsOneUndoStep) {
  TestEditor editor;
  editor->Type(u"ab");
  editor->Paste(u"x\ny\r\n");
  EXPECT_EQ(editor.Text(), u"abx\r\ny\r\n");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab");
}

TEST(Clipboard, CutTakesTheSelectionOut) {
  TestEditor editor;
  editor->SetText(u"a\r\nbc");
  editor->Select(0, 4);
  EXPECT_EQ(editor->Cut(), u"a\nb");
  EXPECT_EQ(editor.Text(), u"c");
}

TEST(Drops, TextDroppedFromElsewhereIsInsertedAndSelected) {
  TestEditor editor;
  editor->SetText(u"abcd");
  editor->Drop(2, u"X\nY");
  EXPECT_EQ(editor.Text(), u"abX\r\nYcd");
  EXPECT_EQ(editor->SelectedText(), u"X\r\nY");
}

TEST(Drops, DraggingTheSelectionMovesItAsOneUndoStep) {
  TestEditor editor;
  editor->SetText(u"one two three");
  editor->Select(4, 8);  // "two "
  editor->DragSelectionTo(13, DragAction::kMove);
  EXPECT_EQ(editor.Text(), u"one threetwo ");
  EXPECT_EQ(editor->SelectedText(), u"two ");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"one two three");

  editor->Select(8, 13);  // "three"
  editor->DragSelectionTo(0, DragAction::kMove);
  EXPECT_EQ(editor.Text(), u"threeone two ");
  EXPECT_EQ(editor->SelectedText(), u"three");
}

TEST(Drops, ControlDraggingCopiesAndDroppingOnItselfMovesNothing) {
  TestEditor editor;
  editor->SetText(u"ab cd");
  editor->Select(0, 2);
  editor->DragSelectionTo(5, DragAction::kCopy);
  EXPECT_EQ(editor.Text(), u"ab cdab");
  editor->Select(0, 2);
  editor->DragSelectionTo(1, DragAction::kMove);
  EXPECT_EQ(editor.Text(), u"ab cdab");
}

TEST(ProgramEdits, ReplacingTheSelectionIsAStepOfItsOwnWithTheCaretAfter) {
  TestEditor editor;
  editor->Type(u"ab");
  editor->ReplaceSelection(u"\r\n2026-12-07");
  EXPECT_EQ(editor.Caret(), editor.Text().size());
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab");
}

TEST(InputMethod, ACommitCanTakeBackTextAroundTheCaret) {
  TestEditor editor;
  editor->Type(u"nihao");
  editor->Commit(u"你好", -5, 5);
  EXPECT_EQ(editor.Text(), u"你好");
  EXPECT_TRUE(editor->Composition().empty());
}

TEST(TopOfView, TheTextAtTheTopStaysThereWhenTheWidthChanges) {
  TestEditor editor(200, 5);
  std::u16string text;
  for (int i = 0; i < 400; ++i) text += static_cast<char16_t>(u'a' + i % 26);
  editor->SetText(text);  // one line of twenty rows
  editor->ScrollBy(10);
  const std::size_t top = editor->Rows().front().start;
  EXPECT_EQ(top, 200u);
  editor.Geometry().SetWidth(130);
  editor->SetWidth(130);
  const ScreenRow& first = editor->Rows().front();
  EXPECT_LE(first.start, top);
  EXPECT_GT(first.end, top);
}

TEST(TopOfView, AnEditBelowTheTopInTheSameWrappedLineKeepsTheTopRow) {
  TestEditor editor(200, 5);
  std::u16string text;
  for (int i = 0; i < 400; ++i) text += static_cast<char16_t>(u'a' + i % 26);
  editor->SetText(text);
  editor->ScrollBy(10);
  editor->Select(230, 230);
  editor->Type(u"XYZ");
  EXPECT_EQ(editor->Rows().front().start, 200u);
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor->Rows().front().start, 200u);
}

}  // namespace
}  // namespace tambrel::editor
