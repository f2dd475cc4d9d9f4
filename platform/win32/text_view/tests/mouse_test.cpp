// The mouse: clicks of one, two and three, Shift+click, selecting by dragging, dragging the
// selection within the view, and the mouse-up event the logic hears.
#include <gtest/gtest.h>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

class TextViewMouse : public ViewFixture {
 protected:
  // The point in the middle of the character at `offset` of the first row.
  POINT OnCharacter(std::size_t offset) {
    std::u16string scratch;
    const editor::RowText row = Model().TextOf(Model().Rows()[0], scratch);
    const float left = geometry_.XOfOffset(row, offset);
    const float right = geometry_.XOfOffset(row, offset + 1);
    return PointOf(0, (left + right) / 2);
  }
  // The point on the edge before the character at `offset` of the first row.
  POINT BeforeCharacter(std::size_t offset) {
    std::u16string scratch;
    const editor::RowText row = Model().TextOf(Model().Rows()[0], scratch);
    return PointOf(0, geometry_.XOfOffset(row, offset));
  }

  void Press(UINT message, POINT point, WPARAM buttons = MK_LBUTTON) {
    Send(message, buttons, MAKELPARAM(point.x, point.y));
  }

  UniscribeRowGeometry geometry_{MeasuringTestFont()};
};

TEST_F(TextViewMouse, AClickPlacesTheCaretAtTheNearerEdge) {
  box_->SetText(u"中文编辑器");
  Click(BeforeCharacter(3));
  EXPECT_EQ(box_->SelStart(), 3);
  EXPECT_EQ(box_->SelLength(), 0);
  // Below the last row: on the last row, right of its end.
  Click(PointOf(5, 400));
  EXPECT_EQ(box_->SelStart(), 5);
  // Left of the text: its start.
  Click(PointOf(0, -2));
  EXPECT_EQ(box_->SelStart(), 0);
}

TEST_F(TextViewMouse, ShiftClickExtendsTheSelection) {
  box_->SetText(u"中文编辑器");
  Click(BeforeCharacter(1));
  Click(BeforeCharacter(4), kShift);
  EXPECT_EQ(box_->SelStart(), 1);
  EXPECT_EQ(box_->SelLength(), 3);
}

TEST_F(TextViewMouse, TwoClicksSelectAWordAndThreeALine) {
  box_->SetText(u"alpha beta gamma\r\nnext");
  const POINT on_beta = OnCharacter(7);
  Press(WM_LBUTTONDOWN, on_beta);
  Press(WM_LBUTTONUP, on_beta, 0);
  Press(WM_LBUTTONDBLCLK, on_beta);
  Press(WM_LBUTTONUP, on_beta, 0);
  EXPECT_EQ(box_->SelStart(), 6);
  EXPECT_EQ(box_->SelLength(), 4);
  // The third press at the same place, as soon after the double-click as a test sends it.
  Press(WM_LBUTTONDOWN, on_beta);
  Press(WM_LBUTTONUP, on_beta, 0);
  EXPECT_EQ(box_->SelStart(), 0);
  EXPECT_EQ(box_->SelLength(), 18);  // the line with its break
}

TEST_F(TextViewMouse, DraggingSelects) {
  box_->SetText(u"中文编辑器");
  Press(WM_LBUTTONDOWN, BeforeCharacter(1));
  Press(WM_MOUSEMOVE, BeforeCharacter(2));
  Press(WM_MOUSEMOVE, BeforeCharacter(4));
  Press(WM_LBUTTONUP, BeforeCharacter(4), 0);
  EXPECT_EQ(box_->SelStart(), 1);
  EXPECT_EQ(box_->SelLength(), 3);
  // A move without the button selects nothing more.
  Press(WM_MOUSEMOVE, BeforeCharacter(5), 0);
  EXPECT_EQ(box_->SelLength(), 3);
}

TEST_F(TextViewMouse, TheSelectionIsDraggedWithinTheView) {
  // Without OLE on the thread (this test never starts it) the drag stays in the view.
  box_->SetText(u"ABCDEFGH");
  box_->SetSelStart(1);
  box_->SetSelLength(2);  // "BC"
  Press(WM_LBUTTONDOWN, OnCharacter(1));
  Press(WM_MOUSEMOVE, BeforeCharacter(6));
  Press(WM_LBUTTONUP, BeforeCharacter(6), 0);
  EXPECT_EQ(box_->Text(), u"ADEFBCGH");
  EXPECT_EQ(box_->SelStart(), 4);
  EXPECT_EQ(box_->SelLength(), 2);
}

TEST_F(TextViewMouse, APressOnTheSelectionWithoutMovingPlacesTheCaret) {
  box_->SetText(u"ABCDEFGH");
  box_->SetSelStart(1);
  box_->SetSelLength(4);
  Press(WM_LBUTTONDOWN, BeforeCharacter(3));
  Press(WM_LBUTTONUP, BeforeCharacter(3), 0);
  EXPECT_EQ(box_->Text(), u"ABCDEFGH");
  EXPECT_EQ(box_->SelStart(), 3);
  EXPECT_EQ(box_->SelLength(), 0);
}

TEST_F(TextViewMouse, MouseUpReachesTheLogic) {
  std::vector<std::int16_t> buttons;
  box_->OnMouseUp([&](std::int16_t button, std::int16_t, float x, float y) {
    buttons.push_back(button);
    EXPECT_EQ(x, 30.0f);
    EXPECT_EQ(y, 12.0f);
  });
  Press(WM_LBUTTONDOWN, POINT{30, 12});
  Press(WM_LBUTTONUP, POINT{30, 12}, 0);
  Press(WM_MBUTTONUP, POINT{30, 12}, 0);
  EXPECT_EQ(buttons, (std::vector<std::int16_t>{1, 4}));
}

}  // namespace
}  // namespace tambrel::platform::win32
