// A drop, an input method's commit and a close that reach the real Qt window while a save or a
// find of a large document runs on its worker thread: sent from a timer that fires in the nested
// event loop the command waits in. The work must read the text as it was, what the user did must
// follow in its order once the command is done, and nothing may touch freed memory on the way
// (the sanitizer build runs these too).
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <functional>

#include "commands/tests/form_fixture.h"
#include "commands/tests/large_text_expectations.h"
#include "document/document_codec.h"
#include "platform/files/path_text.h"
#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_strings.h"
#include "tests/support/temp_dir.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;
using platform::files::PathText;
using testing::HoldsDocument;
using testing::SameText;
using testing::TempDir;
using testing::WriteBytes;

const std::u16string kSaveQuestion = u"文本已改变，是否保存？";

class InputDuringWorkOnQt : public FormTest {
 protected:
  void SetUp() override {
    document_ = folder_.path() / u"大文档.txt";
    WriteBytes(document_, document::EncodeDocument(testing::NumberedLines(150000)));
    other_ = folder_.path() / u"另一个.txt";
    WriteBytes(other_, "other document");
    kept_ = folder_.path() / u"保留.txt";
    form.file_commands().Timer2_Timer(u"\"" + PathText(document_) + u"\"");
    ASSERT_TRUE(form.Saved());
    form.Show();
  }

  platform::qt::QtEditBox& EditBox() { return dynamic_cast<platform::qt::QtEditBox&>(form.Text1); }
  QAbstractScrollArea* View() { return EditBox().view(); }

  // Has the events sent from inside the next command, once its nested loop runs; whether that
  // was while the command held the user's input is kept.
  void DuringTheCommand(std::function<void()> send) {
    QTimer::singleShot(0, View(), [this, send = std::move(send)] {
      sent_during_command_ = EditBox().Model().Input().Held();
      send();
    });
  }

  // What an input method sends when the user picks a candidate.
  void Commit(const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(View(), &commit);
  }

  // A file dragged from a file manager and dropped on the editor.
  void DropFile(const std::filesystem::path& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(platform::qt::ToQString(PathText(file)))});
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View()->viewport(), &drop);
  }

  // Lets the loop run until what waited for the command is done: the drop's document shows.
  void UntilShown(const std::u16string& text) {
    for (int turn = 0; turn < 200 && form.Text1.Text() != text; ++turn) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }

  std::size_t Count(const std::u16string& text) const {
    std::size_t count = 0;
    for (const auto& message : dialogs->messages) count += message.text == text;
    return count;
  }

  TempDir folder_;
  std::filesystem::path document_;
  std::filesystem::path other_;
  std::filesystem::path kept_;
  bool sent_during_command_ = false;
};

TEST_F(InputDuringWorkOnQt, ASaveWritesTheTextAsItWasAndTheCommitAndTheDropFollow) {
  const std::u16string before = form.Text1.Text();
  DuringTheCommand([&] {
    Commit(QStringLiteral("输入"));
    DropFile(other_);
  });
  dialogs->message_answers.push_back(MessageAnswer::kYes);  // the drop asks: save the typing
  dialogs->file_answers.push_back(PathText(kept_));         // as this file
  Click("Bc");
  EXPECT_TRUE(sent_during_command_);
  EXPECT_TRUE(HoldsDocument(document_, before));
  UntilShown(u"other document");
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(HoldsDocument(kept_, u"输入" + before));
  EXPECT_TRUE(SameText(form.Text1.Text(), u"other document"));
  EXPECT_EQ(form.CommonDialog1.FileName, PathText(other_));
}

TEST_F(InputDuringWorkOnQt, AFindSelectsInTheTextItSearchedAndTheCommitAndTheDropFollow) {
  const std::u16string before = form.Text1.Text();
  const std::u16string sought = u"第149999行";
  const std::size_t match = before.find(sought);
  ASSERT_NE(match, std::u16string::npos);
  dialogs->text_answers.push_back(sought);
  DuringTheCommand([&] {
    Commit(QStringLiteral("改"));
    DropFile(other_);
  });
  dialogs->message_answers.push_back(MessageAnswer::kYes);
  dialogs->file_answers.push_back(PathText(kept_));
  Click("Cz");
  EXPECT_TRUE(sent_during_command_);
  EXPECT_EQ(form.FindPos(), static_cast<std::int32_t>(match) + 1);
  UntilShown(u"other document");
  // As if typed once the find was done: the commit took the place of the match it selected.
  std::u16string typed_over = before;
  typed_over.replace(match, sought.size(), u"改");
  EXPECT_TRUE(HoldsDocument(kept_, typed_over));
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(SameText(form.Text1.Text(), u"other document"));
}

TEST_F(InputDuringWorkOnQt, ACloseAfterACommitDuringASaveAsksAndThenCloses) {
  const std::u16string before = form.Text1.Text();
  DuringTheCommand([&] {
    Commit(QStringLiteral("尾"));
    form.window().Close();
    EXPECT_TRUE(form.window().IsVisible()) << "the window closed under the work";
  });
  dialogs->message_answers.push_back(MessageAnswer::kYes);
  dialogs->file_answers.push_back(PathText(kept_));
  Click("Bc");
  EXPECT_TRUE(sent_during_command_);
  EXPECT_TRUE(HoldsDocument(document_, before));
  for (int turn = 0; turn < 200 && form.window().IsVisible(); ++turn) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  EXPECT_EQ(Count(kSaveQuestion), 1u);
  EXPECT_TRUE(HoldsDocument(kept_, u"尾" + before));
  EXPECT_FALSE(form.window().IsVisible());
}

}  // namespace
}  // namespace tambrel::commands
