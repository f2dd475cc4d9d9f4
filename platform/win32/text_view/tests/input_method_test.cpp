// The input method's composition is shown in the text at the caret and becomes text only when
// committed. Wine's null graphics driver loads no input method, so no context exists to compose
// in: the view's handler is driven with what WM_IME_COMPOSITION would have read.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

using TextViewInputMethod = ViewFixture;

TEST_F(TextViewInputMethod, ACompositionIsShownWithoutChangingTheText) {
  box_->SetText(u"前后");
  box_->SetSelStart(1);
  box_->View().CompositionChanged(std::nullopt, u"ni'hao", 2);
  EXPECT_EQ(Model().Composition(), u"ni'hao");
  EXPECT_EQ(box_->Text(), u"前后");
  const std::vector<editor::ComposedRow> rows = Model().ComposedCaretRow();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, u"前ni'hao后");
  EXPECT_EQ(rows[0].cursor, 3u);
}

TEST_F(TextViewInputMethod, ACommitIsTypedAndEndsTheComposition) {
  int changes = 0;
  box_->OnChange([&] { ++changes; });
  box_->View().CompositionChanged(std::nullopt, u"zhong'wen", 9);
  EXPECT_EQ(changes, 0);
  box_->View().CompositionChanged(u"中文", std::nullopt, 0);
  EXPECT_EQ(box_->Text(), u"中文");
  EXPECT_EQ(Model().Composition(), u"");
  EXPECT_EQ(changes, 1);
  // A commit and the start of the next composition in one message.
  box_->View().CompositionChanged(u"输入", u"fa", 2);
  EXPECT_EQ(box_->Text(), u"中文输入");
  EXPECT_EQ(Model().Composition(), u"fa");
}

TEST_F(TextViewInputMethod, TheEndOfACompositionTakesItAway) {
  box_->View().CompositionChanged(std::nullopt, u"pin", 3);
  Send(WM_IME_ENDCOMPOSITION);
  EXPECT_EQ(Model().Composition(), u"");
  EXPECT_EQ(box_->Text(), u"");
}

TEST_F(TextViewInputMethod, CommitsWaitWhileACommandReadsTheText) {
  {
    const std::unique_ptr<InputHold> hold = box_->HoldUserInput();
    box_->View().CompositionChanged(u"等", std::nullopt, 0);
    EXPECT_EQ(box_->Text(), u"");
  }
  Pump();
  EXPECT_EQ(box_->Text(), u"等");
}

TEST_F(TextViewInputMethod, AnInputMethodThatAsksIsToldWhereTheCaretIs) {
  box_->SetFocus();
  box_->SetText(u"中文");
  box_->SetSelStart(2);
  IMECHARPOSITION position{};
  position.dwSize = sizeof(position);
  ASSERT_EQ(Send(WM_IME_REQUEST, IMR_QUERYCHARPOSITION, reinterpret_cast<LPARAM>(&position)), TRUE);
  const std::optional<editor::Editor::CaretSpot> spot = Model().CaretOnScreen();
  ASSERT_TRUE(spot);
  POINT caret{kTextMargin + static_cast<int>(std::lround(spot->x)), kTextMargin};
  ::ClientToScreen(View(), &caret);
  EXPECT_EQ(position.pt.x, caret.x);
  EXPECT_EQ(position.pt.y, caret.y);
  EXPECT_EQ(position.cLineHeight, static_cast<UINT>(RowHeight()));
}

}  // namespace
}  // namespace tambrel::platform::win32
