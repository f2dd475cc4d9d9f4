// What the keyboard types reaches the text as the user meant it: Chinese, characters beyond the
// BMP that come in two halves, and nothing of the control characters that keys send besides.
#include <gtest/gtest.h>

#include "platform/win32/text_view/tests/view_fixture.h"

namespace tambrel::platform::win32 {
namespace {

using TextViewTyping = ViewFixture;

TEST_F(TextViewTyping, CharactersAreTyped) {
  Type(u"ab中文");
  EXPECT_EQ(box_->Text(), u"ab中文");
  EXPECT_EQ(box_->SelStart(), 4);
}

TEST_F(TextViewTyping, TheHalvesOfASurrogatePairAreJoined) {
  Type(u"x");
  Send(WM_CHAR, 0xD842, 1);
  // Nothing typed until the second half arrives: the editor never sees half a character.
  EXPECT_EQ(box_->Text(), u"x");
  Send(WM_CHAR, 0xDF9F, 1);
  EXPECT_EQ(box_->Text(), u"x\U00020B9F");
  EXPECT_EQ(box_->SelStart(), 3);
  // A second half alone is dropped.
  Send(WM_CHAR, 0xDF9F, 1);
  EXPECT_EQ(box_->Text(), u"x\U00020B9F");
}

TEST_F(TextViewTyping, ControlCharactersOfKeysAreNotTyped) {
  Type(u"a");
  // Return arrives as a key and as a character; only the key counts.
  Key(VK_RETURN);
  Send(WM_CHAR, u'\r', 1);
  Key(VK_TAB);
  Send(WM_CHAR, u'\t', 1);
  Send(WM_CHAR, 0x7F, 1);  // Ctrl+Backspace's character
  Send(WM_CHAR, 0x01, 1);  // Ctrl+A's
  EXPECT_EQ(box_->Text(), u"a\r\n\t");
}

TEST_F(TextViewTyping, EveryEditRaisesTheChangeEvent) {
  int changes = 0;
  box_->OnChange([&] { ++changes; });
  Type(u"中");
  EXPECT_EQ(changes, 1);
  Key(VK_LEFT);
  EXPECT_EQ(changes, 1);
  Key(VK_DELETE);
  EXPECT_EQ(changes, 2);
}

TEST_F(TextViewTyping, InputWaitsWhileACommandReadsTheText) {
  Type(u"a");
  {
    const std::unique_ptr<InputHold> hold = box_->HoldUserInput();
    Type(u"b");
    Key(VK_HOME);
    Type(u"c");
    EXPECT_EQ(box_->Text(), u"a");
  }
  // Done in the order it came, once the command has returned to the loop.
  Pump();
  EXPECT_EQ(box_->Text(), u"cab");
}

TEST_F(TextViewTyping, EndOnAWrappedRowTypesAfterItsLastCharacter) {
  const std::u16string line = LineOfRows(2);
  box_->SetText(line);
  Key(VK_HOME, kControl);
  Key(VK_END);
  // The caret shows at the end of the first row, not at the start of the second.
  const std::optional<editor::Editor::CaretSpot> spot = Model().CaretOnScreen();
  ASSERT_TRUE(spot);
  EXPECT_EQ(spot->screen_row, 0u);
  Type(u"X");
  const auto per_row = static_cast<std::size_t>(PerRow());
  EXPECT_EQ(box_->Text().substr(per_row - 1, 2), u"中X");
  EXPECT_EQ(box_->Text().size(), line.size() + 1);
}

}  // namespace
}  // namespace tambrel::platform::win32
