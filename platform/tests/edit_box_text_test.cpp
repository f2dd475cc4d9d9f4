// The editor hands back exactly the text it was given: line breaks, no-break spaces and all,
// with positions counted in that text.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QTest>

#include "platform/edit_box.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/text_view.h"

namespace tambrel::platform {
namespace {

class EditorText : public ::testing::Test {
 protected:
  EditorText() {
    WindowDefinition definition;
    definition.name = "Form1";
    definition.client_width = 6000;
    definition.client_height = 4500;
    ControlDefinition editor =
        DefineControl("Editor", ControlKind::kEditBox, "Form1", 0, 0, 6000, 4500);
    editor.font = FontChoice{u"宋体", 12, false, false};
    definition.controls = {editor};
    window = std::make_unique<qt::QtWindow>(definition, nullptr);
  }

  EditBox& edit() { return window->Get<EditBox>("Editor"); }
  QAbstractScrollArea& widget() {
    return *static_cast<qt::QtWindow&>(*window).widget()->findChild<QAbstractScrollArea*>("Editor");
  }
  // The selection as the view holds it.
  std::u16string Selected() {
    return static_cast<qt::TextView&>(widget()).Model().SelectedText();
  }

  std::unique_ptr<Window> window;
};

TEST_F(EditorText, EveryKindOfLineBreakComesBackAsGiven) {
  for (const std::u16string text : {u"第一行\r\n第二行\r\n", u"第一行\n第二行\n", u"第一行\r第二行",
                                    u"无换行", u"", u"\r\n\r\n"}) {
    edit().SetText(text);
    EXPECT_EQ(edit().Text(), text);
    EXPECT_EQ(edit().TextLength(), static_cast<std::int32_t>(text.size()));
  }
}

TEST_F(EditorText, CharactersThatLookLikeOthersAreKept) {
  const std::u16string text = u"不\u00A0换行空格\u2028行内分隔\t制表";
  edit().SetText(text);
  EXPECT_EQ(edit().Text(), text);
}

TEST_F(EditorText, MixedBreaksStayWhereTheyWere) {
  const std::u16string text = u"一\r\n二\n三\r四\u2029五\r\n";
  edit().SetText(text);
  EXPECT_EQ(edit().Text(), text);
  EXPECT_EQ(edit().TextLength(), static_cast<std::int32_t>(text.size()));
  // Positions count each break as long as it is: 四 is the eighth unit.
  edit().SetSelStart(7);
  edit().SetSelLength(1);
  EXPECT_EQ(Selected(), u"四");
  EXPECT_EQ(edit().LineFromChar(7), 3);
}

TEST_F(EditorText, TypedLinesTakeTheNewLineAndTheOthersKeepTheirs) {
  edit().SetNewLine(u"\n");
  edit().SetText(u"甲\r\n乙\r丙");
  widget().setFocus();
  // A new line in the middle of the first one, and one after the last.
  edit().SetSelStart(1);
  QTest::keyClick(&widget(), Qt::Key_Return);
  edit().SetSelStart(edit().TextLength());
  QTest::keyClick(&widget(), Qt::Key_Return);
  QTest::keyClicks(&widget(), "c");
  EXPECT_EQ(edit().Text(), u"甲\n\r\n乙\r丙\nc");

  // Joining two lines takes the break between them away, and the other breaks stay.
  edit().SetSelStart(5);  // just after 乙
  QTest::keyClick(&widget(), Qt::Key_Delete);
  EXPECT_EQ(edit().Text(), u"甲\n\r\n乙丙\nc");

  edit().SetNewLine(u"\r\n");
  edit().SetText(u"");
  QTest::keyClick(&widget(), Qt::Key_Return);
  EXPECT_EQ(edit().Text(), u"\r\n");
}

TEST_F(EditorText, PositionsCountBothCharactersOfACrLf) {
  edit().SetText(u"第一行\r\n第二行\r\n第三行");
  edit().SetSelStart(5);
  edit().SetSelLength(2);
  EXPECT_EQ(Selected(), u"第二");
  EXPECT_EQ(edit().SelStart(), 5);
  EXPECT_EQ(edit().SelLength(), 2);

  // A selection that ends with the line break covers both of its characters.
  edit().SetSelStart(0);
  edit().SetSelLength(5);
  EXPECT_EQ(edit().SelLength(), 5);
  EXPECT_EQ(edit().LineFromChar(4), 0);  // the LF of the first break is still on row 0
  EXPECT_EQ(edit().LineFromChar(5), 1);
  EXPECT_EQ(edit().LineFromChar(10), 2);

  edit().SetSelStart(10);
  edit().SetSelLength(1000);
  EXPECT_EQ(Selected(), u"第三行");
  EXPECT_EQ(edit().SelStart() + edit().SelLength(), edit().TextLength());
}

}  // namespace
}  // namespace tambrel::platform
