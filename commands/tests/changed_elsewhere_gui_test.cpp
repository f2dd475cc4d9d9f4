// The real Qt window tells the commands when the user comes back to it: a file another program
// changed meanwhile is offered for reloading. The wiring the fake window system cannot show.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <filesystem>

#include "commands/tests/form_fixture.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_window.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;
using platform::files::PathText;
using testing::TempDir;
using testing::WriteBytes;

class ChangedElsewhereGui : public FormTest {};

TEST_F(ChangedElsewhereGui, ComingBackToTheWindowOffersTheNewContent) {
  TempDir folder;
  const auto path = folder.path() / u"文档.txt";
  WriteBytes(path, "first version");
  form.file_commands().Timer2_Timer(PathText(path));
  ASSERT_EQ(form.Text1.Text(), u"first version");

  QMainWindow* main = dynamic_cast<platform::qt::QtWindow&>(form.window()).widget();
  form.Show();
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  QTest::qWait(20);  // the activation's own call, with nothing changed, asks nothing
  ASSERT_TRUE(dialogs->messages.empty());

  // The user goes to another program, which writes the file, and comes back.
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
  const auto before = std::filesystem::last_write_time(path);
  WriteBytes(path, "second version");
  std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
  dialogs->message_answers.push_back(MessageAnswer::kYes);
  main->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogs->messages.empty(); }, 2000));
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_TRUE(dialogs->messages[0].text.starts_with(u"文件已被其他程序修改：" + PathText(path)));
  EXPECT_EQ(form.Text1.Text(), u"second version");
  EXPECT_TRUE(form.Saved());
}

}  // namespace
}  // namespace tambrel::commands
