// The main window on the real Qt widgets: the skin as the application's style sheet, the design
// geometry in pixels, the menus' captions and keys as Qt shows them, the layout of the shown
// window and its close box. The rest of the window's logic is tested over the fake window system.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include "main_window/form1.h"
#include "platform/menu_entry.h"
#include "platform/qt/qt_window_system.h"
#include "platform/qt/text_view.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace tambrel::main_window {
namespace {

using platform::MessageAnswer;
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

TEST_F(MainWindow, TheSkinBecomesTheApplicationsStyleSheet) {
  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  EXPECT_TRUE(qApp->styleSheet().contains("#2f6db5"));
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

TEST_F(MainWindow, TheCloseBoxAsksAndClosesTheShownWindow) {
  folder.Write(kSkinFileName, kPlainSkin);
  ASSERT_EQ(form->Form_Load(), LoadOutcome::kRunning);
  form->Show();
  form->Text1.SetText(u"改过的文本");
  dialogs->message_answers = {MessageAnswer::kNo};
  form->window().Close();
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, u"文本已改变，是否保存？");
  EXPECT_FALSE(form->window().IsVisible());
}

}  // namespace
}  // namespace tambrel::main_window
