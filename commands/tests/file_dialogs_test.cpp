// The file commands through the desktop's own dialogs and drop events: the Qt file dialog
// (non-native), its message boxes and a real drop on the editor.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "document/tests/test_files.h"
#include "main_window/form1.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/qt_user_dialogs.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_system.h"

namespace tambrel::commands {

namespace {

using platform::qt::ToQString;
using platform::qt::ToU16;
using testing::ReadBytes;
using testing::TemporaryFolder;
using testing::U16;
using testing::WriteBytes;

const std::string kGbkBytes = "\xC4\xE3\xBA\xC3\n\xD6\xD0\xCE\xC4";  // 你好 LF 中文
const std::u16string kChineseText = u"你好\n中文";

// Runs action on the next modal dialog of type T once it shows. A dialog that never shows
// fails the test; one that stays open after a few seconds is rejected so the test ends.
template <typename T>
void WhenModal(std::function<void(T*)> action) {
  auto* poll = new QTimer;
  auto ticks = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, ticks, action] {
    if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      poll->deleteLater();
      poll->stop();
      action(dialog);
      return;
    }
    if (++*ticks < 500) return;
    poll->stop();
    poll->deleteLater();
    ADD_FAILURE() << "the expected dialog did not show";
    if (auto* stuck = qobject_cast<QDialog*>(QApplication::activeModalWidget())) stuck->reject();
  });
  poll->start(10);
}

void TypeFileName(QFileDialog* dialog, const std::filesystem::path& path) {
  auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setText(ToQString(U16(path)));
}

// Presses the dialog's Open or Save button, as the user would.
void Confirm(QFileDialog* dialog) {
  auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(buttons, nullptr);
  QPushButton* confirm =
      buttons->button(dialog->acceptMode() == QFileDialog::AcceptOpen ? QDialogButtonBox::Open
                                                                      : QDialogButtonBox::Save);
  ASSERT_NE(confirm, nullptr);
  ASSERT_TRUE(confirm->isEnabled());
  confirm->click();
}

void Press(QMessageBox* box, QMessageBox::StandardButton button) {
  QAbstractButton* pressed = box->button(button);
  ASSERT_NE(pressed, nullptr);
  pressed->click();
}

// Drags mime onto the editor and drops it there, as the desktop delivers a drop.
void DropOn(QAbstractScrollArea* editor, const QMimeData& mime) {
  const QPoint at(5, 5);
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor->viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor->viewport(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  QCoreApplication::processEvents();  // the drop is handled once it is over
}

// The window with the desktop's dialogs, after its start-up tick.
class RealDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_window::Environment environment;
    environment.executable_directory = folder_.path();
    form_ = std::make_unique<main_window::Form1>(std::move(environment), windows_);
    form_->file_commands().Timer2_Timer(u"");
  }

  QAbstractScrollArea* Editor() {
    auto* window = dynamic_cast<platform::qt::QtWindow*>(&form_->window());
    if (window == nullptr) return nullptr;
    return window->widget()->findChild<QAbstractScrollArea*>(QStringLiteral("Text1"));
  }

  TemporaryFolder folder_;
  platform::qt::QtWindowSystem windows_;
  std::unique_ptr<main_window::Form1> form_;
};

TEST_F(RealDialogsTest, OpenDialogOffersTheFilterAndLoadsTheTypedName) {
  const auto path = folder_ / u"中文.txt";
  WriteBytes(path, kGbkBytes);
  QStringList filters;
  QString selected_filter;
  bool non_native = false;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    filters = dialog->nameFilters();
    selected_filter = dialog->selectedNameFilter();
    non_native = dialog->testOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    TypeFileName(dialog, path);
    Confirm(dialog);
  });
  form_->file_commands().Open_Click();
  EXPECT_TRUE(non_native);
  EXPECT_EQ(filters, QStringList({"TXT文本 (*.txt)", "所有文件 (*)"}));
  EXPECT_EQ(selected_filter, "TXT文本 (*.txt)");
  EXPECT_EQ(form_->Text1.Text(), kChineseText);
  EXPECT_EQ(form_->CommonDialog1.FileName, U16(path));
  EXPECT_TRUE(form_->Saved());
}

TEST_F(RealDialogsTest, OpenDialogStartsAtTheDocumentAndCancelKeepsEdits) {
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    TypeFileName(dialog, path);
    Confirm(dialog);
  });
  form_->file_commands().Open_Click();
  form_->Text1.SetText(u"edited");

  // The edits are offered a save first; 否 goes on to the Open dialog.
  QString question;
  WhenModal<QMessageBox>([&](QMessageBox* box) {
    question = box->text();
    box->button(QMessageBox::No)->click();
  });
  QString start_folder;
  QString start_name;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    start_folder = dialog->directory().absolutePath();
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit != nullptr) start_name = edit->text();
    dialog->reject();
  });
  form_->file_commands().Open_Click();
  EXPECT_EQ(question, QStringLiteral("文本已改变，是否保存？"));
  EXPECT_EQ(ToU16(start_folder), U16(folder_.path()));
  EXPECT_EQ(start_name, "doc.txt");
  EXPECT_EQ(form_->Text1.Text(), u"edited");
  EXPECT_FALSE(form_->Saved());
}

TEST_F(RealDialogsTest, OpenDialogLetsAnUnknownNameThroughAndCreatesIt) {
  const auto path = folder_ / u"新的.txt";
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    TypeFileName(dialog, path);
    Confirm(dialog);
  });
  form_->file_commands().Open_Click();
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(form_->CommonDialog1.FileName, U16(path));
}

TEST_F(RealDialogsTest, SaveAsOntoExistingFileReplacesItAfterConfirmation) {
  const auto path = folder_ / u"已有.txt";
  WriteBytes(path, "a plain text that is longer than the new one");
  form_->Text1.SetText(u"Hello");
  QString overwrite_question;
  QString notice_text;
  QString notice_title;
  QMessageBox::Icon notice_icon = QMessageBox::NoIcon;
  WhenModal<QFileDialog>([&](QFileDialog* dialog) {
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->selectedNameFilter(), "TXT文本 (*.txt)");
    TypeFileName(dialog, path);
    WhenModal<QMessageBox>([&](QMessageBox* question) {
      overwrite_question = question->text();
      WhenModal<QMessageBox>([&](QMessageBox* notice) {
        notice_text = notice->text();
        notice_title = notice->windowTitle();
        notice_icon = notice->icon();
        Press(notice, QMessageBox::Ok);
      });
      Press(question, QMessageBox::Yes);
    });
    Confirm(dialog);
  });
  EXPECT_EQ(form_->file_commands().Save_Click(), SaveOutcome::kSaved);
  EXPECT_FALSE(overwrite_question.isEmpty());
  EXPECT_EQ(notice_text, "保存成功");
  EXPECT_EQ(notice_title, "提示");
  EXPECT_EQ(notice_icon, QMessageBox::Information);
  const std::string saved = ReadBytes(path);
  EXPECT_EQ(saved.size(), 5u + 5u);
  EXPECT_EQ(saved.substr(5), "-RgPw");
  EXPECT_EQ(form_->CommonDialog1.FileName, U16(path));
  EXPECT_TRUE(form_->Saved());
}

TEST_F(RealDialogsTest, ClosingYesThenCancelledSaveDialogKeepsTheWindow) {
  form_->Text1.SetText(u"unsaved");
  QString question_text;
  WhenModal<QMessageBox>([&](QMessageBox* question) {
    question_text = question->text();
    WhenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    Press(question, QMessageBox::Yes);
  });
  std::int16_t cancel = 0;
  form_->Form_Unload(cancel);
  EXPECT_EQ(question_text, "文本已改变，是否保存？");
  EXPECT_NE(cancel, 0);
  EXPECT_EQ(form_->Text1.Text(), u"unsaved");
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(RealDialogsTest, DroppedFilesOpenTheLastOne) {
  const auto first = folder_ / u"first.txt";
  const auto last = folder_ / u"最后.txt";
  WriteBytes(first, "first");
  WriteBytes(last, kGbkBytes);
  QAbstractScrollArea* editor = Editor();
  ASSERT_NE(editor, nullptr);
  QMimeData mime;
  mime.setUrls(
      {QUrl::fromLocalFile(ToQString(U16(first))), QUrl::fromLocalFile(ToQString(U16(last)))});
  DropOn(editor, mime);
  EXPECT_EQ(form_->Text1.Text(), kChineseText);
  EXPECT_EQ(form_->CommonDialog1.FileName, U16(last));
}

// Text dragged in from another program is no document: it goes into the text where it falls,
// which keeps its file.
TEST_F(RealDialogsTest, DroppedTextIsInsertedWhereItFallsAndTheDocumentStays) {
  const auto path = folder_ / u"doc.txt";
  WriteBytes(path, "on disk");
  form_->file_commands().Text1_OLEDragDrop(platform::DropData{{U16(path)}});
  form_->Text1.SetText(u"edited");
  QAbstractScrollArea* editor = Editor();
  ASSERT_NE(editor, nullptr);
  QMimeData mime;
  mime.setText(QStringLiteral("插入的文字"));
  DropOn(editor, mime);
  EXPECT_EQ(form_->Text1.Text(), u"插入的文字edited");
  EXPECT_EQ(form_->CommonDialog1.FileName, U16(path));
  EXPECT_FALSE(form_->Saved());
}

}  // namespace
}  // namespace tambrel::commands
