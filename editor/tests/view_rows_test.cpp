// Which rows the view shows: never scrolled past the end, the scroll bar, and the row questions
// the gutter asks, against rows counted the long way.
#include <gtest/gtest.h>

#include <random>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

std::u16string Lines(int count) {
  std::u16string text;
  for (int line = 0; line < count; ++line) text += u"line\n";
  return text;  // count + 1 rows, the last empty
}

TEST(Scrolling, TheWheelStopsWithTheLastRowAtTheBottom) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(20));
  editor->ScrollBy(1000);
  EXPECT_EQ(editor->View().Top().line, 16u);
  EXPECT_EQ(editor->Rows().size(), 5u);
  editor->ScrollBy(-1000);
  EXPECT_EQ(editor->View().Top().line, 0u);
}

TEST(Scrolling, AShortDocumentDoesNotScrollAtAll) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(2));
  EXPECT_FALSE(editor->ScrollBy(3));
  EXPECT_EQ(editor->View().Top().line, 0u);
}

TEST(Scrolling, ATallerViewShowsMoreOfTheEndRatherThanEmptyRows) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(20));
  editor->ScrollBy(1000);
  editor->SetVisibleRows(8);
  EXPECT_EQ(editor->View().Top().line, 13u);
}

TEST(Scrolling, WrappedRowsScrollOneByOne) {
  TestEditor editor(100, 3);
  editor->SetText(std::u16string(100, u'a'));  // ten rows
  editor->ScrollBy(4);
  EXPECT_EQ(editor->View().Top().row_in_line, 4u);
  editor->ScrollBy(100);
  EXPECT_EQ(editor->View().Top().row_in_line, 7u);
}

TEST(Scrolling, TheScrollBarCountsRowsOnceTheyAreCounted) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(20));
  while (editor->CountSome()) {
  }
  const ScrollBarState bar = editor->View().ScrollBar();
  EXPECT_EQ(bar.maximum, 16);
  EXPECT_EQ(bar.page, 5);
  editor->ScrollToBarValue(7);
  EXPECT_EQ(editor->View().Top().line, 7u);
  EXPECT_EQ(editor->View().ScrollBar().value, 7);
}

TEST(Scrolling, TheCaretComesIntoViewWhenItMoves) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(20));
  editor->Move(Motion::kDocumentEnd, Selecting::kNo);
  EXPECT_EQ(editor->View().Top().line, 16u);
  EXPECT_EQ(editor->CaretOnScreen()->screen_row, 4u);
  editor->Move(Motion::kDocumentStart, Selecting::kNo);
  EXPECT_EQ(editor->View().Top().line, 0u);
}

// The gutter's questions, bounded or not, agree with numbers counted the long way.
TEST(RowQuestions, BoundedAnswersAgreeWithCountedRows) {
  std::mt19937 random(11);
  for (int round = 0; round < 30; ++round) {
    std::u16string text;
    const int lines = 1 + static_cast<int>(random() % 40);
    for (int line = 0; line < lines; ++line) {
      text += std::u16string(random() % 45, u'x');
      if (line + 1 < lines) text += u"\n";
    }
    TestEditor editor(100, 4);
    editor->SetText(text);
    editor->ScrollBy(static_cast<std::ptrdiff_t>(random() % 20));
    const std::size_t limit = 1 + random() % 30;
    const std::size_t position = random() % (text.size() + 1);
    const text::RowPlace place = editor->PlaceOf(position);
    const std::size_t top = editor->View().CountTopRowNumber();
    const std::size_t count_bounded = editor->View().RowCountUpTo(top + limit);
    const std::size_t number_bounded = editor->View().RowNumberUpTo(place, top + limit);
    const std::size_t all = editor->View().CountAllRows();
    const std::size_t number = editor->View().CountRowNumber(place);
    EXPECT_EQ(count_bounded, std::min(all, top + limit)) << "round " << round;
    EXPECT_EQ(number_bounded, std::min(number, top + limit)) << "round " << round;
  }
}

TEST(Announcements, EachCallTellsWhatChangedOnce) {
  TestEditor editor(200, 5);
  editor->SetText(Lines(20));
  editor.Changes().clear();
  editor->Type(u"x");
  ASSERT_EQ(editor.Changes().size(), 1u);
  EXPECT_TRUE(editor.Changes()[0] & kTextChanged);
  EXPECT_TRUE(editor.Changes()[0] & kSelectionChanged);
  editor.Changes().clear();
  editor->ScrollBy(2);
  ASSERT_EQ(editor.Changes().size(), 1u);
  EXPECT_EQ(editor.Changes()[0], static_cast<unsigned>(kViewMoved));
  editor.Changes().clear();
  editor->ScrollBy(-100);
  editor->ScrollBy(-1);  // already at the top: nothing to tell
  EXPECT_EQ(editor.Changes().size(), 1u);
}

}  // namespace
}  // namespace tambrel::editor
