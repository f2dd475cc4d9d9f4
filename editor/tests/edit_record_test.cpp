// What the editor tells those who follow the text without reading it again (a screen reader):
// each edit's place, sizes and removed text; and the calls assistive technology edits and
// scrolls with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

std::vector<TextEdit> One(std::size_t position, std::size_t removed, std::size_t inserted,
                          std::u16string removed_text) {
  return {TextEdit{position, removed, inserted, std::move(removed_text)}};
}

TEST(EditRecord, TypingAndDeletingTellWhatTheyRemoved) {
  TestEditor editor;
  editor->SetText(u"春眠\r\n");
  editor->Select(4, 4);
  editor->Type(u"a");
  EXPECT_EQ(editor->Edits(), One(4, 0, 1, u""));
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor->Edits(), One(4, 1, 0, u"a"));
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor->Edits(), One(2, 2, 0, u"\r\n"));
  editor->Select(0, 1);
  EXPECT_TRUE(editor->Edits().empty()) << "a call that edits nothing has no edits";
  editor->Type(u"夏");
  EXPECT_EQ(editor->Edits(), One(0, 1, 1, u"春"));
}

TEST(EditRecord, UndoRedoAndANewTextTellOnlyTheirSizes) {
  TestEditor editor;
  editor->SetText(u"abc");
  EXPECT_EQ(editor->Edits(), One(0, 0, 3, u""));
  editor->Select(3, 3);
  editor->Type(u"de");
  editor->Undo();
  EXPECT_EQ(editor->Edits(), One(3, 2, 0, u""));
  editor->Redo();
  EXPECT_EQ(editor->Edits(), One(3, 0, 2, u""));
  editor->SetText(u"xy");
  EXPECT_EQ(editor->Edits(), One(0, 5, 2, u""));
}

TEST(EditRecord, AHugeRemovalKeepsOnlyItsStart) {
  TestEditor editor;
  std::u16string text(kKeptRemovedUnits + 5, u'x');
  text[0] = u'a';
  editor->SetText(text);
  editor->SelectAll();
  editor->DeleteForward(DeleteUnit::kCharacter);
  ASSERT_EQ(editor->Edits().size(), 1u);
  EXPECT_EQ(editor->Edits()[0].removed, kKeptRemovedUnits + 5);
  EXPECT_EQ(editor->Edits()[0].removed_text, text.substr(0, kKeptRemovedUnits));
}

TEST(ProgramEdits, AReplacementIsAnUndoStepOfItsOwn) {
  TestEditor editor;
  editor->SetNewLine(u"\r\n");
  editor->Type(u"ab");
  editor->Replace(1, 0, u"X\nY");
  EXPECT_EQ(editor.Text(), u"aX\r\nYb") << "line breaks become the document's";
  EXPECT_EQ(editor.Caret(), 5u);
  editor->Type(u"c");
  editor->Replace(0, 2, u"");
  EXPECT_EQ(editor.Text(), u"\r\nYcb");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"aX\r\nYcb");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"aX\r\nYb");
  editor->Undo();
  EXPECT_EQ(editor.Text(), u"ab");
}

TEST(ProgramEdits, AReplacementNeverCutsACharacterAndStaysInTheText) {
  TestEditor editor;
  editor->SetText(u"a\U0001F600b\r\nc");
  // Both ends inside the emoji: they go to its start, and nothing is removed.
  editor->Replace(2, 0, u"X");
  EXPECT_EQ(editor.Text(), u"aX\U0001F600b\r\nc");
  // An end between CR and LF goes back before the pair.
  editor->Replace(4, 2, u"");
  EXPECT_EQ(editor.Text(), u"aX\U0001F600\r\nc");
  editor->Replace(6, 1000, u"!");
  EXPECT_EQ(editor.Text(), u"aX\U0001F600\r\n!");
  editor->Replace(1000, 5, u"?");
  EXPECT_EQ(editor.Text(), u"aX\U0001F600\r\n!?");
}

TEST(ProgramEdits, ScrollingToAPositionShowsItsRowAndLeavesTheCaret) {
  TestEditor editor(200, 3);
  std::u16string text;
  for (int i = 0; i < 20; ++i) text += u"line\n";
  editor->SetText(text);
  const std::size_t far = 15 * 5 + 2;
  EXPECT_TRUE(editor->ScrollToShow(far));
  EXPECT_TRUE(editor->View().IndexOnScreen(editor->PlaceOf(far)).has_value());
  EXPECT_EQ(editor.Caret(), 0u);
  EXPECT_FALSE(editor->ScrollToShow(far)) << "already in view";
}

}  // namespace
}  // namespace tambrel::editor
