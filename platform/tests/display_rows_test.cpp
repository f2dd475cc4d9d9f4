// The editor's display-row queries against the real editor: wrapped lines, resizes, scrolling,
// edits and documents far larger than one screen.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>
#include <string>
#include <vector>

#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_picture_box.h"
#include "platform/qt/qt_strings.h"

namespace tambrel::platform::qt {
namespace {

// The editor as the program builds it, shown so that it has a real width.
class EditorRows : public ::testing::Test {
 protected:
  EditorRows()
      : widget_(new EditorWidget(&host_)),
        box_("Text1", widget_, kWhite, kBlack, FontChoice{u"宋体", 12.0, false, false}) {
    host_.resize(420, 300);
    widget_->setGeometry(0, 0, 420, 300);
    host_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host_));
  }

  // How many CJK characters (all one em wide) fit on one row at the present width.
  int PerRow() const {
    const QFontMetricsF metrics(widget_->document()->defaultFont());
    const qreal available =
        widget_->viewport()->width() - 2 * widget_->document()->documentMargin();
    return static_cast<int>(std::floor(available / metrics.horizontalAdvance(QChar(u'中'))));
  }

  // A line of CJK characters that takes exactly `rows` rows at the present width.
  std::u16string LineOfRows(int rows) const {
    return std::u16string(static_cast<std::size_t>((rows - 1) * PerRow() + PerRow() / 2), u'中');
  }

  // The row the editor shows at the very top, found by hit-testing its middle.
  int RowAtTopByHitTest(int rows_per_block) const {
    const int middle =
        static_cast<int>(QFontMetricsF(widget_->document()->defaultFont()).height() / 2);
    const QTextCursor at = widget_->cursorForPosition(QPoint(20, middle + 1));
    const QTextBlock block = at.block();
    return block.blockNumber() * rows_per_block + (at.position() - block.position()) / PerRow();
  }

  void LetIdleCountingFinish() {
    QElapsedTimer clock;
    clock.start();
    while (!box_.rows()->AllCounted() && clock.elapsed() < 20000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_TRUE(box_.rows()->AllCounted());
  }

  // Many blocks of three rows each.
  std::u16string ThreeRowBlocks(int blocks) const {
    const std::u16string line = LineOfRows(3);
    std::u16string text;
    for (int i = 0; i < blocks; ++i) {
      if (i > 0) text += u'\n';
      text += line;
    }
    return text;
  }

  QWidget host_;
  EditorWidget* widget_;
  QtEditBox box_;
};

TEST_F(EditorRows, AnEmptyEditorHasOneRowAtTheTop) {
  EXPECT_EQ(box_.LineCount(), 1);
  EXPECT_EQ(box_.FirstVisibleLine(), 0);
  EXPECT_EQ(box_.LineFromChar(0), 0);
}

TEST_F(EditorRows, EveryWrappedRowCounts) {
  ASSERT_GT(PerRow(), 6);
  const std::u16string three = LineOfRows(3);
  const std::u16string two = LineOfRows(2);
  box_.SetText(three + u"\n\nabc\n" + two);
  const int p = PerRow();
  EXPECT_EQ(box_.LineCount(), 3 + 1 + 1 + 2);
  EXPECT_EQ(box_.LineFromChar(0), 0);
  EXPECT_EQ(box_.LineFromChar(p - 1), 0);
  EXPECT_EQ(box_.LineFromChar(p), 1);
  // The line break closing a wrapped line belongs to its last row.
  const int after_three = static_cast<int>(three.size());
  EXPECT_EQ(box_.LineFromChar(after_three), 2);
  EXPECT_EQ(box_.LineFromChar(after_three + 1), 3);
  EXPECT_EQ(box_.LineFromChar(after_three + 2), 4);
  EXPECT_EQ(box_.LineFromChar(after_three + 6 + p + 1), 6);
  // Past the end answers the last row.
  EXPECT_EQ(box_.LineFromChar(1 << 30), 6);
}

TEST_F(EditorRows, AResizeRenumbersAtOnceAndAfterIdleCounting) {
  box_.SetText(ThreeRowBlocks(400));
  LetIdleCountingFinish();
  EXPECT_EQ(box_.LineCount(), 1200);

  const int wide = PerRow();
  const int length = static_cast<int>(LineOfRows(3).size());
  widget_->setGeometry(0, 0, 230, 300);
  const int narrow = PerRow();
  ASSERT_LT(narrow, wide);
  const int rows_per_block = (length + narrow - 1) / narrow;
  ASSERT_GT(rows_per_block, 3);
  // Asked straight away, before any idle time: still exact.
  EXPECT_EQ(box_.LineFromChar(200 * (length + 1)), 200 * rows_per_block);
  EXPECT_EQ(box_.LineCount(), 400 * rows_per_block);
  LetIdleCountingFinish();
  EXPECT_EQ(box_.LineCount(), 400 * rows_per_block);
}

TEST_F(EditorRows, ABoundedQuestionCountsOnlyUpToItsLimit) {
  box_.SetText(ThreeRowBlocks(3000));
  EXPECT_EQ(box_.LineCountUpTo(30), 30);
  EXPECT_EQ(box_.LineFromCharUpTo(box_.TextLength(), 30), 30);
  EXPECT_FALSE(box_.rows()->AllCounted());
  EXPECT_EQ(box_.LineFromCharUpTo(0, 30), 0);
  EXPECT_EQ(box_.LineCountUpTo(1 << 30), 9000);
}

TEST_F(EditorRows, TheFirstVisibleRowIsExactWhenTheRowsAboveWereNeverShown) {
  box_.SetText(ThreeRowBlocks(3000));
  // Jump far down before any idle counting ran.
  box_.SetSelStart(box_.TextLength());
  widget_->ensureCursorVisible();
  const int top = box_.FirstVisibleLine();
  EXPECT_GT(top, 8900);
  EXPECT_EQ(top, RowAtTopByHitTest(3));
  EXPECT_EQ(box_.LineFromChar(box_.TextLength()), 8999);
}

TEST_F(EditorRows, ScrolledIntoTheMiddleOfAWrappedLine) {
  box_.SetText(ThreeRowBlocks(300));
  LetIdleCountingFinish();
  // Once every row is counted the scroll bar's value is the top row.
  widget_->verticalScrollBar()->setValue(3 * 150 + 1);
  EXPECT_EQ(box_.FirstVisibleLine(), 451);
  EXPECT_EQ(RowAtTopByHitTest(3), 451);
  // Row 451 begins the viewport, which starts below the editor's frame.
  EXPECT_EQ(box_.FirstVisibleLineTop(), widget_->viewport()->y());

  widget_->verticalScrollBar()->setValue(3 * 150 + 2);
  EXPECT_EQ(box_.FirstVisibleLine(), 452);
}

TEST_F(EditorRows, TheTopRowStandsBelowTheDocumentMargin) {
  box_.SetText(u"一\n二");
  const QTextCursor first(widget_->document());
  EXPECT_EQ(box_.FirstVisibleLineTop(),
            widget_->cursorRect(first).top() + widget_->viewport()->y());
  EXPECT_GT(box_.FirstVisibleLineTop(), widget_->viewport()->y());
}

TEST_F(EditorRows, ARowCutAtTheTopIsFirstOnlyWhileItsCentreShows) {
  box_.SetText(LineOfRows(3));
  const QTextBlock block = widget_->document()->firstBlock();
  const qreal height = block.layout()->lineAt(0).height();
  EXPECT_EQ(box_.rows()->FirstVisibleRow(block, -(height / 2) + 1).row, 0);
  const DisplayRowCounter::VisibleRow next = box_.rows()->FirstVisibleRow(block, -(height - 1));
  EXPECT_EQ(next.row, 1);
  EXPECT_DOUBLE_EQ(next.top, 1.0);
}

TEST_F(EditorRows, EditsAndFontChangesKeepTheCountExact) {
  box_.SetText(ThreeRowBlocks(500));
  LetIdleCountingFinish();
  ASSERT_EQ(box_.LineCount(), 1500);

  // Insert a five-row line near the top, then ask about a row far below it.
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
  const int rows_per_block = (length + after - 1) / after;
  const int five_rows = (five + after - 1) / after;
  EXPECT_EQ(box_.LineCount(), five_rows + 500 * rows_per_block);
}

TEST_F(EditorRows, EveryScrollReachesTheHookAfterTheViewMoved) {
  box_.SetText(ThreeRowBlocks(300));
  LetIdleCountingFinish();
  std::vector<int> seen;
  box_.SetHook([&](EditMessage message) {
    if (message == EditMessage::kVerticalScroll) seen.push_back(box_.FirstVisibleLine());
  });

  widget_->verticalScrollBar()->setValue(30);
  ASSERT_EQ(seen, std::vector<int>{30});

  QWheelEvent wheel(QPointF(50, 50), widget_->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget_->viewport(), &wheel);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_GT(seen[1], 30);
  EXPECT_EQ(seen[1], box_.FirstVisibleLine());

  // The caret moved by code far below the view: the editor scrolls to follow it.
  box_.SetSelStart(box_.TextLength());
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_GT(seen[2], 800);
  EXPECT_EQ(seen[2], RowAtTopByHitTest(3));

  QTest::keyClick(widget_, Qt::Key_PageUp);
  ASSERT_GE(seen.size(), 4u);
  EXPECT_LT(seen.back(), seen[2]);
  EXPECT_EQ(seen.back(), RowAtTopByHitTest(3));
  box_.SetHook(nullptr);
}

TEST_F(EditorRows, AGutterRowIsAsTallAsAnEditorRowInEveryFont) {
  auto* picture_widget = new PictureWidget(&host_);
  QtPictureBox picture("picLines", picture_widget, kWhite, kBlack, FontChoice{});
  // Faces with no leading, a positive one and a negative one, where installed.
  int measured = 0;
  for (const char16_t* face :
       {u"宋体", u"Nimbus Sans", u"C059", u"URW Gothic", u"DejaVu Sans", u"Noto Sans CJK SC"}) {
    if (!QFontDatabase::hasFamily(ToQString(face)) && face != std::u16string_view(u"宋体")) {
      continue;
    }
    for (const double size : {9.0, 12.0, 20.0}) {
      const FontChoice font{face, size, false, false};
      box_.SetFont(font);
      picture.SetFont(font);
      box_.SetText(std::u16string(400, u'x') + u" " + std::u16string(400, u'y'));
      ASSERT_EQ(box_.FirstVisibleLine(), 0);  // lays the top block out
      const QTextLayout* rows = widget_->document()->firstBlock().layout();
      ASSERT_GE(rows->lineCount(), 3);
      const PixelRect hy = picture.MeasureText(u"Hy");
      EXPECT_EQ(hy.bottom - hy.top, rows->lineAt(2).y() - rows->lineAt(1).y())
          << ToQString(face).toStdString() << " " << size;
      ++measured;
    }
  }
  EXPECT_GE(measured, 3);
}

}  // namespace
}  // namespace tambrel::platform::qt
