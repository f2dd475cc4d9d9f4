// The editor's own text view behind the edit box, driven as the user and the program drive it:
// display-row questions on wrapped lines, resizes, scrolling and edits, and the typing, undo,
// input method, selection and keyboard movement by display row of a real widget.
#include "platform/qt/text_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>
#include <string>
#include <vector>

#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_picture_box.h"
#include "platform/qt/qt_row_geometry.h"

namespace tambrel::platform::qt {
namespace {

// The editor as the program builds it, shown so that it has a real width.
class EditorRows : public ::testing::Test {
 protected:
  EditorRows()
      : box_("Text1", &host_, kWhite, kBlack, FontChoice{u"宋体", 12.0, false, false}),
        view_(box_.view()) {
    host_.resize(420, 300);
    view_->setGeometry(0, 0, 420, 300);
    host_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host_));
    view_->setFocus();
  }

  // How many CJK characters (all one em wide) fit on one row at the present width, measured as
  // wrapping measures, in 1/64 pixel.
  int PerRow() const {
    const QFontMetricsF metrics(view_->TextFont());
    const float available = static_cast<float>(view_->viewport()->width() - 2 * kTextMargin);
    const float advance = static_cast<float>(metrics.horizontalAdvance(QChar(u'中')));
    return static_cast<int>(text::CharMetrics::ToFixed(available) /
                            text::CharMetrics::ToFixed(advance));
  }

  // A line of CJK characters that takes exactly `rows` rows at the present width.
  std::u16string LineOfRows(int rows) const {
    return std::u16string(static_cast<std::size_t>((rows - 1) * PerRow() + PerRow() / 2), u'中');
  }

  // Many lines of three rows each.
  std::u16string ThreeRowLines(int lines) const {
    const std::u16string line = LineOfRows(3);
    std::u16string text;
    for (int i = 0; i < lines; ++i) {
      if (i > 0) text += u'\n';
      text += line;
    }
    return text;
  }

  void LetIdleCountingFinish() {
    QElapsedTimer clock;
    clock.start();
    while (!box_.Model().View().AllCounted() && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_TRUE(box_.Model().View().AllCounted());
  }

  void Resize(int width) {
    view_->resize(width, view_->height());
    QCoreApplication::processEvents();
  }

  QWidget host_;
  QtEditBox box_;
  TextView* view_;
};

TEST_F(EditorRows, AnEmptyEditorHasOneRowAtTheTop) {
  EXPECT_EQ(box_.LineCount(), 1);
  EXPECT_EQ(box_.FirstVisibleLine(), 0);
  EXPECT_EQ(box_.LineFromChar(0), 0);
  EXPECT_EQ(box_.CountedFirstVisibleLine(), 0);
}

TEST_F(EditorRows, EveryWrappedRowCounts) {
  const std::u16string first = LineOfRows(3);
  box_.SetText(first + u"\r\n" + LineOfRows(2) + u"\n");
  EXPECT_EQ(box_.LineCount(), 3 + 2 + 1);
  EXPECT_EQ(box_.LineFromChar(PerRow() - 1), 0);
  EXPECT_EQ(box_.LineFromChar(PerRow()), 1);
  // The line break closing a wrapped line belongs to its last row, both of its units.
  const auto at_break = static_cast<std::int32_t>(first.size());
  EXPECT_EQ(box_.LineFromChar(at_break), 2);
  EXPECT_EQ(box_.LineFromChar(at_break + 1), 2);
  EXPECT_EQ(box_.LineFromChar(at_break + 2), 3);
  // Past the end answers the last row.
  EXPECT_EQ(box_.LineFromChar(1 << 30), 5);
}

TEST_F(EditorRows, AfterAWidthChangeTheRowsInViewAreThoseOfAFullCount) {
  box_.SetText(ThreeRowLines(2000));
  LetIdleCountingFinish();
  ASSERT_EQ(box_.LineCount(), 6000);
  const std::size_t line_length = LineOfRows(3).size();
  box_.SetSelStart(static_cast<std::int32_t>((line_length + 1) * 1500));
  const int per_row_before = PerRow();

  Resize(300);
  ASSERT_LT(PerRow(), per_row_before);
  // Straight after the change nothing above the view is counted: no number is known yet.
  const std::optional<std::int32_t> right_away = box_.CountedFirstVisibleLine();
  // Lines are now ceil(length / per row) rows each; the view shows line 1500 somewhere.
  const int rows_per_line = static_cast<int>((line_length + PerRow() - 1) / PerRow());
  LetIdleCountingFinish();
  EXPECT_EQ(box_.LineCount(), 2000 * rows_per_line);
  const text::RowPlace top = box_.Model().View().Top();
  const auto expected = static_cast<std::int32_t>(top.line * rows_per_line + top.row_in_line);
  EXPECT_EQ(box_.CountedFirstVisibleLine(), expected);
  EXPECT_EQ(box_.FirstVisibleLine(), expected);
  if (right_away) {
    EXPECT_EQ(*right_away, expected) << "a number known at once must be exact";
  }
  // The caret's row, below the top and counted through the view alone, agrees.
  EXPECT_EQ(box_.LineFromChar(box_.SelStart()), 1500 * rows_per_line);
}

TEST_F(EditorRows, TheFirstVisibleRowIsExactWhenTheRowsAboveWereNeverCounted) {
  box_.SetText(ThreeRowLines(3000));
  // Jump far down before any idle counting ran; the exact question counts what it needs.
  box_.SetSelStart(box_.TextLength());
  EXPECT_FALSE(box_.Model().View().AllCounted());
  const std::int32_t first = box_.FirstVisibleLine();
  EXPECT_EQ(first, 3 * 3000 - box_.Model().View().VisibleRows());
  EXPECT_EQ(box_.LineFromChar(box_.TextLength()), 3 * 3000 - 1);
}

TEST_F(EditorRows, ABoundedQuestionCountsNothingAboveTheView) {
  box_.SetText(ThreeRowLines(3000));
  box_.SetSelStart(box_.TextLength());
  EXPECT_EQ(box_.CountedFirstVisibleLine(), std::nullopt);
  EXPECT_LT(box_.Model().Document().CountedLines(), 100u) << "nothing counted on the way down";
  LetIdleCountingFinish();
  ASSERT_TRUE(box_.CountedFirstVisibleLine().has_value());
  const std::int32_t first = *box_.CountedFirstVisibleLine();
  EXPECT_EQ(box_.LineCountUpTo(first + 5), std::min(first + 5, 9000));
  EXPECT_EQ(box_.LineFromCharUpTo(box_.TextLength(), first + 2), first + 2);
}

TEST_F(EditorRows, TheScrollBarAndTheWheelMoveTheTopRow) {
  box_.SetText(ThreeRowLines(300));
  LetIdleCountingFinish();
  view_->verticalScrollBar()->setValue(3 * 150 + 1);
  EXPECT_EQ(box_.FirstVisibleLine(), 451);
  EXPECT_EQ(box_.Model().View().Top(), (text::RowPlace{150, 1}));

  QWheelEvent wheel(QPointF(20, 20), view_->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(view_->viewport(), &wheel);
  EXPECT_EQ(box_.FirstVisibleLine(), 451 + QApplication::wheelScrollLines());
  EXPECT_EQ(view_->verticalScrollBar()->value(), 451 + QApplication::wheelScrollLines());
}

TEST_F(EditorRows, EveryScrollReachesTheHookAfterTheViewMoved) {
  box_.SetText(ThreeRowLines(300));
  LetIdleCountingFinish();
  std::vector<int> seen;
  box_.SetHook([&](EditMessage message) {
    if (message == EditMessage::kVerticalScroll) seen.push_back(box_.FirstVisibleLine());
  });
  view_->verticalScrollBar()->setValue(30);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 30);
  // The caret moved by code far below the view: the view scrolls to follow it.
  box_.SetSelStart(box_.TextLength());
  EXPECT_EQ(seen.back(), 900 - box_.Model().View().VisibleRows());
  box_.SetHook(nullptr);
}

TEST_F(EditorRows, EditsAndFontChangesKeepTheCountExact) {
  box_.SetText(ThreeRowLines(500));
  LetIdleCountingFinish();
  box_.SetSelStart(0);
  box_.SetSelText(LineOfRows(5) + u"\n");
  EXPECT_EQ(box_.LineCount(), 1505);
  const int length = static_cast<int>(LineOfRows(3).size());
  const int five = static_cast<int>(LineOfRows(5).size());
  EXPECT_EQ(box_.LineFromChar(five + 1 + 400 * (length + 1)), 5 + 1200);

  const int before = PerRow();
  box_.SetFont(FontChoice{u"宋体", 18.0, false, false});
  const int after = PerRow();
  ASSERT_LT(after, before);
  EXPECT_EQ(box_.LineCount(), (five + after - 1) / after + 500 * ((length + after - 1) / after));
}

TEST_F(EditorRows, AGutterRowIsAsTallAsAnEditorRowInEveryFont) {
  QtPictureBox gutter("picLines", new PictureWidget(&host_), kWhite, kBlack, FontChoice{});
  for (const double size : {9.0, 12.0, 20.0, 36.0}) {
    const FontChoice font{u"宋体", size, false, false};
    box_.SetFont(font);
    gutter.SetFont(font);
    const PixelRect row = gutter.MeasureText(u"Hy");
    EXPECT_EQ(row.bottom - row.top, view_->RowHeight()) << size;
  }
  // The top row stands below the viewport's edge by the text margin.
  EXPECT_EQ(box_.FirstVisibleLineTop(), view_->viewport()->y() + kTextMargin);
}

TEST_F(EditorRows, TheTextAtTheTopStaysThereAcrossAWidthChange) {
  box_.SetText(ThreeRowLines(100));
  LetIdleCountingFinish();
  view_->verticalScrollBar()->setValue(3 * 40 + 2);  // the third row of line 40
  const text::RowPlace before = box_.Model().View().Top();
  ASSERT_EQ(before, (text::RowPlace{40, 2}));
  const std::size_t top_text = box_.Model().Rows().front().start;
  Resize(300);
  const editor::ScreenRow& shown = box_.Model().Rows().front();
  EXPECT_EQ(shown.place.line, 40u);
  EXPECT_LE(shown.start, top_text);
  EXPECT_GT(shown.end, top_text) << "the row at the top holds what it held";
}

TEST_F(EditorRows, ACaretInViewStaysInViewWhenTheWidthChanges) {
  // One long line, its end in view, as after Ctrl+End while rows are still being counted.
  box_.SetText(std::u16string(300000, u'中'));
  box_.SetSelStart(box_.TextLength());
  for (const int width : {360, 300, 380}) {
    Resize(width);
    LetIdleCountingFinish();
    const std::int32_t caret_row = box_.LineFromChar(box_.SelStart());
    const std::int32_t top = box_.FirstVisibleLine();
    EXPECT_GE(caret_row, top) << width;
    EXPECT_LT(caret_row, top + box_.Model().View().VisibleRows()) << width;
    EXPECT_EQ(caret_row, box_.LineCount() - 1) << width;
  }
}

// --- The widget as the user types into it ---------------------------------------------------

class EditorTyping : public EditorRows {};

TEST_F(EditorTyping, TypingUndoAndRedo) {
  box_.SetNewLine(u"\r\n");
  QTest::keyClicks(view_, "abc");
  QTest::keyClick(view_, Qt::Key_Return);
  QTest::keyClicks(view_, "d");
  EXPECT_EQ(box_.Text(), u"abc\r\nd");
  QTest::keyClick(view_, Qt::Key_Backspace);
  QTest::keyClick(view_, Qt::Key_Backspace);  // the whole CR LF at once
  EXPECT_EQ(box_.Text(), u"abc");
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"abc\r\nd");
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"abc");
  QTest::keyClick(view_, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"abc\r\n");
  EXPECT_EQ(box_.SelStart(), 5);
}

TEST_F(EditorTyping, UpAndDownMoveByDisplayRowAndSelectAcrossWrappedRows) {
  box_.SetText(LineOfRows(3) + u"\nend");
  box_.SetSelStart(2);
  QTest::keyClick(view_, Qt::Key_Down);
  EXPECT_EQ(box_.SelStart(), PerRow() + 2);
  EXPECT_EQ(box_.LineFromChar(box_.SelStart()), 1);
  QTest::keyClick(view_, Qt::Key_Up);
  EXPECT_EQ(box_.SelStart(), 2);

  // Shift+Down from the start of a row selects exactly that row.
  box_.SetSelStart(0);
  QTest::keyClick(view_, Qt::Key_Down, Qt::ShiftModifier);
  QTest::keyClick(view_, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(box_.SelStart(), 0);
  EXPECT_EQ(box_.SelLength(), 2 * PerRow());

  // Home and End stay within the display row.
  box_.SetSelStart(PerRow() + 3);
  QTest::keyClick(view_, Qt::Key_Home);
  EXPECT_EQ(box_.SelStart(), PerRow());
  // End stays on the row, after its last character.
  QTest::keyClick(view_, Qt::Key_End);
  EXPECT_EQ(box_.SelStart(), 2 * PerRow());
  QTest::keyClicks(view_, "X");
  EXPECT_EQ(box_.Text().substr(2 * PerRow() - 1, 2), u"中X");
  QTest::keyClick(view_, Qt::Key_Backspace);
  QTest::keyClick(view_, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(box_.SelStart(), box_.TextLength());
}

TEST_F(EditorTyping, ArrowsStepOverCrLfAndSurrogatePairsWhole) {
  box_.SetText(u"a\r\n\U0001F600b");
  box_.SetSelStart(1);
  QTest::keyClick(view_, Qt::Key_Right);
  EXPECT_EQ(box_.SelStart(), 3);
  QTest::keyClick(view_, Qt::Key_Right);
  EXPECT_EQ(box_.SelStart(), 5);
  QTest::keyClick(view_, Qt::Key_Left);
  EXPECT_EQ(box_.SelStart(), 3);
  QTest::keyClick(view_, Qt::Key_Left);
  EXPECT_EQ(box_.SelStart(), 1);
  // A position between the CR and the LF is not one.
  box_.SetSelStart(2);
  EXPECT_EQ(box_.SelStart(), 1);
}

TEST_F(EditorTyping, TheInputMethodsPreeditShowsAndOnlyItsCommitEntersTheText) {
  box_.SetText(u"前后");
  box_.SetSelStart(1);
  QInputMethodEvent preedit(QStringLiteral("ni hao"), {});
  QCoreApplication::sendEvent(view_, &preedit);
  EXPECT_EQ(box_.Text(), u"前后");
  // What an input method asks the widget, through the widget's public door.
  QWidget* widget = view_;
  EXPECT_EQ(widget->inputMethodQuery(Qt::ImCursorPosition).toInt(), 1);
  EXPECT_EQ(widget->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("前后"));

  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("你好"));
  QCoreApplication::sendEvent(view_, &commit);
  EXPECT_EQ(box_.Text(), u"前你好后");
  EXPECT_EQ(box_.SelStart(), 3);
  // The commit is one edit that undo takes back.
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"前后");

  // An input method may take back text before the caret as it commits.
  box_.SetSelStart(2);
  QInputMethodEvent replace;
  replace.setCommitString(QStringLiteral("後"), -1, 1);
  QCoreApplication::sendEvent(view_, &replace);
  EXPECT_EQ(box_.Text(), u"前後");
}

TEST_F(EditorTyping, CopyAndPasteKeepTheTextAndPastedBreaksTakeTheNewLine) {
  box_.SetNewLine(u"\n");
  box_.SetText(u"一二三");
  box_.SetSelStart(0);
  box_.SetSelLength(2);
  QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier);
  box_.SetSelStart(3);
  QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"一二三一二");
  QGuiApplication::clipboard()->setText(QStringLiteral("x\r\ny"));
  QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(box_.Text(), u"一二三一二x\ny");
}

TEST_F(EditorTyping, AKeystrokeAtTheEndOfAVeryLongLineKeepsTheRowsExact) {
  box_.SetText(std::u16string(2'000'000, u'中'));
  box_.SetSelStart(box_.TextLength());
  QTest::keyClicks(view_, "xy");
  const int per_row = PerRow();
  const auto units = 2'000'000 + 2;
  // Two ASCII letters take less room than one CJK character.
  const int rows = (2'000'000 + per_row - 1) / per_row;
  EXPECT_EQ(box_.TextLength(), units);
  EXPECT_GE(box_.LineCount(), rows);
  EXPECT_LE(box_.LineCount(), rows + 1);
  EXPECT_EQ(box_.LineFromChar(box_.TextLength()), box_.LineCount() - 1);
}

}  // namespace
}  // namespace tambrel::platform::qt
