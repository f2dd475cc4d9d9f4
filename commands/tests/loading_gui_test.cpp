// A large document being opened in the real Qt window: its start shows over the editor at once,
// with no line numbers beside it, and can be scrolled; what the user types or asks for meanwhile
// (a find, a save, a close) waits and then happens to the whole document in order; Esc gives the
// old document back as it was.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

#include "commands/tests/form_fixture.h"
#include "commands/tests/large_text_expectations.h"
#include "platform/codepage/cp936.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_edit_box.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;
using platform::files::PathText;
using testing::HoldsDocument;
using testing::SameText;
using testing::TempDir;
using testing::WriteBytes;

class LoadingOnQt : public FormTest {
 protected:
  LoadingOnQt() {
    big_ = folder_.path() / u"大文件.txt";
    // Plain GBK, some 20 MB: large enough to be shown by its start while the rest is read.
    big_text_ = testing::NumberedLines(900000);
    WriteBytes(big_, platform::cp936::Encode(big_text_));
    small_ = folder_.path() / u"小文件.txt";
    WriteBytes(small_, document::EncodeDocument(u"旧文档\r\n第二行"));
    form.file_commands().Timer2_Timer(u"\"" + PathText(small_) + u"\"");
    form.Show();
    // Menu keys are the active window's.
    Window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Window()));
    EditBox().view()->setFocus();
    form.Text1.SetSelStart(3);
    QApplication::processEvents();
  }

  QWidget* Window() { return EditBox().view()->window(); }
  platform::qt::QtEditBox& EditBox() { return dynamic_cast<platform::qt::QtEditBox&>(form.Text1); }
  QPlainTextEdit* Preview() { return Window()->findChild<QPlainTextEdit*>("document_preview"); }

  // Opens the large document through the menu and, once its start shows, does `meanwhile`.
  // Answers whether the start was seen while the open was still going on.
  bool OpenBigAnd(std::function<void()> meanwhile) {
    bool seen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (seen || Preview() == nullptr || !Preview()->isVisible()) return;
      seen = true;
      meanwhile();
    });
    watch.start(1);
    dialogs->file_answers.push_back(PathText(big_));
    Click("Open");
    return seen;
  }

  // Opens the large document through the menu and does `meanwhile` as soon as the open's work has
  // begun, before anything of it shows: however fast the open, that is before its end.
  void OpenBigAndAtOnce(std::function<void()> meanwhile) {
    bool done = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      // The wait cursor comes on as the work begins.
      if (done || QGuiApplication::overrideCursor() == nullptr) return;
      done = true;
      meanwhile();
    });
    watch.start(1);
    dialogs->file_answers.push_back(PathText(big_));
    Click("Open");
    EXPECT_TRUE(done);
  }

  // Lets the loop run until everything that waited for the open is done.
  void Settle() {
    for (int turn = 0; turn < 50; ++turn) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }

  TempDir folder_;
  std::filesystem::path big_;
  std::filesystem::path small_;
  std::u16string big_text_;
};

TEST_F(LoadingOnQt, TheStartShowsOverTheEditorWithoutNumbersWhileTheEditorKeepsItsText) {
  std::u16string shown_start;
  std::optional<std::int32_t> numbered = 0;
  std::u16string text_underneath;
  ASSERT_TRUE(OpenBigAnd([&] {
    shown_start = Preview()->toPlainText().left(200).toStdU16String();
    numbered = form.Text1.CountedFirstVisibleLine();
    text_underneath = form.Text1.Text();
    EXPECT_EQ(Preview()->geometry(), EditBox().view()->geometry());
    EXPECT_TRUE(Preview()->isReadOnly());
  }));
  // Qt shows CR LF as one break.
  std::u16string expected_start = big_text_.substr(0, 250);
  for (std::size_t at; (at = expected_start.find(u"\r\n")) != std::u16string::npos;) {
    expected_start.erase(at, 1);
  }
  EXPECT_EQ(shown_start, expected_start.substr(0, 200));
  EXPECT_EQ(numbered, std::nullopt);
  EXPECT_EQ(text_underneath, u"旧文档\r\n第二行");
  EXPECT_EQ(Preview(), nullptr);
  EXPECT_TRUE(SameText(form.Text1.Text(), big_text_));
  EXPECT_EQ(form.Text1.CountedFirstVisibleLine(), 0);
}

TEST_F(LoadingOnQt, TheWheelScrollsTheStartWhileTheOpenGoesOn) {
  int moved_to = 0;
  ASSERT_TRUE(OpenBigAnd([&] {
    QWidget* viewport = Preview()->viewport();
    const QPoint middle = viewport->rect().center();
    QWheelEvent wheel(middle, viewport->mapToGlobal(middle), QPoint(), QPoint(0, -360),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
    moved_to = Preview()->verticalScrollBar()->value();
  }));
  EXPECT_GT(moved_to, 0);
}

TEST_F(LoadingOnQt, TypingAFindAndASaveMeanwhileHappenToTheWholeDocumentInTheirOrder) {
  std::u16string text_while_loading;
  dialogs->text_answers.push_back(u"第3行");
  ASSERT_TRUE(OpenBigAnd([&] {
    QTest::keyClick(Window()->windowHandle(), Qt::Key_X);
    QTest::keyClick(Window()->windowHandle(), Qt::Key_F8);
    QTest::keyClick(Window()->windowHandle(), Qt::Key_Y);
    QTest::keyClick(Window()->windowHandle(), Qt::Key_F2);
    text_while_loading = form.Text1.Text();
  }));
  EXPECT_EQ(text_while_loading, u"旧文档\r\n第二行");
  Settle();
  // x at the start of the opened document; the find selects 第3行; y takes its place; F2 saves.
  std::u16string expected = u"x" + big_text_;
  const std::size_t third = expected.find(u"第3行");
  expected.replace(third, 3, u"y");
  EXPECT_TRUE(SameText(form.Text1.Text(), expected));
  EXPECT_TRUE(HoldsDocument(big_, expected));
  EXPECT_TRUE(form.Saved());
}

TEST_F(LoadingOnQt, EscGivesTheOldDocumentBackAsItWas) {
  form.Text1.SetSelStart(2);
  form.Text1.SetSelLength(3);
  QTest::keyClick(Window()->windowHandle(), Qt::Key_Z);  // typed over the selection: unsaved now
  const std::u16string before = form.Text1.Text();
  ASSERT_FALSE(form.Saved());
  dialogs->message_answers.push_back(MessageAnswer::kNo);  // the open asks about the typing
  OpenBigAndAtOnce([&] { QTest::keyClick(Window()->windowHandle(), Qt::Key_Escape); });
  Settle();
  EXPECT_EQ(Preview(), nullptr);
  EXPECT_EQ(form.Text1.Text(), before);
  EXPECT_FALSE(form.Saved());
  EXPECT_EQ(form.CommonDialog1.FileName, PathText(small_));
  EXPECT_EQ(form.Text1.SelStart(), 3);
  EXPECT_EQ(form.Text1.CountedFirstVisibleLine(), 0);
}

}  // namespace
}  // namespace tambrel::commands
