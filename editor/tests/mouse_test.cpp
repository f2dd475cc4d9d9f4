// Clicks, double- and triple-clicks and drags, in rows from the top of the view and pixels of the
// test font (ten a letter).
#include <gtest/gtest.h>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

TEST(Clicks, ADoubleClickSelectsTheWordWithoutItsTrailingSpace) {
  TestEditor editor;
  editor->SetText(u"hello world");
  editor->Click(0, 25, ClickCount::kDouble, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u"hello");
  // On the right half of a word's last letter it is still that word.
  editor->Click(0, 48, ClickCount::kDouble, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u"hello");
  editor->Click(0, 75, ClickCount::kDouble, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u"world");
}

TEST(Clicks, ADoubleClickOnPunctuationOrSpacesSelectsJustThatRun) {
  TestEditor editor;
  editor->SetText(u"foo.bar  baz");
  editor->Click(0, 35, ClickCount::kDouble, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u".");
  editor->Click(0, 72, ClickCount::kDouble, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u"  ");
}

TEST(Clicks, ATripleClickSelectsTheWholeLineWithItsBreak) {
  TestEditor editor;
  editor->SetText(u"first line\r\nsecond line\r\nthird");
  editor->Click(1, 30, ClickCount::kTriple, Selecting::kNo);
  EXPECT_EQ(editor->SelectedText(), u"second line\r\n");
}

TEST(Clicks, ShiftClickExtendsFromTheAnchor) {
  TestEditor editor;
  editor->SetText(u"abcdefgh");
  editor->Click(0, 20, ClickCount::kSingle, Selecting::kNo);
  editor->Click(0, 60, ClickCount::kSingle, Selecting::kExtend);
  EXPECT_EQ(editor->SelectedText(), u"cdef");
}

TEST(Drags, DraggingAfterADoubleClickSelectsWholeWords) {
  TestEditor editor;
  editor->SetText(u"one two three four");
  editor->Click(0, 55, ClickCount::kDouble, Selecting::kNo);  // "two"
  editor->DragTo(0, 95);                                      // inside "three"
  EXPECT_EQ(editor->SelectedText(), u"two three");
  editor->DragTo(0, 5);  // back into "one"
  EXPECT_EQ(editor->SelectedText(), u"one two");
}

TEST(Drags, DraggingAfterATripleClickSelectsWholeLines) {
  TestEditor editor;
  editor->SetText(u"a\nb\nc\nd");
  editor->Click(1, 5, ClickCount::kTriple, Selecting::kNo);
  editor->DragTo(2, 5);
  EXPECT_EQ(editor->SelectedText(), u"b\nc\n");
}

TEST(Drags, APressOnTheSelectionIsOnIt) {
  TestEditor editor;
  editor->SetText(u"abcdefgh");
  editor->Select(2, 5);
  EXPECT_TRUE(editor->IsSelectedAt(0, 25));
  EXPECT_TRUE(editor->IsSelectedAt(0, 45));
  EXPECT_FALSE(editor->IsSelectedAt(0, 15));
  EXPECT_FALSE(editor->IsSelectedAt(0, 55));
}

TEST(Clicks, BelowTheLastRowTheClickGoesToTheLastRow) {
  TestEditor editor;
  editor->SetText(u"ab\ncd");
  editor->Click(4, 15, ClickCount::kSingle, Selecting::kNo);
  EXPECT_EQ(editor.Caret(), 4u);
}

}  // namespace
}  // namespace tambrel::editor
