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
                          std::u16string removed_text, std::u16string inserted_text = u"") {
  return {TextEdit{position, removed, inserted, std::move(removed_text), std::move(inserted_text)}};
}

std::vector<TextEdit> NewText(std::size_t removed, std::size_t inserted) {
  return {TextEdit{0, removed, inserted, u"", u"", /*whole_text=*/true}};
}

TEST(EditRecord, TypingAndDeletingTellWhatTheyRemoved) {
  TestEditor editor;
  editor->SetText(u"春眠\r\n");
  editor->Select(4, 4);
  editor->Type(u"a");
  EXPECT_EQ(editor->Edits(), One(4, 0, 1, u"", u"a"));
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor->Edits(), One(4, 1, 0, u"a"));
  editor->DeleteBackward(DeleteUnit::kCharacter);
  EXPECT_EQ(editor->Edits(), One(2, 2, 0, u"\r\n"));
  editor->Select(0, 1);
  EXPECT_TRUE(editor->Edits().empty()) << "a call that edits nothing has no edits";
  editor->Type(u"夏");
  EXPECT_EQ(editor->Edits(), One(0, 1, 1, u"春", u"夏"));
}

TEST(EditRecord, UndoAndRedoTellWhatCameInAndANewTextOnlyThatItIsNew) {
  TestEditor editor;
  editor->SetText(u"abc");
  EXPECT_EQ(editor->Edits(), NewText(0, 3));
  editor->Select(3, 3);
  editor->Type(u"de");
  editor->Undo();
  EXPECT_EQ(editor->Edits(), One(3, 2, 0, u""));
  editor->Redo();
  EXPECT_EQ(editor->Edits(), One(3, 0, 2, u"", u"de"));
  editor->SetText(u"xy");
  EXPECT_EQ(editor->Edits(), NewText(5, 2));
  editor->SetText(u"");
  EXPECT_EQ(editor->Edits(), NewText(2, 0)) << "an empty text is new too";
}

TEST(EditRecord, TheEditsReplayedOnTheOldTextGiveTheNewOne) {
  // What a record of the text's changes is built from: every kind of change, replayed on a plain
  // string, must land on the editor's text.
  TestEditor editor;
  editor->SetText(u"ab cd\r\nef");
  std::u16string replayed = u"ab cd\r\nef";
  const auto replay = [&] {
    for (const TextEdit& edit : editor->Edits()) {
      ASSERT_FALSE(edit.whole_text);
      replayed.replace(edit.position, edit.removed, edit.inserted_text);
    }
    ASSERT_EQ(replayed, editor->Buffer().Text());
  };
  editor->Select(0, 2);
  editor->DragSelectionTo(5, DragAction::kMove);
  replay();
  editor->Select(1, 1);
  editor->Type(u"👨‍👩‍👧");
  replay();
  editor->NewLine();
  replay();
  editor->DeleteBackward(DeleteUnit::kWord);
  replay();
  editor->Undo();
  replay();
  editor->Undo();
  replay();
  editor->Redo();
  replay();
  editor->SelectAll();
  editor->DragSelectionTo(0, DragAction::kCopy);
  replay();
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
