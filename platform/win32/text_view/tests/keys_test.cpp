// The keys reach the editor: motions with and without Shift and Ctrl, deleting, overwriting,
// undo, and the key-up event the logic hears.
#include <gtest/gtest.h>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

using TextViewKeys = ViewFixture;

std::size_t Caret(editor::Editor& editor) { return editor.GetSelection().caret.position; }

TEST_F(TextViewKeys, ArrowsMoveByCharacterAndCtrlByWord) {
  box_->SetText(u"alpha beta gamma");
  Key(VK_RIGHT);
  EXPECT_EQ(Caret(Model()), 1u);
  Key(VK_RIGHT, kControl);
  EXPECT_EQ(Caret(Model()), 6u);
  Key(VK_RIGHT, kControl);
  EXPECT_EQ(Caret(Model()), 11u);
  Key(VK_LEFT, kControl);
  EXPECT_EQ(Caret(Model()), 6u);
  Key(VK_LEFT);
  EXPECT_EQ(Caret(Model()), 5u);
}

TEST_F(TextViewKeys, ShiftExtendsTheSelection) {
  box_->SetText(u"中文编辑");
  Key(VK_RIGHT, kShift);
  Key(VK_RIGHT, kShift);
  EXPECT_EQ(box_->SelStart(), 0);
  EXPECT_EQ(box_->SelLength(), 2);
  Key(VK_END, kShift);
  EXPECT_EQ(box_->SelLength(), 4);
  // Left without Shift ends the selection at its left edge.
  Key(VK_LEFT);
  EXPECT_EQ(box_->SelLength(), 0);
  EXPECT_EQ(box_->SelStart(), 0);
}

TEST_F(TextViewKeys, HomeEndAndTheDocumentsEnds) {
  box_->SetText(u"first\r\nsecond line\r\nthird");
  Key(VK_DOWN);
  EXPECT_EQ(Caret(Model()), 7u);
  Key(VK_END);
  EXPECT_EQ(Caret(Model()), 18u);
  Key(VK_HOME);
  EXPECT_EQ(Caret(Model()), 7u);
  Key(VK_END, kControl);
  EXPECT_EQ(Caret(Model()), box_->Text().size());
  Key(VK_HOME, kControl);
  EXPECT_EQ(Caret(Model()), 0u);
  Key(VK_UP);
  EXPECT_EQ(Caret(Model()), 0u);
}

TEST_F(TextViewKeys, PageDownMovesTheCaretAndTheViewAPageOn) {
  std::u16string text;
  for (int line = 0; line < 200; ++line) text += u"行\r\n";
  box_->SetText(text);
  const int page = Model().View().VisibleRows() - 1;
  ASSERT_GT(page, 2);
  Key(VK_NEXT);
  EXPECT_EQ(box_->LineFromChar(box_->SelStart()), page);
  EXPECT_EQ(box_->FirstVisibleLine(), page);
  Key(VK_PRIOR);
  EXPECT_EQ(box_->LineFromChar(box_->SelStart()), 0);
  EXPECT_EQ(box_->FirstVisibleLine(), 0);
}

TEST_F(TextViewKeys, BackspaceAndDeleteTakeCharactersAndCtrlWords) {
  box_->SetText(u"one two three");
  Key(VK_END);
  Key(VK_BACK);
  EXPECT_EQ(box_->Text(), u"one two thre");
  Key(VK_BACK, kControl);
  EXPECT_EQ(box_->Text(), u"one two ");
  Key(VK_HOME);
  Key(VK_DELETE);
  EXPECT_EQ(box_->Text(), u"ne two ");
  Key(VK_DELETE, kControl);
  EXPECT_EQ(box_->Text(), u"two ");
}

TEST_F(TextViewKeys, InsertSwitchesOverwriting) {
  box_->SetText(u"abc");
  Key(VK_INSERT);
  EXPECT_TRUE(Model().Overwriting());
  Type(u"中");
  EXPECT_EQ(box_->Text(), u"中bc");
  Key(VK_INSERT);
  EXPECT_FALSE(Model().Overwriting());
  Type(u"x");
  EXPECT_EQ(box_->Text(), u"中xbc");
}

TEST_F(TextViewKeys, ReturnStartsALineAndCtrlZTakesItBack) {
  Type(u"甲");
  Key(VK_RETURN);
  Type(u"乙");
  EXPECT_EQ(box_->Text(), u"甲\r\n乙");
  Key('Z', kControl);
  EXPECT_EQ(box_->Text(), u"甲\r\n");
  Key('Z', kControl);
  EXPECT_EQ(box_->Text(), u"甲");
  Key('Y', kControl);
  EXPECT_EQ(box_->Text(), u"甲\r\n");
}

TEST_F(TextViewKeys, CtrlASelectsEverything) {
  box_->SetText(u"全部文字");
  Key('A', kControl);
  EXPECT_EQ(box_->SelStart(), 0);
  EXPECT_EQ(box_->SelLength(), 4);
}

TEST_F(TextViewKeys, KeyUpReachesTheLogicWithItsShiftState) {
  std::vector<std::pair<std::int16_t, std::int16_t>> released;
  box_->OnKeyUp([&](std::int16_t key, std::int16_t shift) { released.emplace_back(key, shift); });
  Key(VK_F5);
  Key('C', kControl);
  const std::vector<std::pair<std::int16_t, std::int16_t>> expected{{VK_F5, 0}, {'C', 2}};
  EXPECT_EQ(released, expected);
}

TEST_F(TextViewKeys, TheDialogManagerLeavesTheEditorsKeysAlone) {
  const LRESULT wanted = Send(WM_GETDLGCODE);
  EXPECT_TRUE(wanted & DLGC_WANTTAB);
  EXPECT_TRUE(wanted & DLGC_WANTALLKEYS);
}

}  // namespace
}  // namespace tambrel::platform::win32
