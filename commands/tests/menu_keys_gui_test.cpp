// The function keys on the real Qt window reach the commands, with the desktop's clock and fonts:
// the wiring the logic's own tests (over the fake window system) cannot see.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <filesystem>

#include "commands/tests/form_fixture.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_window.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;
using platform::files::PathText;
using testing::ReadBytes;
using testing::TempDir;

class MenuKeys : public FormTest {
 protected:
  void SetUp() override {
    form.file_commands().Timer2_Timer(u"");
    form.Show();
    QMainWindow* main = dynamic_cast<platform::qt::QtWindow&>(form.window()).widget();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    editor_ = main->findChild<QWidget*>(QStringLiteral("Text1"));
    ASSERT_NE(editor_, nullptr);
    editor_->setFocus();
  }

  // Presses a key in the editor, as the user does with the menus closed.
  void Press(Qt::Key key) { QTest::keyClick(editor_, key); }

  TempDir folder_;
  QWidget* editor_ = nullptr;
};

TEST_F(MenuKeys, F1OpensF2SavesAndF3SavesAs) {
  const auto path = folder_.path() / u"文档.txt";
  testing::WriteBytes(path, "plain");
  dialogs->file_answers.push_back(PathText(path));
  Press(Qt::Key_F1);
  EXPECT_EQ(form.Text1.Text(), u"plain");

  form.Text1.SetText(u"ab");
  Press(Qt::Key_F2);
  EXPECT_EQ(ReadBytes(path), "`a-RgPw");
  EXPECT_EQ(dialogs->messages.back().text, u"保存成功");

  const auto other = folder_.path() / u"另存.txt";
  dialogs->file_answers.push_back(PathText(other));
  Press(Qt::Key_F3);
  EXPECT_EQ(ReadBytes(other), "`a-RgPw");
  EXPECT_EQ(form.CommonDialog1.FileName, PathText(other));
}

TEST_F(MenuKeys, F4StampsTheSystemClocksTimeF8FindsAndF7Clears) {
  form.Text1.SetText(u"abc");
  Press(Qt::Key_F4);
  const std::u16string stamped = form.Text1.Text();
  ASSERT_GT(stamped.size(), 4u);
  EXPECT_EQ(stamped.substr(0, 4), u"abc ");
  EXPECT_NE(stamped.find(u' ', 4), std::u16string::npos) << "no space between date and time";
  EXPECT_NE(stamped.back(), u' ');

  dialogs->text_answers.push_back(u"bc");
  Press(Qt::Key_F8);
  EXPECT_EQ(form.Text1.SelStart(), 1);
  EXPECT_EQ(form.Text1.SelLength(), 2);
  EXPECT_TRUE(editor_->hasFocus());

  dialogs->message_answers.push_back(MessageAnswer::kYes);
  Press(Qt::Key_F7);
  EXPECT_EQ(form.Text1.Text(), u"");
}

TEST_F(MenuKeys, F5ChoosesTheColourAndF6AFontTheGutterMeasuresIn) {
  constexpr platform::OleColor kRed = platform::RgbColor(255, 0, 0);
  dialogs->color_answers.push_back(kRed);
  Press(Qt::Key_F5);
  EXPECT_EQ(form.Text1.ForeColor(), kRed);

  const platform::FontChoice chosen{u"Noto Sans CJK SC", 30.0, true, false};
  const int row_height_before = form.picLines.MeasureText(u"8").bottom;
  dialogs->font_answers.push_back(chosen);
  Press(Qt::Key_F6);
  EXPECT_EQ(form.Text1.Font(), chosen);
  // The real gutter measures in the real font, so its rows grow with it.
  EXPECT_GT(form.picLines.MeasureText(u"8").bottom, row_height_before);
}

}  // namespace
}  // namespace tambrel::commands
