// The main window as the program builds it: start-up with and without the skin, the design
// geometry, the closing question.
#include "main_window/form1.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>
#include <fstream>
#include <iterator>

#include "platform/menu_entry.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/text_view.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace tambrel::main_window {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using testing::ScriptedDialogs;
using testing::TempDir;

constexpr char kPlainSkin[] = "QMenuBar { background: #2f6db5; }";

class MainWindow : public ::testing::Test {
 protected:
  MainWindow() { Rebuild(); }
  ~MainWindow() override { qApp->setStyleSheet(QString()); }

  void Rebuild() {
    form.reset();
    Environment environment;
    environment.executable_directory = folder.path();
    environment.screen_width = 1920 * 15;
    environment.screen_height = 1080 * 15;
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    form = std::make_unique<Form1>(environment, windows, std::move(scripted));
  }

  QMainWindow& main() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<QMainWindow*>(widget)) return *window;
    }
    throw std::logic_error("no main window");
  }
  QWidget& widget(const char* name) { return *main().findChild<QWidget*>(name); }

  TempDir folder;
  platform::qt::QtWindowSystem windows;
  std::unique_ptr<Form1> form;
  ScriptedDialogs* dialogs = nullptr;
};

TEST_F(MainWindow, WithoutTheSkinItWarnsOnceAndEndsUnseen) {
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kEnded);
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, u"缺少皮肤！");
  EXPECT_EQ(dialogs->messages[0].title, u"警告");
  EXPECT_EQ(dialogs->messages[0].icon, MessageIcon::kExclamation);
  EXPECT_EQ(dialogs->messages[0].buttons, MessageButtons::kOk);
  EXPECT_FALSE(form->window().IsVisible());
  EXPECT_FALSE(form->Timer2.Enabled());
  EXPECT_FALSE(form->Text1.SetHook(nullptr));  // no hook was installed
}

TEST_F(MainWindow, AFolderNamedLikeTheSkinIsNoSkin) {
  std::filesystem::create_directory(folder / kSkinFileName);
  EXPECT_EQ(form->Form_Load(), LoadOutcome::kEnded);
  EXPECT_EQ(dialogs->messages.size(), 1u);
}

TEST_F(MainWindow, WithTheSkinItArmsTheTickHooksTheEditorAndTakesHalfTheScreen) {
  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  EXPECT_TRUE(dialogs->messages.empty());
  EXPECT_TRUE(form->Timer2.Enabled());
  EXPECT_EQ(form->window().Width(), 14400.0f);
  EXPECT_EQ(form->window().Height(), 8100.0f);
  EXPECT_TRUE(qApp->styleSheet().contains("#2f6db5"));
  platform::EditHook hook = form->Text1.SetHook(nullptr);
  EXPECT_TRUE(hook);
  form->Text1.SetHook(std::move(hook));
}

TEST_F(MainWindow, TheSkinCannotChangeTheEditorsFont) {
  folder.Write(kSkinFileName, "* { font-family: \"DejaVu Sans\"; font-size: 30pt; color: red; }");
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  form->Show();
  auto& editor = static_cast<platform::qt::TextView&>(widget("Text1"));
  EXPECT_EQ(editor.TextFont().pointSizeF(), 12.0);
  EXPECT_NE(editor.TextFont().family(), QStringLiteral("DejaVu Sans"));
  // What the editor paints its text with: a pixel of its one character, in black.
  form->Text1.SetText(u"███");
  QTest::qWait(50);
  const QImage painted = editor.viewport()->grab().toImage();
  bool black = false;
  for (int x = 0; x < 40 && !black; ++x) {
    for (int y = 0; y < 30 && !black; ++y) black = painted.pixelColor(x, y) == QColor(Qt::black);
  }
  EXPECT_TRUE(black);
  EXPECT_EQ(form->picLines.Font().size, 12.0);
}

TEST_F(MainWindow, TheDesignHasAFortyPixelGutterBesideTheEditor) {
  EXPECT_EQ(widget("picLines").width(), 40);
  EXPECT_EQ(widget("Text1").width(), 705);
  EXPECT_EQ(widget("Text1").x(), 40);
  EXPECT_EQ(widget("Text1").height(), 577);
  EXPECT_EQ(form->window().ScaleWidth(), 11235.0f);
  EXPECT_EQ(form->window().ScaleHeight(), 8775.0f);
  EXPECT_EQ(form->window().Controls().size(), 17u);

  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  EXPECT_EQ(form->Container.Tag(), u"0   0   11235   8775   ");
  EXPECT_EQ(form->Text1.Tag(), u"600   0   10575   8655   ");
  EXPECT_EQ(form->layout().BaseScaleWidth(), 11235);
  EXPECT_EQ(form->layout().BaseScaleHeight(), 8775);
}

TEST_F(MainWindow, MenusCarryTheirCaptionsAndKeys) {
  const std::vector<std::tuple<const char*, std::u16string, std::u16string>> expected = {
      {"Cd", u"菜单(&C)", u""},    {"Open", u"打开", u"F1"},      {"Bc", u"保存", u"F2"},
      {"Save", u"另保存", u"F3"},  {"Timer", u"当前时间", u"F4"}, {"Zt", u"字体(&Z)", u""},
      {"ZtC", u"字体颜色", u"F5"}, {"ZtB", u"字体类型", u"F6"},   {"Bj", u"编辑(&B)", u""},
      {"Qp", u"清屏", u"F7"},      {"Cz", u"查找", u"F8"}};
  for (const auto& [name, caption, key] : expected) {
    const auto& entry = form->window().Get<platform::MenuEntry>(name);
    EXPECT_EQ(entry.Caption(), caption) << name;
    EXPECT_EQ(entry.ShortcutText(), key) << name;
  }
}

TEST_F(MainWindow, ShownItIsLaidOutForItsSizeAndSnapsBackFromNarrow) {
  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
  QTRY_COMPARE(widget("Container").size(), main().centralWidget()->size());
  const double ratio = main().centralWidget()->width() / 749.0;
  EXPECT_NEAR(widget("Text1").x(), 40 * ratio, 1.0);

  main().resize(400, main().height());
  QTRY_COMPARE(form->window().Width(), kMinimumOuterWidth);
  QTRY_COMPARE(widget("Container").width(), main().centralWidget()->width());
}

class ClosingQuestion : public MainWindow {
 protected:
  std::int16_t Close() {
    std::int16_t cancel = 0;
    form->Form_Unload(cancel);
    return cancel;
  }
  std::size_t Questions() const {
    std::size_t count = 0;
    for (const auto& message : dialogs->messages) {
      if (message.text == u"文本已改变，是否保存？") {
        EXPECT_EQ(message.title, u"提示");
        EXPECT_EQ(message.buttons, MessageButtons::kYesNo);
        EXPECT_EQ(message.icon, MessageIcon::kNone);
        ++count;
      }
    }
    return count;
  }
};

TEST_F(ClosingQuestion, AnUntouchedOrEmptiedTextClosesWithoutAsking) {
  EXPECT_EQ(Close(), 0);
  form->Text1.SetText(u"草稿");
  form->Text1.SetText(u"");
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 0u);
}

TEST_F(ClosingQuestion, TextUnchangedSinceTheLastLoadClosesWithoutAsking) {
  form->Text1.SetText(u"载入的文本");
  form->file_commands().Timer2_Timer(u"");  // marks the text as saved, as a load does
  EXPECT_TRUE(form->Saved());
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 0u);
}

TEST_F(ClosingQuestion, NoClosesWithoutSaving) {
  form->Text1.SetText(u"改过的文本");
  dialogs->message_answers = {MessageAnswer::kNo};
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 1u);
  EXPECT_TRUE(dialogs->file_dialog_starts.empty());
}

TEST_F(ClosingQuestion, YesWithTheSaveDialogCancelledKeepsTheWindowAndText) {
  form->Text1.SetText(u"不能丢的文本");
  dialogs->message_answers = {MessageAnswer::kYes};
  dialogs->file_answers = {std::nullopt};
  EXPECT_NE(Close(), 0);
  EXPECT_EQ(form->Text1.Text(), u"不能丢的文本");
}

TEST_F(ClosingQuestion, YesWithAFailedSaveKeepsTheWindowAndText) {
  form->Text1.SetText(u"不能丢的文本");
  dialogs->message_answers = {MessageAnswer::kYes, MessageAnswer::kOk};
  dialogs->file_answers = {(folder / "没有的文件夹" / "x.txt").u16string()};
  EXPECT_NE(Close(), 0);
  EXPECT_EQ(form->Text1.Text(), u"不能丢的文本");
  EXPECT_EQ(dialogs->messages.back().title, u"警告");
}

TEST_F(ClosingQuestion, YesRunsSaveAsAndLetsTheWindowClose) {
  form->Text1.SetText(u"keep me");
  const auto target = folder / "保存.txt";
  dialogs->message_answers = {MessageAnswer::kYes};
  dialogs->file_answers = {target.u16string()};
  EXPECT_EQ(Close(), 0);
  EXPECT_EQ(Questions(), 1u);
  ASSERT_EQ(dialogs->file_dialog_starts.size(), 1u);
  EXPECT_EQ(dialogs->file_dialog_starts[0], u"");  // Save As starts without a name
  // Every byte lowered by the same one-digit shift, then the marker.
  std::ifstream file(target, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_EQ(bytes.size(), 7u + 5u);
  EXPECT_EQ(bytes.substr(7), "-RgPw");
  EXPECT_EQ(bytes[0], 'k' - 1);
  EXPECT_EQ(bytes[6], 'e' - 1);
}

TEST_F(ClosingQuestion, TheCloseBoxAsksAndClosesTheShownWindow) {
  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  form->Show();
  form->Text1.SetText(u"改过的文本");
  dialogs->message_answers = {MessageAnswer::kNo};
  form->window().Close();
  EXPECT_EQ(Questions(), 1u);
  EXPECT_FALSE(form->window().IsVisible());
}

}  // namespace
}  // namespace tambrel::main_window
