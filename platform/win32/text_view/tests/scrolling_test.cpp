// The scroll bar, the wheel and the width: the view moves as the editor says, the bar shows where,
// and the logic's hook hears of every move after it happened.
#include <gtest/gtest.h>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

class TextViewScrolling : public ViewFixture {
 protected:
  // Lines of one row each, counted whole, so the bar knows them all.
  void ManyLines(int lines) {
    std::u16string text;
    for (int line = 0; line < lines; ++line) text += u"行\r\n";
    box_->SetText(text);
    while (Model().CountSome()) {
    }
  }

  SCROLLINFO Bar() {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    ::GetScrollInfo(View(), SB_VERT, &info);
    return info;
  }
};

TEST_F(TextViewScrolling, TheBarShowsTheRowsAndThePage) {
  ManyLines(100);
  const SCROLLINFO bar = Bar();
  const int page = Model().View().VisibleRows();
  EXPECT_EQ(bar.nMin, 0);
  // 101 rows: the empty one after the last break counts too.
  EXPECT_EQ(bar.nMax, 100);
  EXPECT_EQ(static_cast<int>(bar.nPage), page);
  EXPECT_EQ(bar.nPos, 0);
}

TEST_F(TextViewScrolling, TheBarsArrowsAndPagesMoveTheView) {
  ManyLines(100);
  Send(WM_VSCROLL, SB_LINEDOWN);
  EXPECT_EQ(box_->FirstVisibleLine(), 1);
  EXPECT_EQ(Bar().nPos, 1);
  Send(WM_VSCROLL, SB_PAGEDOWN);
  EXPECT_EQ(box_->FirstVisibleLine(), 1 + Model().View().VisibleRows());
  Send(WM_VSCROLL, SB_BOTTOM);
  EXPECT_EQ(box_->FirstVisibleLine(), 101 - Model().View().VisibleRows());
  Send(WM_VSCROLL, SB_TOP);
  EXPECT_EQ(box_->FirstVisibleLine(), 0);
}

TEST_F(TextViewScrolling, TheThumbMovesTheView) {
  ManyLines(100);
  ::SetScrollPos(View(), SB_VERT, 40, FALSE);
  Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40));
  EXPECT_EQ(box_->FirstVisibleLine(), 40);
}

TEST_F(TextViewScrolling, TheWheelScrollsAsManyLinesAsTheDesktopSays) {
  ManyLines(100);
  UINT lines = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  ASSERT_NE(lines, WHEEL_PAGESCROLL);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(box_->FirstVisibleLine(), static_cast<int>(lines));
  // Half a notch, twice: one notch.
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA / 2)), 0);
  EXPECT_EQ(box_->FirstVisibleLine(), static_cast<int>(lines));
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(WHEEL_DELTA / 2)), 0);
  EXPECT_EQ(box_->FirstVisibleLine(), 0);
  // Never past the end: the last page stays full.
  for (int i = 0; i < 100; ++i)
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(box_->FirstVisibleLine(), 101 - Model().View().VisibleRows());
}

TEST_F(TextViewScrolling, EveryMoveReachesTheHookAfterTheViewMoved) {
  ManyLines(300);
  std::vector<int> seen;
  int others = 0;
  box_->SetHook([&](EditMessage message) {
    if (message == EditMessage::kVerticalScroll) {
      seen.push_back(box_->FirstVisibleLine());
    } else {
      ++others;
    }
  });
  Send(WM_VSCROLL, SB_LINEDOWN);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 1);
  // Every message the view receives reaches the hook as well.
  EXPECT_GE(others, 1);
  // The caret moved by code far below the view: the view follows it.
  box_->SetSelStart(box_->TextLength());
  EXPECT_EQ(seen.back(), 301 - Model().View().VisibleRows());
  EXPECT_FALSE(box_->SetHook(nullptr) == nullptr);
}

TEST_F(TextViewScrolling, RowsAreWrappedAtTheWindowsWidth) {
  box_->SetText(LineOfRows(3));
  EXPECT_EQ(box_->LineCount(), 3);
  const int per_row = PerRow();
  Resize(220, 300);
  ASSERT_LT(PerRow(), per_row);
  const int rows = (static_cast<int>(box_->Text().size()) + PerRow() - 1) / PerRow();
  EXPECT_EQ(box_->LineCount(), rows);
}

TEST_F(TextViewScrolling, RowsAreCountedWhileTheUserRests) {
  std::u16string text;
  for (int line = 0; line < 20000; ++line) text += u"一行字\r\n";
  box_->SetText(text);
  ASSERT_FALSE(Model().View().AllCounted());
  // Timer messages come when nothing else waits; each counts a slice. The wait only guards
  // against a view that never counts, which would leave the queue empty for good.
  while (!Model().View().AllCounted() &&
         ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0) {
    Pump();
  }
  EXPECT_TRUE(Model().View().AllCounted());
  EXPECT_EQ(Bar().nMax, 20000);
}

}  // namespace
}  // namespace tambrel::platform::win32
