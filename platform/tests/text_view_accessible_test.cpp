// The text view as a screen reader asks about it and edits it, through the accessible interface
// Qt's AT-SPI bridge uses: the text in UTF-16 units, the caret and the selection both ways, the
// pieces it reads by, where characters are on screen, and edits as undo steps of their own that
// wait for a command reading the text.
#include "platform/qt/text_view_accessible.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QWidget>
#include <ostream>
#include <string>

#include "platform/qt/accessible_text_spans.h"
#include "platform/tests/accessible_view_fixture.h"

namespace tambrel::platform::qt {
namespace {

// A piece as the interface answers it.
struct Piece {
  std::u16string text;
  int start = -1;
  int end = -1;
  bool operator==(const Piece&) const = default;
};

void PrintTo(const Piece& piece, std::ostream* out) {
  *out << '"' << ToQString(piece.text).toStdString() << "\" [" << piece.start << ", " << piece.end
       << ')';
}

// What the interface answers where there is no piece.
Piece Nothing() { return Piece{}; }

class AccessibleText : public AccessibleView {
 protected:
  Piece At(int offset, QAccessible::TextBoundaryType boundary) {
    Piece piece;
    piece.text = ToU16(text_->textAtOffset(offset, boundary, &piece.start, &piece.end));
    return piece;
  }
  Piece Before(int offset, QAccessible::TextBoundaryType boundary) {
    Piece piece;
    piece.text = ToU16(text_->textBeforeOffset(offset, boundary, &piece.start, &piece.end));
    return piece;
  }
  Piece After(int offset, QAccessible::TextBoundaryType boundary) {
    Piece piece;
    piece.text = ToU16(text_->textAfterOffset(offset, boundary, &piece.start, &piece.end));
    return piece;
  }
  std::pair<int, int> Selected(int index = 0) {
    std::pair<int, int> ends;
    text_->selection(index, &ends.first, &ends.second);
    return ends;
  }
};

TEST_F(AccessibleText, TheViewIsAnEditableMultiLineText) {
  EXPECT_NE(dynamic_cast<TextViewAccessible*>(accessible_), nullptr);
  EXPECT_EQ(accessible_->role(), QAccessible::EditableText);
  const QAccessible::State state = accessible_->state();
  EXPECT_TRUE(state.editable);
  EXPECT_TRUE(state.multiLine);
  EXPECT_TRUE(state.selectableText);
  EXPECT_TRUE(state.focusable);
  EXPECT_FALSE(state.readOnly);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(view_), accessible_) << "one object per view";
}

TEST_F(AccessibleText, TheTextIsTheDocumentInUtf16Units) {
  box_.SetText(u"春眠\r\n不觉晓\U0001F600x");
  EXPECT_EQ(text_->characterCount(), 10);
  EXPECT_EQ(ToU16(text_->text(0, -1)), u"春眠\r\n不觉晓\U0001F600x");
  EXPECT_EQ(ToU16(text_->text(2, 4)), u"\r\n");
  EXPECT_EQ(ToU16(text_->text(7, 100)), u"\U0001F600x");
  EXPECT_TRUE(text_->text(5, 3).isEmpty());
}

TEST_F(AccessibleText, AnAnswerIsCutToItsLimitButTheCountIsExact) {
  const std::size_t length = kMaxAccessibleTextUnits + 10;
  std::u16string line(length, u'中');
  line[kMaxAccessibleTextUnits] = u'末';
  box_.SetText(std::move(line));
  EXPECT_EQ(text_->characterCount(), static_cast<int>(length));
  EXPECT_EQ(text_->text(0, -1).size(), static_cast<qsizetype>(kMaxAccessibleTextUnits));
  EXPECT_EQ(ToU16(text_->text(static_cast<int>(kMaxAccessibleTextUnits), -1)),
            u"末" + std::u16string(9, u'中'));

  // A line longer than the limit is answered by the stretch of it around the offset.
  const int offset = static_cast<int>(kMaxAccessibleTextUnits);
  const Piece line_piece = At(offset, QAccessible::ParagraphBoundary);
  EXPECT_EQ(line_piece.text.size(), kMaxAccessibleTextUnits);
  EXPECT_EQ(line_piece.end - line_piece.start, static_cast<int>(kMaxAccessibleTextUnits));
  ASSERT_LE(line_piece.start, offset);
  ASSERT_GT(line_piece.end, offset);
  EXPECT_EQ(line_piece.text[static_cast<std::size_t>(offset - line_piece.start)], u'末');
}

TEST_F(AccessibleText, CaretAndSelectionAreTheEditors) {
  box_.SetText(u"春眠不觉晓");
  Model().Select(1, 4);
  EXPECT_EQ(text_->selectionCount(), 1);
  EXPECT_EQ(Selected(), std::make_pair(1, 4));
  EXPECT_EQ(text_->cursorPosition(), 4);
  Model().Select(5, 2);
  EXPECT_EQ(Selected(), std::make_pair(2, 5));
  EXPECT_EQ(text_->cursorPosition(), 2);
  Model().Select(3, 3);
  EXPECT_EQ(text_->selectionCount(), 0);
  EXPECT_EQ(Selected(), std::make_pair(0, 0));
  EXPECT_EQ(text_->cursorPosition(), 3);
}

TEST_F(AccessibleText, SettingTheCaretAndSelectionMovesTheEditors) {
  box_.SetText(u"春眠\r\n不觉晓\U0001F600x");
  text_->setCursorPosition(5);
  EXPECT_EQ(Model().GetSelection().caret.position, 5u);
  EXPECT_TRUE(Model().GetSelection().Empty());

  text_->setSelection(0, 1, 4);
  EXPECT_EQ(Model().GetSelection().anchor, 1u);
  EXPECT_EQ(Model().GetSelection().caret.position, 4u);
  // The editor has one selection: another takes its place.
  text_->addSelection(6, 2);
  EXPECT_EQ(Model().GetSelection().anchor, 6u);
  EXPECT_EQ(Model().GetSelection().caret.position, 2u);
  text_->removeSelection(0);
  EXPECT_TRUE(Model().GetSelection().Empty());
  EXPECT_EQ(Model().GetSelection().caret.position, 2u);

  // Never inside a character: not between the halves of a surrogate pair, nor inside CR LF.
  text_->setCursorPosition(8);
  EXPECT_EQ(Model().GetSelection().caret.position, 7u);
  text_->setCursorPosition(3);
  EXPECT_EQ(Model().GetSelection().caret.position, 2u);
  text_->setCursorPosition(1000);
  EXPECT_EQ(Model().GetSelection().caret.position, 10u);
}

TEST_F(AccessibleText, EachEditIsAnUndoStepOfItsOwn) {
  box_.SetNewLine(u"\r\n");
  box_.SetText(u"春眠不觉晓");
  Model().Select(5, 5);
  QTest::keyClicks(view_, "ab");
  editable_->insertText(2, QStringLiteral("，\n"));
  // A line break comes in as the document's, and the caret goes after the new text.
  EXPECT_EQ(Text(), u"春眠，\r\n不觉晓ab");
  EXPECT_EQ(Model().GetSelection().caret.position, 5u);
  editable_->replaceText(0, 2, QStringLiteral("夏日"));
  EXPECT_EQ(Text(), u"夏日，\r\n不觉晓ab");
  // Ends given the wrong way round are taken in order.
  editable_->deleteText(8, 5);
  EXPECT_EQ(Text(), u"夏日，\r\nab");

  Model().Undo();
  EXPECT_EQ(Text(), u"夏日，\r\n不觉晓ab");
  Model().Undo();
  EXPECT_EQ(Text(), u"春眠，\r\n不觉晓ab");
  Model().Undo();
  EXPECT_EQ(Text(), u"春眠不觉晓ab") << "the typing before stays its own step";
  Model().Undo();
  EXPECT_EQ(Text(), u"春眠不觉晓");
}

TEST_F(AccessibleText, ChangesWaitForTheCommandReadingTheText) {
  box_.SetText(u"abc");
  {
    const editor::InputQueue::Hold hold = Model().Input().HoldInput();
    editable_->insertText(3, QStringLiteral("d"));
    text_->setCursorPosition(1);
    EXPECT_EQ(Text(), u"abc");
    EXPECT_EQ(text_->cursorPosition(), 0);
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(Text(), u"abcd");
  EXPECT_EQ(text_->cursorPosition(), 1) << "in the order they came";
}

TEST_F(AccessibleText, PiecesByCharacterWordSentenceAndParagraph) {
  // 春0 … 。11 CR12 LF13 a14 b15 space16,17 c18 d19 😀20,21 LF22, 23 units.
  box_.SetText(u"春眠不觉晓，处处闻啼鸟。\r\nab  cd\U0001F600\n");
  using B = QAccessible::TextBoundaryType;

  EXPECT_EQ(At(13, B::CharBoundary), (Piece{u"\r\n", 12, 14}));
  EXPECT_EQ(At(21, B::CharBoundary), (Piece{u"\U0001F600", 20, 22}));
  EXPECT_EQ(At(23, B::CharBoundary), (Piece{u"", 23, 23}));
  EXPECT_EQ(Before(14, B::CharBoundary), (Piece{u"\r\n", 12, 14}));
  EXPECT_EQ(After(11, B::CharBoundary), (Piece{u"\r\n", 12, 14}));
  EXPECT_EQ(After(20, B::CharBoundary), (Piece{u"\n", 22, 23}));
  EXPECT_EQ(After(22, B::CharBoundary), Nothing());
  EXPECT_EQ(Before(0, B::CharBoundary), Nothing());

  // A run of Chinese between punctuation is one word, as Ctrl+arrows take it.
  EXPECT_EQ(At(1, B::WordBoundary), (Piece{u"春眠不觉晓", 0, 5}));
  EXPECT_EQ(After(1, B::WordBoundary), (Piece{u"，", 5, 6}));
  EXPECT_EQ(Before(6, B::WordBoundary), (Piece{u"，", 5, 6}));
  EXPECT_EQ(Before(5, B::WordBoundary), (Piece{u"春眠不觉晓", 0, 5}));
  EXPECT_EQ(At(12, B::WordBoundary), (Piece{u"\r\n", 12, 14}));
  EXPECT_EQ(At(15, B::WordBoundary), (Piece{u"ab", 14, 16}));
  EXPECT_EQ(After(15, B::WordBoundary), (Piece{u"  ", 16, 18}));
  EXPECT_EQ(Before(14, B::WordBoundary), (Piece{u"\r\n", 12, 14}));

  EXPECT_EQ(At(3, B::SentenceBoundary), (Piece{u"春眠不觉晓，处处闻啼鸟。\r\n", 0, 14}));
  EXPECT_EQ(After(3, B::SentenceBoundary), (Piece{u"ab  cd\U0001F600\n", 14, 23}));

  EXPECT_EQ(At(20, B::ParagraphBoundary), (Piece{u"ab  cd\U0001F600\n", 14, 23}));
  EXPECT_EQ(Before(20, B::ParagraphBoundary), (Piece{u"春眠不觉晓，处处闻啼鸟。\r\n", 0, 14}));
  EXPECT_EQ(After(20, B::ParagraphBoundary), Nothing());

  EXPECT_EQ(At(5, B::NoBoundary), (Piece{Text(), 0, 23}));
  EXPECT_EQ(After(5, B::NoBoundary), Nothing());
}

TEST_F(AccessibleText, LinesAreTheRowsOnScreenAndHardLinesOffIt) {
  const int per_row = PerRow();
  const std::u16string wrapped = LineOfRows(3);
  std::u16string text = wrapped + u"\r\n";
  for (int i = 0; i < 300; ++i) text += u"短行\r\n";
  box_.SetText(text);
  const int first_end = static_cast<int>(wrapped.size());
  using B = QAccessible::TextBoundaryType;

  EXPECT_EQ(At(1, B::LineBoundary), (Piece{wrapped.substr(0, per_row), 0, per_row}));
  EXPECT_EQ(At(per_row, B::LineBoundary).start, per_row) << "a wrap position starts the next row";
  EXPECT_EQ(After(1, B::LineBoundary).start, per_row);
  EXPECT_EQ(Before(per_row, B::LineBoundary).end, per_row);
  // The last row of a line takes its break.
  EXPECT_EQ(At(first_end + 1, B::LineBoundary),
            (Piece{wrapped.substr(2 * per_row) + u"\r\n", 2 * per_row, first_end + 2}));

  // Far below the view a line is the hard line, not wrapped for the question.
  const int far = first_end + 2 + 250 * 4;
  EXPECT_FALSE(ScreenRowOf(Model(), static_cast<std::size_t>(far)).has_value());
  EXPECT_EQ(At(far + 1, B::LineBoundary), (Piece{u"短行\r\n", far, far + 4}));

  // A line that starts above the view is cut where the view begins.
  Model().ScrollBy(1);
  ASSERT_EQ(Model().View().Top(), (text::RowPlace{0, 1}));
  EXPECT_EQ(At(0, B::LineBoundary), (Piece{wrapped.substr(0, per_row), 0, per_row}));
  EXPECT_EQ(Before(per_row + 1, B::LineBoundary), (Piece{wrapped.substr(0, per_row), 0, per_row}));
}

TEST_F(AccessibleText, CharactersAreWhereTheRowsArePainted) {
  std::u16string text = u"春眠不觉晓\r\n处处";
  for (int i = 0; i < 300; ++i) text += u"\r\n闻啼鸟";
  box_.SetText(text);
  const QRect first = text_->characterRect(0);
  EXPECT_EQ(first.topLeft(), view_->viewport()->mapToGlobal(QPoint(kTextMargin, kTextMargin)));
  EXPECT_EQ(first.height(), view_->RowHeight());
  for (int i = 0; i < 5; ++i) {
    const QRect rect = text_->characterRect(i);
    ASSERT_GT(rect.width(), 1) << i;
    EXPECT_EQ(rect.top(), first.top()) << i;
    if (i > 0) {
      EXPECT_GE(rect.left(), text_->characterRect(i - 1).right()) << i;
    }
    EXPECT_EQ(text_->offsetAtPoint(rect.center()), i) << i;
  }
  EXPECT_EQ(text_->characterRect(7).top(), first.top() + view_->RowHeight());
  EXPECT_EQ(text_->characterRect(7).left(), first.left());

  EXPECT_TRUE(text_->characterRect(text_->characterCount() - 1).isNull()) << "off screen";
  const QPoint outside = view_->viewport()->mapToGlobal(QPoint(-20, -20));
  EXPECT_EQ(text_->offsetAtPoint(outside), -1);
}

TEST_F(AccessibleText, ScrollingToTextShowsItAndLeavesTheCaret) {
  std::u16string text;
  for (int i = 0; i < 500; ++i) text += u"闻啼鸟\r\n";
  box_.SetText(text);
  const int far = 400 * 5;
  ASSERT_FALSE(ScreenRowOf(Model(), static_cast<std::size_t>(far)).has_value());
  accessible_->textInterface()->scrollToSubstring(far, far + 3);
  EXPECT_TRUE(ScreenRowOf(Model(), static_cast<std::size_t>(far)).has_value());
  EXPECT_FALSE(text_->characterRect(far).isNull());
  EXPECT_EQ(text_->cursorPosition(), 0);
}

}  // namespace
}  // namespace tambrel::platform::qt
